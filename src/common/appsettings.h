#pragma once

#include <memory>

class QSettings;
class QString;

// The program's per-user settings store (application and organization "Vantora"), and the key
// of a value in its "Settings" section, where every setting of the program is kept.
std::unique_ptr<QSettings> openAppSettings();
QString appSettingsKey(const char *name);

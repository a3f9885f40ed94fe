#pragma once

#include <QSettings>
#include <QString>

// Where the program keeps its per-user settings: Qt's settings store under the organization and
// application "Vantora", every value in the section "Settings".
namespace SettingsStore {

inline constexpr char kOrganization[] = "Vantora";
inline constexpr char kApplication[] = "Vantora";
inline constexpr char kSection[] = "Settings";

// The store, opened for reading or writing.
inline QSettings open()
{
    return QSettings(QString::fromLatin1(kOrganization), QString::fromLatin1(kApplication));
}

// A value's key within the store: the section, "/", the name.
inline QString keyPath(const char *name)
{
    return QString::fromLatin1(kSection) + QLatin1Char('/') + QString::fromLatin1(name);
}

} // namespace SettingsStore

#include "common/appsettings.h"

#include <QSettings>
#include <QString>

namespace {

// Organization and application under which the settings store keeps the program's values.
constexpr char kSettingsOrganization[] = "Vantora";
constexpr char kSettingsApplication[] = "Vantora";
constexpr char kSettingsSection[] = "Settings";

} // namespace

std::unique_ptr<QSettings> openAppSettings()
{
    return std::make_unique<QSettings>(QString::fromLatin1(kSettingsOrganization),
                                       QString::fromLatin1(kSettingsApplication));
}

QString appSettingsKey(const char *name)
{
    return QString::fromLatin1(kSettingsSection) + QLatin1Char('/') + QString::fromLatin1(name);
}

#include "shell/showhelpsetting.h"

#include <QSettings>
#include <QString>

namespace {

// Organization and application under which the settings store keeps the program's values.
constexpr char kSettingsOrganization[] = "Vantora";
constexpr char kSettingsApplication[] = "Vantora";
constexpr char kSettingsSection[] = "Settings";
constexpr char kShowHelpKey[] = "showHelp";
constexpr char kShowHelpDefault[] = "1";

QString showHelpKeyPath()
{
    return QString::fromLatin1(kSettingsSection) + QLatin1Char('/') + QString::fromLatin1(kShowHelpKey);
}

} // namespace

QString ReadShowHelpSetting()
{
    const QSettings settings(QString::fromLatin1(kSettingsOrganization),
                             QString::fromLatin1(kSettingsApplication));
    return settings.value(showHelpKeyPath(), QString::fromLatin1(kShowHelpDefault)).toString();
}

void WriteShowHelpSetting(const QString &value)
{
    QSettings settings(QString::fromLatin1(kSettingsOrganization), QString::fromLatin1(kSettingsApplication));
    settings.setValue(showHelpKeyPath(), value);
}

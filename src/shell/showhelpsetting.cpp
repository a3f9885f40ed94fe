#include "shell/showhelpsetting.h"

#include "common/appsettings.h"

#include <QSettings>
#include <QString>

namespace {

constexpr char kShowHelpKey[] = "showHelp";
constexpr char kShowHelpDefault[] = "1";

} // namespace

QString ReadShowHelpSetting()
{
    return openAppSettings()
        ->value(appSettingsKey(kShowHelpKey), QString::fromLatin1(kShowHelpDefault))
        .toString();
}

void WriteShowHelpSetting(const QString &value)
{
    openAppSettings()->setValue(appSettingsKey(kShowHelpKey), value);
}

#include "shell/showhelpsetting.h"

#include "shell/settingsstore.h"

#include <QString>

namespace {

constexpr char kShowHelpKey[] = "showHelp";
constexpr char kShowHelpDefault[] = "1";

} // namespace

QString ReadShowHelpSetting()
{
    const QSettings settings = SettingsStore::open();
    return settings.value(SettingsStore::keyPath(kShowHelpKey), QString::fromLatin1(kShowHelpDefault))
        .toString();
}

void WriteShowHelpSetting(const QString &value)
{
    QSettings settings = SettingsStore::open();
    settings.setValue(SettingsStore::keyPath(kShowHelpKey), value);
}

#include "shell/changedetectionsetting.h"

#include "shell/settingsstore.h"

namespace {

constexpr char kDetectChangesKey[] = "detectChanges";

} // namespace

ChangeDetection readChangeDetectionSetting()
{
    const QSettings settings = SettingsStore::open();
    return changeDetectionFromText(settings.value(SettingsStore::keyPath(kDetectChangesKey)).toString())
        .value_or(ChangeDetection::Off);
}

void writeChangeDetectionSetting(ChangeDetection detection)
{
    QSettings settings = SettingsStore::open();
    settings.setValue(SettingsStore::keyPath(kDetectChangesKey), changeDetectionText(detection));
}

#include "shell/changedetectionsetting.h"

#include "common/appsettings.h"

#include <QSettings>
#include <QString>

namespace {

constexpr char kDetectChangesKey[] = "detectChanges";

} // namespace

ChangeDetection readChangeDetectionSetting()
{
    return changeDetectionFromText(openAppSettings()->value(appSettingsKey(kDetectChangesKey)).toString())
        .value_or(ChangeDetection::Off);
}

void writeChangeDetectionSetting(ChangeDetection detection)
{
    openAppSettings()->setValue(appSettingsKey(kDetectChangesKey), changeDetectionText(detection));
}

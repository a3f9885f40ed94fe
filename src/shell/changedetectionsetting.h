#pragma once

#include "slots/changedetection.h"

// The per-user setting "detectChanges" (with "showHelp" in the settings store): how the slots tell
// a new picture from a reply without a "Last-Modified:" line, as "off", "bytes" or "picture". A
// missing or unknown value reads as off.
ChangeDetection readChangeDetectionSetting();
void writeChangeDetectionSetting(ChangeDetection detection);

#pragma once

class QString;

// The per-user setting "showHelp" (section "Settings", application "Vantora"): "1" asks for the
// help window at every start; a missing value reads as "1".
QString ReadShowHelpSetting();
void WriteShowHelpSetting(const QString &value);

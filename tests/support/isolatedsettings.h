#pragma once

#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

// Per-user settings of this test process only: test executables run in parallel, and a shared
// settings file would let one test's values leak into another's start-up.
class IsolatedSettings
{
public:
    IsolatedSettings()
    {
        QStandardPaths::setTestModeEnabled(true);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_folder.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_folder.path());
    }

private:
    QTemporaryDir m_folder;
};

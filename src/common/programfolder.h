#pragma once

class QString;

// The folder that holds the program's own files (the camera list, the `cam` folder, the help
// file): the executable's folder when the program may write there, otherwise the per-user data
// folder (created when missing). Decided once, on first use; paths inside are joined with "/".
QString ProgramFolder();

// Overrides the folder ProgramFolder() gives from now on (tests; an empty text goes back to the
// automatic choice).
void SetProgramFolder(const QString &folder);

// The folder the program was installed in: the executable's folder, unless set otherwise
// (tests; an empty text goes back to the executable's). ProgramFolder() chooses from it.
QString installedFolder();
void setInstalledFolder(const QString &folder);

// The choice ProgramFolder() makes: executableFolder when a file can be created in it and it is
// not an installed copy's (one with the installed data folder beside it), otherwise dataFolder,
// which is created when missing; when neither is usable, executableFolder still.
QString ChooseProgramFolder(const QString &executableFolder, const QString &dataFolder);

// The folder an installed copy keeps its read-only data in (share/vantora beside bin/), derived
// from installedFolder(); it need not exist.
QString installedDataFolder();

#pragma once

class QString;

// The name part of a path: the text after the last "/" or "\" (the whole text when it has
// neither; empty for empty input).
QString FileNamePart(const QString &path);

// True when the path names an existing regular file whose entry name matches FileNamePart of
// the path without regard to letter case. Hidden files (dot files), folders, missing paths and
// every error give false.
bool FileExists(const QString &path);

// True when the path names an existing folder; every error gives false.
bool FolderExists(const QString &path);

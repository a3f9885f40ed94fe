#pragma once

#include <QFileDevice>
#include <QString>

#include <functional>

class QTemporaryFile;

// Enough numbered names for any number of saves within one second, or of videos of one range.
inline constexpr int kMaxNumberedNames = 1000;

// What a file newly made by this program may allow: read and write for everyone less the umask.
// A temporary file starts readable by its owner only; a finished one is given these.
QFileDevice::Permissions newFilePermissions();

// Where moveToFreeFileName put a file.
struct FreeFileName
{
    QString path; // the file's new path; empty when it was not moved
    QString error; // why not: the rename's error, or empty when every numbered name was taken
};

// Gives a finished temporary file the first of name(1), name(2)... (at most kMaxNumberedNames of
// them) in `folder` that names no entry at all, a dangling link included, and keeps it there.
// Never replaces an entry: one made under a name meanwhile (by another program) sends it on to
// the next number. Callers that may race each other for the same names serialise the calls.
FreeFileName moveToFreeFileName(QTemporaryFile &file, const QString &folder,
                                const std::function<QString(int n)> &name);

#pragma once

#include "camlist/cameraentry.h"

class QListWidget;
class QString;
class QWidget;

// The camera list file "00camlist.txt" in the program folder. Every operation opens the file,
// does its work and closes it again; none shows a message. A write that fails leaves the file as
// it was: appends are cut back to the old size, rewrites go through a temporary file that only
// replaces the list once it is complete.

QString camListPath();

// The start-up fill: when the file is missing, takes over the list left in the folder the
// program was installed in (when the program folder is another one), or else creates the file
// with one empty line; then adds one item per listed name to List1 while window's drawing is
// suspended. List1 is not cleared first.
void FillCamList(QListWidget *List1, QWidget *window);

// Clears List1 and adds one item per listed name.
void RefillCamList(QListWidget *List1);

// Looks the first block with exactly this name (the file's bytes) up; when found, holder
// receives it. An empty name, a missing or unreadable file and no such block give false and
// leave holder alone.
bool FindCamEntry(const QByteArray &name, CameraEntry &holder);

// Adds the entry's block at the end of the file (creating it), on a line of its own. False when
// nothing was written: the write failed, or a field holds a CR.
bool AppendCamEntry(const CameraEntry &entry);

// Rewrites the file without the entry's block. True when the file holds no such block
// afterwards: removed, or there was nothing to remove (empty name, no block, no file; the file is
// then left untouched). False when the file could not be read or the rewrite failed.
bool RemoveCamEntry(const CameraEntry &entry);

// An edit: RemoveCamEntry of oldEntry followed by AppendCamEntry of newEntry, written as one
// rewrite, so either both happen or the file stays as it was. With nothing to remove it is a
// plain append. False when nothing was written.
bool replaceCamEntry(const CameraEntry &oldEntry, const CameraEntry &newEntry);

#pragma once

class QString;

// The name a saved picture gets: the camera name, the date text and the time text run together,
// then ".jpg"; every blank removed, then at most two "/" and at most three ":" removed, each the
// leftmost one left. A slash or colon of the camera name goes before those of the date and time.
QString camPictureFileName(const QString &camName, const QString &dateText, const QString &timeText);

// True when the name can only name a plain file right inside a folder: not empty, not "." or "..",
// no "/" or "\" and no control characters.
bool isPlainFileName(const QString &name);

// The name with " (n)" before its extension: "Cam1.jpg" and 2 give "Cam1 (2).jpg".
QString numberedFileName(const QString &name, int n);

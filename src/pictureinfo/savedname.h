#pragma once

#include <QStringList>

class QString;

// The name a saved picture gets: the camera name, the date text and the time text run together,
// then ".jpg"; every blank removed, then at most two "/" and at most three ":" removed, each the
// leftmost one left. A slash or colon of the camera name goes before those of the date and time.
QString camPictureFileName(const QString &camName, const QString &dateText, const QString &timeText);

// Recognises the names camPictureFileName gives the pictures this program saves (with the local
// date and time texts), for pictures that carry no metadata (saved by an earlier version); a
// second picture of the same second gets " (2)", " (3)"...
//
// The rule: a file name has camera C's pattern when it is
//   prefix(C)  date-and-time  [" (" n ")"]  ".jpg"
// where prefix(C) is C with its blanks and its leftmost two '/' and three ':' removed (those of
// the camera name go first), and date-and-time starts with a digit, holds at least eight
// decimal digits (of any script), and is made of digits, the separators . - , : and the
// invisible marks some locales put in dates (right-to-left mark, no-break spaces), and at most
// one run of up to four letters or '.' (an AM/PM marker: "PM", "a.m."). Case-sensitive.
// When the name has the pattern of several cameras, the longest prefix wins.
//
// What it can confuse: "Cam" and "Cam1" both match "Cam112526125202PM.jpg" (Cam1's picture of
// 1/25/26, or Cam's of 11/25/26): the longer name is chosen, so an old picture of "Cam" whose
// date begins with "1" is taken for "Cam1"'s when both are in the list. A foreign file named like a saved
// picture (a camera name, then digits) is taken for a saved one. Pictures saved under a locale whose date or
// time texts hold words ("12 h 52 min") are not recognised, nor are cameras whose prefix is empty (a name of
// blanks only). Pictures with metadata need none of this.
//
// Returns the camera of `cameraNames` whose pattern the file name (no folder) has, or an empty
// text when none has.
QString savedNameCamera(const QString &fileName, const QStringList &cameraNames);

// prefix(C) above: the camera name as it begins every name its pictures are saved under.
QString savedNamePrefix(const QString &cameraName);

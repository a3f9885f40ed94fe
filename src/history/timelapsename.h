#pragma once

class QDateTime;
class QString;

// The file name of a time-lapse video of `camera`'s pictures from `from` to `to` (local time):
// "Garden 20260501-120000 to 20260501-130000.mp4". Always a plain file name that is not hidden:
// the camera's slashes, backslashes, colons and control characters become "_", leading dots
// and blanks are dropped, and a very long name is cut.
QString timeLapseFileName(const QString &camera, const QDateTime &from, const QDateTime &to);

#pragma once

#include <QtGlobal>

#include <chrono>

class QString;

// The refresh period a fetch start takes from the slot's refresh text: the text as a whole
// number (see ToWholeNumber). A text that is no number or out of range keeps previous.
qint32 refreshSecondsFromText(const QString &text, qint32 previous);

// The "Next Refresh" countdown: the refresh text read as a floating-point number minus the
// seconds elapsed, as a plain decimal number ("25", "24.5", "-1"). When the text is no number,
// the countdown is taken from refreshSeconds, the period the slot actually runs on.
QString nextRefreshText(const QString &refreshText, qint32 elapsedSeconds, qint32 refreshSeconds);

// How long a fetch may receive nothing new: the refresh period when it is shorter than the
// fetch's own limit of 30 seconds, and at least one second.
std::chrono::milliseconds stallLimit(qint32 refreshSeconds);

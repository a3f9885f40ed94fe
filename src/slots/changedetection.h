#pragma once

#include <QString>

#include <optional>

// How a slot tells a new picture from the one before when the reply carries no "Last-Modified:"
// line: the user's choice, stored with the program's settings. A reply that carries the line is
// judged by it alone, whatever the choice.
enum class ChangeDetection {
    Off, // only a changed "Last-Modified:" line is a new picture
    Bytes, // a body that differs from the slot's previous picture's body
    Picture, // a body that differs and whose picture visibly changed (PictureChange)
};

// What made a picture reply a new picture; None when it is no new picture.
enum class ChangeReason { None, ServerDate, BytesChanged, PictureChanged };

// What is known of one loaded picture reply.
struct ChangeFacts
{
    bool hasDate = false; // the reply holds "Last-Modified:"
    bool dateChanged = false; // that line differs from the one the slot stored before
    bool hasPrevious = false; // the slot holds a previous picture of this camera
    bool bytesDiffer = false; // the body differs from that picture's body
    bool visiblyChanged = false; // the pictures' thumbnails differ above the threshold
};

// The rule: a reply with a date is new when its date changed; without a date it is new only by
// the chosen rule, and never as the first picture a slot holds of a camera.
ChangeReason changeReason(ChangeDetection detection, const ChangeFacts &facts);

// What decided, in the words a slot's tool tip puts after "new picture": "server date", "bytes
// changed", "picture changed"; empty for None.
QString changeReasonDetail(ChangeReason reason);

// The setting's stored text ("off", "bytes", "picture") and back; an unknown text is no state.
QString changeDetectionText(ChangeDetection detection);
std::optional<ChangeDetection> changeDetectionFromText(const QString &text);

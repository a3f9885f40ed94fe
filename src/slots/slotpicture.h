#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>

#include <optional>

// What a slot's picture shows: nothing, the not-found picture, or a camera picture.
// A camera picture keeps its encoded bytes and a slot-sized image decoded once per reply;
// the full-size picture is decoded only when a view or a save asks for it.
class SlotPicture
{
public:
    enum class Kind { Blank, NotFound, Camera };

    SlotPicture() = default;
    static SlotPicture notFound();

    // Decodes bytes straight to slotSize (stretched, as the slot shows it). Empty when the bytes
    // are no picture of a supported kind, or too large for Qt's image allocation limit.
    static std::optional<SlotPicture> decode(const QByteArray &bytes, const QSize &slotSize);

    Kind kind() const { return m_kind; }
    bool isBlank() const { return m_kind == Kind::Blank; }
    const QByteArray &bytes() const { return m_bytes; } // encoded picture; empty unless Camera
    const QImage &slotImage() const { return m_slotImage; }
    // Tells one decoded or not-found picture from every other (copies share it); 0 for Blank.
    // Work done on a picture elsewhere checks it to see whether the slot still shows that picture.
    quint64 serial() const { return m_serial; }

    // The picture at its natural size: decoded from the bytes (Camera), the not-found picture
    // (NotFound; drawn for the screens' device pixel ratio, as its slot image), or a null image
    // (Blank).
    QImage fullImage() const;

private:
    Kind m_kind = Kind::Blank;
    QByteArray m_bytes;
    QImage m_slotImage;
    quint64 m_serial = 0;
};

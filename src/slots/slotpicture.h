#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QImage>
#include <QSize>

#include <optional>

// The sizes a camera picture is decoded to: the slot's picture (stretched to it), and the box of
// device pixels a larger view shows it in at its own aspect ratio (empty when no such view is open).
struct PictureSizes
{
    QSize slot;
    QSize viewBox;
};

// What a slot's picture shows: nothing, the not-found picture, or a camera picture.
// A camera picture keeps its encoded bytes and a slot-sized image decoded once per reply;
// the full-size picture is decoded only when a view or a save asks for it. While a larger view
// shows the slot, the reply is decoded once to the view's size and the slot's image made from that.
class SlotPicture
{
public:
    enum class Kind { Blank, NotFound, Camera };

    SlotPicture() = default;
    static SlotPicture notFound();

    // Decodes bytes straight to slotSize (stretched, as the slot shows it). Empty when the bytes
    // are no picture of a supported kind, or too large for Qt's image allocation limit.
    static std::optional<SlotPicture> decode(const QByteArray &bytes, const QSize &slotSize);
    // The same, and with a view box also the view's image: the picture fitted into the box at its
    // own aspect ratio (never larger than it is, nor smaller than the slot's image needs).
    static std::optional<SlotPicture> decode(const QByteArray &bytes, const PictureSizes &sizes);

    Kind kind() const { return m_kind; }
    bool isBlank() const { return m_kind == Kind::Blank; }
    const QByteArray &bytes() const { return m_bytes; } // encoded picture; empty unless Camera
    const QImage &slotImage() const { return m_slotImage; }
    // The picture's own size as its header tells it (the not-found picture's size; empty for Blank).
    QSize naturalSize() const { return m_naturalSize; }
    // The view's image and the box it was decoded for; null and empty without a view box.
    const QImage &viewImage() const { return m_viewImage; }
    QSize viewBox() const { return m_viewBox; }
    // Keeps other's view image: the same picture as saved again, shown as it was decoded.
    void keepViewImage(const SlotPicture &other);
    // Tells one decoded or not-found picture from every other (copies share it); 0 for Blank.
    // Work done on a picture elsewhere checks it to see whether the slot still shows that picture.
    quint64 serial() const { return m_serial; }
    // The small grey picture a visible change is judged on (PictureChange::thumbnail of the
    // slot's image), made on the picture workers when the slot judges by the picture; null else.
    const QImage &thumbnail() const { return m_thumbnail; }
    void makeThumbnail();

    // How many times this process has decoded a picture's bytes (for the slot, a view or a save).
    // Tests and benchmarks count the decodes a reply costs.
    static quint64 decodeCount();

    // When the reply that brought the picture ended (local time); invalid when not told.
    const QDateTime &received() const { return m_received; }
    void setReceived(const QDateTime &when) { m_received = when; }

    // The picture at its natural size: decoded from the bytes (Camera), the not-found picture
    // (NotFound; drawn for the screens' device pixel ratio, as its slot image), or a null image
    // (Blank).
    QImage fullImage() const;
    // The picture fitted into box at its own aspect ratio, never larger than it is: decoded from the
    // bytes (Camera), the not-found picture as it is (NotFound), or a null image (Blank).
    QImage fittedImage(const QSize &box) const;

private:
    Kind m_kind = Kind::Blank;
    QByteArray m_bytes;
    QImage m_slotImage;
    QSize m_naturalSize;
    QImage m_viewImage;
    QSize m_viewBox;
    QImage m_thumbnail;
    quint64 m_serial = 0;
    QDateTime m_received;
};

#include "views/walltile.h"

#include "slots/cameraslot.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

namespace {

constexpr int kMargin = 3;
constexpr int kCaptionPadding = 2;
constexpr int kProgressLine = 3;
constexpr int kProgressMaximum = 100;
constexpr QSize kEmptyAspect(4, 3); // before the first picture comes
const QColor kEmptyPicture(32, 32, 32);
const QColor kCaption(220, 220, 220);
const QColor kProgress(64, 160, 255);
const QString kDescription = QStringLiteral("Click to show this camera full screen.");

} // namespace

WallTile::WallTile(int Index, QWidget *parent)
    : QWidget(parent)
    , m_index(Index)
{
    setObjectName(QStringLiteral("wallTile"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAccessibleDescription(kDescription);
}

WallTile::~WallTile() = default;

WallTileSpace WallTile::space(const QFontMetrics &metrics)
{
    return WallTileSpace{kMargin, metrics.height() + kCaptionPadding};
}

QRect WallTile::pictureBox() const
{
    return wallPictureBox(size(), space(fontMetrics()));
}

QRect WallTile::pictureRect() const
{
    const QSize aspect = !m_natural.isEmpty() ? m_natural : kEmptyAspect;
    return wallPictureRect(aspect, pictureBox());
}

QRect WallTile::progressRect() const
{
    const QRect picture = pictureRect();
    return QRect(picture.left(), picture.bottom() + 1 - kProgressLine, picture.width(), kProgressLine);
}

void WallTile::setName(const QString &name)
{
    if (name == m_name)
        return;
    m_name = name;
    setAccessibleName(name);
    update();
}

void WallTile::setPicture(const QImage &image, const QSize &natural, quint64 serial, const QSize &decodedFor)
{
    m_image = image;
    m_natural = natural;
    m_serial = serial;
    m_decodedFor = decodedFor;
    update();
}

void WallTile::setOutcome(const QString &note, bool dimmed)
{
    const bool written = m_image.isNull() && note != toolTip();
    setToolTip(note);
    setAccessibleDescription(note.isEmpty() ? kDescription : note);
    if (dimmed == m_dimmed && !written)
        return;
    m_dimmed = dimmed;
    update(pictureRect());
}

void WallTile::setProgress(int value, bool fetching)
{
    if (value == m_progress && fetching == m_fetching)
        return;
    m_progress = value;
    m_fetching = fetching;
    update(progressRect()); // the line alone
}

void WallTile::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), Qt::black);
    const QRect picture = pictureRect();
    if (m_image.isNull()) {
        // No picture yet: why, when a fetch failed.
        painter.fillRect(picture, kEmptyPicture);
        painter.setPen(kCaption);
        painter.drawText(picture, Qt::AlignCenter | Qt::TextWordWrap, toolTip());
    } else {
        painter.setOpacity(m_dimmed ? CameraSlot::kDimmedOpacity : 1.0);
        // A picture decoded for the box lands pixel for pixel; a stand-in is smoothed.
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(picture, m_image);
        painter.setOpacity(1.0);
    }
    if (m_fetching) {
        QRect line = progressRect();
        line.setWidth(line.width() * std::clamp(m_progress, 0, kProgressMaximum) / kProgressMaximum);
        painter.fillRect(line, kProgress);
    }
    const QRect box = pictureBox();
    const QRect caption(box.left(), picture.bottom() + 1, box.width(), space(fontMetrics()).captionHeight);
    if (caption.intersects(event->rect())) {
        painter.setPen(kCaption);
        painter.drawText(caption, Qt::AlignHCenter | Qt::AlignVCenter,
                         fontMetrics().elidedText(m_name, Qt::ElideRight, caption.width()));
    }
}

void WallTile::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked(m_index);
    QWidget::mouseReleaseEvent(event);
}

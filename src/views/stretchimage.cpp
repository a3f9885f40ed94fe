#include "views/stretchimage.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

StretchImage::StretchImage(QWidget *parent)
    : QWidget(parent)
{ }

StretchImage::~StretchImage() = default;

void StretchImage::setImage(const QImage &image)
{
    m_image = image;
    update();
}

void StretchImage::paintEvent(QPaintEvent *event)
{
    if (m_image.isNull() || width() <= 0 || height() <= 0)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    // The repainted rectangle and the part of the picture that lands on it.
    const QRectF target = event->rect();
    const double sx = static_cast<double>(m_image.width()) / width();
    const double sy = static_cast<double>(m_image.height()) / height();
    const QRectF source(target.x() * sx, target.y() * sy, target.width() * sx, target.height() * sy);
    painter.drawImage(target, m_image, source);
}

void StretchImage::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QWidget::mouseReleaseEvent(event);
}

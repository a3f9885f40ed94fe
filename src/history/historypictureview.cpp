#include "history/historypictureview.h"

#include <QPainter>
#include <QResizeEvent>

HistoryPictureView::HistoryPictureView(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(160, 120);
}

HistoryPictureView::~HistoryPictureView() = default;

void HistoryPictureView::setImage(const QImage &image)
{
    m_image = image;
    m_text.clear();
    update();
}

void HistoryPictureView::setText(const QString &text)
{
    m_image = QImage();
    m_text = text;
    update();
}

QSize HistoryPictureView::pixelSize() const
{
    return (QSizeF(size()) * devicePixelRatioF()).toSize();
}

void HistoryPictureView::paintEvent(QPaintEvent * /*event*/)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (!m_image.isNull()) {
        // Decoded at this size already; a picture smaller than the widget is scaled up.
        const QSizeF shown = QSizeF(m_image.size()).scaled(QSizeF(size()), Qt::KeepAspectRatio);
        const QRectF target(QPointF((width() - shown.width()) / 2, (height() - shown.height()) / 2), shown);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(target, m_image);
    } else if (!m_text.isEmpty()) {
        painter.setPen(Qt::white);
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap, m_text);
    }
}

void HistoryPictureView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    emit resized();
}

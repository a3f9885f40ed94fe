#include "democam/democamart.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

#include <algorithm>
#include <array>

namespace {
QFont sans(qreal pixelSize, bool bold = false)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(std::max(1, qRound(pixelSize)));
    font.setBold(bold);
    return font;
}

// A hand from the centre pointing to `degrees` clockwise from twelve o'clock.
void hand(QPainter &painter, qreal degrees, qreal length, qreal tail, qreal width, const QColor &colour)
{
    painter.save();
    painter.rotate(degrees);
    painter.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(0, tail), QPointF(0, -length));
    painter.restore();
}
} // namespace

namespace DemoCamArt {

QImage clockFace(const QSize &size, const QDateTime &now)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    QLinearGradient background(0, 0, 0, size.height());
    background.setColorAt(0, QColor(34, 52, 84));
    background.setColorAt(1, QColor(10, 16, 30));
    painter.fillRect(image.rect(), background);

    const qreal h = size.height();
    const qreal radius = std::min(size.width() * 0.45, h * 0.34);
    const QPointF centre(size.width() / 2.0, h * 0.40);
    const QTime time = now.time();

    // Dial.
    QRadialGradient dial(centre - QPointF(radius * 0.3, radius * 0.3), radius * 1.4);
    dial.setColorAt(0, QColor(252, 252, 248));
    dial.setColorAt(1, QColor(208, 214, 222));
    painter.setPen(QPen(QColor(90, 100, 118), radius * 0.05));
    painter.setBrush(dial);
    painter.drawEllipse(centre, radius, radius);

    painter.translate(centre);
    for (int i = 0; i < 60; ++i) {
        const bool hour = i % 5 == 0;
        painter.setPen(QPen(QColor(40, 44, 52), hour ? radius * 0.035 : radius * 0.012));
        painter.drawLine(QPointF(0, -radius * (hour ? 0.80 : 0.86)), QPointF(0, -radius * 0.92));
        painter.rotate(6);
    }
    painter.setFont(sans(radius * 0.16, true));
    painter.setPen(QColor(40, 44, 52));
    const std::array<QPointF, 4> numeralAt = {QPointF(0, -0.64), QPointF(0.64, 0), QPointF(0, 0.64),
                                              QPointF(-0.64, 0)};
    const std::array<const char *, 4> numerals = {"12", "3", "6", "9"};
    for (size_t i = 0; i < numerals.size(); ++i) {
        const QPointF at = numeralAt[i] * radius;
        painter.drawText(QRectF(at.x() - radius * 0.2, at.y() - radius * 0.12, radius * 0.4, radius * 0.24),
                         Qt::AlignCenter, QString::fromLatin1(numerals[i]));
    }

    const qreal seconds = time.second() + time.msec() / 1000.0;
    const qreal minutes = time.minute() + seconds / 60.0;
    const qreal hours = (time.hour() % 12) + minutes / 60.0;
    hand(painter, hours * 30.0, radius * 0.50, radius * 0.10, radius * 0.07, QColor(30, 34, 42));
    hand(painter, minutes * 6.0, radius * 0.76, radius * 0.12, radius * 0.045, QColor(30, 34, 42));
    hand(painter, time.second() * 6.0, radius * 0.84, radius * 0.18, radius * 0.018, QColor(200, 40, 40));
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(200, 40, 40));
    painter.drawEllipse(QPointF(0, 0), radius * 0.04, radius * 0.04);
    painter.resetTransform();

    // Digits and date under the dial.
    const qreal textTop = centre.y() + radius * 1.08;
    painter.setFont(sans(h * 0.11, true));
    painter.setPen(QColor(236, 242, 250));
    painter.drawText(QRectF(0, textTop, size.width(), h * 0.14), Qt::AlignCenter,
                     time.toString(QStringLiteral("HH:mm:ss")));
    painter.setFont(sans(h * 0.045));
    painter.setPen(QColor(170, 195, 225));
    painter.drawText(QRectF(0, textTop + h * 0.14, size.width(), h * 0.06), Qt::AlignCenter,
                     now.date().toString(Qt::ISODate) + QStringLiteral("  \u00b7  Vantora demo camera"));
    return image;
}

QImage testCard(const QSize &size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor(96, 96, 96));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const qreal w = size.width();
    const qreal h = size.height();

    // Grid.
    painter.setPen(QPen(QColor(220, 220, 220), 1));
    const qreal cell = h / 12.0;
    for (qreal x = std::fmod(w / 2, cell); x < w; x += cell)
        painter.drawLine(QPointF(x, 0), QPointF(x, h));
    for (qreal y = 0; y < h; y += cell)
        painter.drawLine(QPointF(0, y), QPointF(w, y));

    // Colour bars and a grey scale across the middle.
    const std::array<QColor, 8> bars = {QColor(235, 235, 235), QColor(235, 235, 16), QColor(16, 235, 235),
                                        QColor(16, 235, 16),   QColor(235, 16, 235), QColor(235, 16, 16),
                                        QColor(16, 16, 235),   QColor(16, 16, 16)};
    const QRectF band(w * 0.12, h * 0.28, w * 0.76, h * 0.30);
    for (size_t i = 0; i < bars.size(); ++i)
        painter.fillRect(QRectF(band.left() + band.width() * i / bars.size(), band.top(),
                                band.width() / bars.size() + 1, band.height()),
                         bars[i]);
    QLinearGradient grey(band.left(), 0, band.right(), 0);
    grey.setColorAt(0, Qt::black);
    grey.setColorAt(1, Qt::white);
    painter.fillRect(QRectF(band.left(), band.bottom(), band.width(), h * 0.08), grey);

    // The circle and cross that show the picture's geometry.
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::white, std::max(2.0, h / 160)));
    painter.drawEllipse(QPointF(w / 2, h / 2), h * 0.42, h * 0.42);
    painter.drawLine(QPointF(w / 2, h * 0.06), QPointF(w / 2, h * 0.94));
    painter.drawLine(QPointF(w / 2 - h * 0.42, h / 2), QPointF(w / 2 + h * 0.42, h / 2));

    painter.fillRect(QRectF(w * 0.3, h * 0.72, w * 0.4, h * 0.11), QColor(16, 16, 16));
    painter.setFont(sans(h * 0.06, true));
    painter.setPen(Qt::white);
    painter.drawText(QRectF(w * 0.3, h * 0.72, w * 0.4, h * 0.11), Qt::AlignCenter,
                     QStringLiteral("VANTORA STILL"));
    return image;
}

} // namespace DemoCamArt

#include "makepictures/pictureart.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>
#include <numbers>
#include <utility>

namespace {
constexpr int kButtonSize = 24;
const QColor kLightBlue(173, 216, 230);
const QColor kXBlue(120, 180, 235);
const QColor kGo(46, 160, 67);
const QColor kStop(206, 45, 45);
const QColor kInk(40, 44, 52);

QImage canvas(int width, int height, const QColor &fill = Qt::transparent)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(fill);
    return image;
}

void beginAntialiased(QPainter &painter)
{
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
}

QPointF onCircle(QPointF centre, qreal radius, qreal degrees)
{
    const qreal a = degrees * std::numbers::pi / 180.0;
    return centre + QPointF(radius * std::cos(a), -radius * std::sin(a)); // y grows downwards
}

// An arc from startDeg over spanDeg (counter-clockwise when positive) with an arrowhead at its end.
void circularArrow(QPainter &painter, QPointF centre, qreal radius, qreal startDeg, qreal spanDeg,
                   qreal width, qreal head, const QColor &colour)
{
    QPainterPath arc;
    const QRectF box(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    arc.arcMoveTo(box, startDeg);
    arc.arcTo(box, startDeg, spanDeg);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(colour, width, Qt::SolidLine, Qt::FlatCap));
    painter.drawPath(arc);

    const qreal endDeg = startDeg + spanDeg;
    const QPointF end = onCircle(centre, radius, endDeg);
    const QPointF outward = (end - centre) / radius;
    const qreal a = endDeg * std::numbers::pi / 180.0;
    QPointF along(-std::sin(a), -std::cos(a)); // direction of travel for a positive span
    if (spanDeg < 0)
        along = -along;
    QPolygonF tip;
    tip << end + outward * head << end + along * head * 1.1 << end - outward * head;
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawPolygon(tip);
}

// A small camera body with lens, the list buttons' common glyph.
void cameraGlyph(QPainter &painter, const QRectF &body)
{
    painter.setPen(QPen(kInk, 1.0));
    QLinearGradient shade(body.topLeft(), body.bottomLeft());
    shade.setColorAt(0, QColor(150, 158, 170));
    shade.setColorAt(1, QColor(92, 100, 112));
    painter.setBrush(shade);
    const QRectF bump(body.left() + body.width() * 0.15, body.top() - body.height() * 0.22,
                      body.width() * 0.3, body.height() * 0.3);
    painter.drawRoundedRect(bump, 1, 1);
    painter.drawRoundedRect(body, 2, 2);
    const qreal r = body.height() * 0.34;
    QRadialGradient glass(body.center() - QPointF(r / 3, r / 3), r);
    glass.setColorAt(0, QColor(170, 215, 255));
    glass.setColorAt(1, QColor(20, 60, 120));
    painter.setBrush(glass);
    painter.drawEllipse(body.center(), r, r);
}

// A round badge in the lower right corner of a button with a white mark drawn by mark().
template<typename Mark>
void badge(QPainter &painter, const QColor &colour, Mark mark)
{
    const QPointF c(17.5, 17.5);
    painter.setPen(QPen(Qt::white, 1.0));
    painter.setBrush(colour);
    painter.drawEllipse(c, 6.0, 6.0);
    painter.setPen(QPen(Qt::white, 2.0, Qt::SolidLine, Qt::RoundCap));
    mark(c);
}

// A canvas scale times the size, painted on in the units of the one-times picture.
QImage scaledCanvas(int width, int height, int scale, const QColor &fill = Qt::transparent)
{
    return canvas(width * scale, height * scale, fill);
}

QImage button(int scale, void (*draw)(QPainter &))
{
    QImage image = scaledCanvas(kButtonSize, kButtonSize, scale);
    QPainter painter(&image);
    beginAntialiased(painter);
    painter.scale(scale, scale);
    draw(painter);
    return image;
}

void stopSquare(QPainter &painter, const QRectF &box)
{
    QLinearGradient shade(box.topLeft(), box.bottomLeft());
    shade.setColorAt(0, kStop.lighter(130));
    shade.setColorAt(1, kStop.darker(120));
    painter.setPen(QPen(kStop.darker(160), 1.0));
    painter.setBrush(shade);
    painter.drawRoundedRect(box, 2.5, 2.5);
}

// A lens seen from the front: barrel, rings, glass and a reflection. Used by the icon and splash.
void lens(QPainter &painter, QPointF c, qreal r)
{
    painter.setPen(Qt::NoPen);
    QRadialGradient barrel(c, r);
    barrel.setColorAt(0.80, QColor(60, 64, 72));
    barrel.setColorAt(0.93, QColor(28, 30, 36));
    barrel.setColorAt(1.00, QColor(10, 10, 14));
    painter.setBrush(barrel);
    painter.drawEllipse(c, r, r);

    painter.setPen(QPen(QColor(150, 156, 168), r * 0.035));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(c, r * 0.86, r * 0.86);
    painter.setPen(QPen(QColor(90, 96, 108), r * 0.025));
    painter.drawEllipse(c, r * 0.74, r * 0.74);

    QRadialGradient glass(c + QPointF(r * 0.12, r * 0.15), r * 0.66);
    glass.setColorAt(0.0, QColor(90, 40, 150));
    glass.setColorAt(0.45, QColor(30, 70, 160));
    glass.setColorAt(0.85, QColor(10, 30, 70));
    glass.setColorAt(1.0, QColor(5, 10, 25));
    painter.setPen(Qt::NoPen);
    painter.setBrush(glass);
    painter.drawEllipse(c, r * 0.64, r * 0.64);

    // Aperture: a hexagon of darker glass.
    QPolygonF aperture;
    for (int i = 0; i < 6; ++i)
        aperture << onCircle(c, r * 0.30, 30 + i * 60);
    painter.setBrush(QColor(4, 8, 20, 200));
    painter.drawPolygon(aperture);

    QRadialGradient shine(c - QPointF(r * 0.25, r * 0.28), r * 0.28);
    shine.setColorAt(0, QColor(255, 255, 255, 210));
    shine.setColorAt(1, QColor(255, 255, 255, 0));
    painter.setBrush(shine);
    painter.drawEllipse(c - QPointF(r * 0.25, r * 0.28), r * 0.28, r * 0.2);
    painter.setBrush(QColor(255, 255, 255, 120));
    painter.drawEllipse(c + QPointF(r * 0.28, r * 0.3), r * 0.07, r * 0.07);
}
} // namespace

namespace PictureArt {

QImage refreshIndicator(int scale)
{
    QImage image = scaledCanvas(21, 17, scale, kLightBlue);
    QPainter painter(&image);
    beginAntialiased(painter);
    painter.scale(scale, scale);
    const QPointF c(10.5, 8.5);
    circularArrow(painter, c, 5.2, 200, -140, 1.6, 2.6, Qt::black);
    circularArrow(painter, c, 5.2, 20, -140, 1.6, 2.6, Qt::black);
    painter.end();
    return image.convertToFormat(QImage::Format_RGB32); // opaque: smaller file
}

QImage notFound(int scale)
{
    QImage image = scaledCanvas(83, 62, scale, Qt::white);
    QPainter painter(&image);
    beginAntialiased(painter);
    painter.scale(scale, scale);
    painter.setPen(QPen(kXBlue, 11, Qt::SolidLine, Qt::FlatCap));
    const QRectF box(21, 7, 41, 48);
    painter.drawLine(box.topLeft(), box.bottomRight());
    painter.drawLine(box.topRight(), box.bottomLeft());
    painter.end();
    return image.convertToFormat(QImage::Format_RGB32);
}

QImage slotRefresh(int scale)
{
    return button(scale, [](QPainter &painter) {
        circularArrow(painter, QPointF(12, 12.5), 7.0, 120, -290, 2.6, 3.6, QColor(30, 110, 190));
    });
}

QImage slotStop(int scale)
{
    return button(scale, [](QPainter &painter) { stopSquare(painter, QRectF(5, 5, 14, 14)); });
}

QImage addCam(int scale)
{
    return button(scale, [](QPainter &painter) {
        cameraGlyph(painter, QRectF(1.5, 5.5, 16, 11));
        badge(painter, kGo, [&painter](QPointF c) {
            painter.drawLine(c - QPointF(3, 0), c + QPointF(3, 0));
            painter.drawLine(c - QPointF(0, 3), c + QPointF(0, 3));
        });
    });
}

QImage removeCam(int scale)
{
    return button(scale, [](QPainter &painter) {
        cameraGlyph(painter, QRectF(1.5, 5.5, 16, 11));
        badge(painter, kStop,
              [&painter](QPointF c) { painter.drawLine(c - QPointF(3, 0), c + QPointF(3, 0)); });
    });
}

QImage editCam(int scale)
{
    return button(scale, [](QPainter &painter) {
        cameraGlyph(painter, QRectF(1.5, 5.5, 16, 11));
        // A pencil across the lower right corner.
        painter.save();
        painter.translate(16, 16);
        painter.rotate(-45);
        painter.setPen(QPen(kInk, 0.8));
        painter.setBrush(QColor(245, 190, 40));
        painter.drawRect(QRectF(-6, -2, 10, 4));
        painter.setBrush(QColor(240, 140, 150));
        painter.drawRect(QRectF(4, -2, 2.5, 4));
        QPolygonF point;
        point << QPointF(-6, -2) << QPointF(-9.5, 0) << QPointF(-6, 2);
        painter.setBrush(QColor(235, 215, 180));
        painter.drawPolygon(point);
        painter.restore();
    });
}

QImage startCam(int scale)
{
    return button(scale, [](QPainter &painter) {
        QPolygonF play;
        play << QPointF(6, 3.5) << QPointF(20, 12) << QPointF(6, 20.5);
        QLinearGradient shade(0, 3, 0, 21);
        shade.setColorAt(0, kGo.lighter(135));
        shade.setColorAt(1, kGo.darker(115));
        painter.setPen(QPen(kGo.darker(160), 1.0, Qt::SolidLine, Qt::SquareCap, Qt::RoundJoin));
        painter.setBrush(shade);
        painter.drawPolygon(play);
    });
}

QImage stopAll(int scale)
{
    return button(scale, [](QPainter &painter) {
        stopSquare(painter, QRectF(2.5, 2.5, 11, 11));
        stopSquare(painter, QRectF(6.5, 6.5, 11, 11));
        stopSquare(painter, QRectF(10.5, 10.5, 11, 11));
    });
}

QImage appIcon(int size)
{
    constexpr qreal kDrawnSize = 64;
    QImage image = canvas(size, size);
    QPainter painter(&image);
    beginAntialiased(painter);
    painter.scale(size / kDrawnSize, size / kDrawnSize);
    lens(painter, QPointF(32, 32), 30);
    return image;
}

QImage splash()
{
    QImage image = canvas(478, 318);
    QPainter painter(&image);
    beginAntialiased(painter);

    QLinearGradient night(0, 0, 478, 318);
    night.setColorAt(0, QColor(18, 34, 64));
    night.setColorAt(1, QColor(6, 12, 26));
    painter.fillRect(image.rect(), night);

    // Faint rings spreading from the lens, like a focus scale.
    const QPointF c(116, 159);
    painter.setBrush(Qt::NoBrush);
    for (int i = 0; i < 6; ++i) {
        painter.setPen(QPen(QColor(120, 170, 230, 60 - i * 9), 1.2));
        painter.drawEllipse(c, 104.0 + i * 22, 104.0 + i * 22);
    }
    lens(painter, c, 92);

    // The name and the line under it, centred in the space right of the lens.
    const QRectF textArea(222, 96, 240, 120);
    QFont title(QStringLiteral("DejaVu Sans"));
    title.setPixelSize(46);
    title.setBold(true);
    QFont line(QStringLiteral("DejaVu Sans"));
    line.setPixelSize(19);
    const QString name = QStringLiteral("Vantora");
    const QString tagline = QStringLiteral("webcam viewer");
    const qreal titleWidth = QFontMetricsF(title).horizontalAdvance(name);
    const qreal left = textArea.left() + (textArea.width() - titleWidth) / 2;

    painter.setFont(title);
    painter.setPen(QColor(236, 242, 250));
    painter.drawText(QRectF(left, textArea.top(), titleWidth + 4, 60), Qt::AlignLeft | Qt::AlignVCenter,
                     name);
    painter.setPen(QPen(QColor(110, 170, 235), 2));
    painter.drawLine(QPointF(left + 2, textArea.top() + 66), QPointF(left + titleWidth, textArea.top() + 66));
    painter.setFont(line);
    painter.setPen(QColor(170, 195, 225));
    painter.drawText(QRectF(left + 2, textArea.top() + 72, titleWidth, 30), Qt::AlignLeft | Qt::AlignVCenter,
                     tagline);
    painter.end();
    return image.convertToFormat(QImage::Format_RGB32);
}

// A "name@2x.png" beside a picture is the same drawing at twice the size: Qt picks it by that name
// for screens of device pixel ratio 2.
std::vector<Entry> all()
{
    constexpr int kSplashQuality = 85;
    constexpr int kTwice = 2;
    constexpr int kIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};
    std::vector<Entry> entries = {
        {QStringLiteral("refresh.png"), refreshIndicator(), -1},
        {QStringLiteral("refresh@2x.png"), refreshIndicator(kTwice), -1},
        {QStringLiteral("notfound.png"), notFound(), -1},
        {QStringLiteral("notfound@2x.png"), notFound(kTwice), -1},
        {QStringLiteral("slotrefresh.png"), slotRefresh(), -1},
        {QStringLiteral("slotrefresh@2x.png"), slotRefresh(kTwice), -1},
        {QStringLiteral("slotstop.png"), slotStop(), -1},
        {QStringLiteral("slotstop@2x.png"), slotStop(kTwice), -1},
        {QStringLiteral("cmdadd.png"), addCam(), -1},
        {QStringLiteral("cmdadd@2x.png"), addCam(kTwice), -1},
        {QStringLiteral("cmdremove.png"), removeCam(), -1},
        {QStringLiteral("cmdremove@2x.png"), removeCam(kTwice), -1},
        {QStringLiteral("cmdedit.png"), editCam(), -1},
        {QStringLiteral("cmdedit@2x.png"), editCam(kTwice), -1},
        {QStringLiteral("cmdstartcam.png"), startCam(), -1},
        {QStringLiteral("cmdstartcam@2x.png"), startCam(kTwice), -1},
        {QStringLiteral("cmdstopall.png"), stopAll(), -1},
        {QStringLiteral("cmdstopall@2x.png"), stopAll(kTwice), -1},
        {QStringLiteral("vantora.png"), appIcon(64), -1},
        {QStringLiteral("vantora@2x.png"), appIcon(128), -1},
        {QStringLiteral("splash.jpg"), splash(), kSplashQuality},
    };
    // The desktop's icon theme sizes (the scalable one is resources/icons/hicolor/scalable/).
    for (const int size : kIconSizes) {
        entries.push_back(
            {QStringLiteral("icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(QStringLiteral(VANTORA_APP_ID)),
             appIcon(size), -1});
    }
    return entries;
}

} // namespace PictureArt

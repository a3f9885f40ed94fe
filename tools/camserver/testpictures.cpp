#include "camserver/testpictures.h"

#include <QBuffer>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

#include <algorithm>
#include <cstdint>

namespace {
QByteArray encode(const QImage &image, const char *format, int quality = -1)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, quality);
    return bytes;
}

QImage filled(int width, int height, const QColor &fill)
{
    QImage image(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32);
    image.fill(fill);
    return image;
}

// Writes LZW codes of a fixed width, least significant bit first, as GIF wants them.
class CodeWriter
{
public:
    explicit CodeWriter(QByteArray &out)
        : m_out(out)
    { }

    void put(unsigned code, int width)
    {
        m_bits |= static_cast<std::uint32_t>(code) << m_count;
        m_count += width;
        while (m_count >= 8) {
            m_out.append(static_cast<char>(m_bits & 0xFF));
            m_bits >>= 8;
            m_count -= 8;
        }
    }
    void finish()
    {
        if (m_count > 0)
            m_out.append(static_cast<char>(m_bits & 0xFF));
        m_bits = 0;
        m_count = 0;
    }

private:
    QByteArray &m_out;
    std::uint32_t m_bits = 0;
    int m_count = 0;
};

// Seven-segment digits (and "x"), so labels need no fonts and no GUI application.
void drawLabel(QPainter &painter, const QString &text, QPointF at, qreal height)
{
    // Segments a..g as bits 0..6.
    static constexpr unsigned char kDigits[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};
    const qreal w = height * 0.5;
    const qreal t = std::max(1.0, height * 0.1);
    const qreal h = height / 2;
    const QRectF segments[7] = {
        {0, 0, w, t}, {w - t, 0, t, h}, {w - t, h, t, h},     {0, height - t, w, t},
        {0, h, t, h}, {0, 0, t, h},     {0, h - t / 2, w, t},
    };
    for (const QChar c : text) {
        if (c.isDigit()) {
            const unsigned bits = kDigits[c.digitValue()];
            for (int s = 0; s < 7; ++s) {
                if (bits & (1u << s))
                    painter.drawRect(segments[s].translated(at));
            }
        } else {
            painter.drawRect(QRectF(at.x(), at.y() + h - t / 2, w * 0.6, t));
        }
        at.rx() += w * 1.4;
    }
}

void putLe16(QByteArray &out, int value)
{
    out.append(static_cast<char>(value & 0xFF));
    out.append(static_cast<char>((value >> 8) & 0xFF));
}
} // namespace

namespace TestPictures {

QImage scene(int width, int height, const QColor &tint)
{
    QImage image(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, 0, image.height());
    sky.setColorAt(0.0, tint.lighter(170));
    sky.setColorAt(0.6, tint);
    sky.setColorAt(1.0, tint.darker(250));
    painter.fillRect(image.rect(), sky);

    const qreal unit = std::min(image.width(), image.height()) / 10.0;
    QRadialGradient sun(image.width() * 0.75, image.height() * 0.25, unit * 1.5);
    sun.setColorAt(0.0, QColor(255, 240, 190));
    sun.setColorAt(1.0, QColor(255, 200, 80, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(sun);
    painter.drawEllipse(QPointF(image.width() * 0.75, image.height() * 0.25), unit * 1.5, unit * 1.5);

    // Hills and a few blocks, so edges and flat areas both appear.
    painter.setBrush(tint.darker(180));
    QPolygonF hills;
    hills << QPointF(0, image.height());
    for (int i = 0; i <= 12; ++i) {
        const qreal x = image.width() * i / 12.0;
        const qreal y = image.height() * (0.62 + 0.08 * ((i * 7) % 5) / 4.0);
        hills << QPointF(x, y);
    }
    hills << QPointF(image.width(), image.height());
    painter.drawPolygon(hills);
    for (int i = 0; i < 8; ++i) {
        painter.setBrush(QColor::fromHsv((tint.hsvHue() + i * 40) % 360, 120, 200));
        painter.drawRect(QRectF(unit * (0.5 + i * 1.2), image.height() - unit * (1.2 + (i % 3) * 0.5),
                                unit * 0.9, unit * (1.0 + (i % 3) * 0.5)));
    }

    painter.setBrush(Qt::white);
    drawLabel(painter, QStringLiteral("%1x%2").arg(image.width()).arg(image.height()),
              QPointF(unit / 2, unit / 2), std::max(unit, 8.0));
    painter.end();

    // Fine, deterministic sensor-like grain, as real camera pictures carry.
    std::uint32_t seed = 0x9E3779B9u ^ static_cast<std::uint32_t>(width * 31 + height);
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            seed = seed * 1664525u + 1013904223u;
            const int grain = static_cast<int>((seed >> 24) % 17) - 8;
            const QRgb p = line[x];
            line[x] = qRgb(std::clamp(qRed(p) + grain, 0, 255), std::clamp(qGreen(p) + grain, 0, 255),
                           std::clamp(qBlue(p) + grain, 0, 255));
        }
    }
    return image;
}

QByteArray jpeg(int width, int height, const QColor &tint, int quality)
{
    return encode(scene(width, height, tint), "JPEG", quality);
}

QByteArray variant(const QByteArray &jpeg, int n)
{
    // Start of image, APP0 marker, length, "JFIF\0", version, units, then the X density.
    constexpr qsizetype kDensity = 14;
    constexpr int kDensities = 65535;
    QByteArray bytes = jpeg;
    if (bytes.size() < kDensity + 2 || bytes.mid(6, 5) != QByteArrayView("JFIF\0", 5))
        return bytes;
    const int density = n % kDensities + 1; // never 0
    bytes[kDensity] = char(density >> 8);
    bytes[kDensity + 1] = char(density & 0xFF);
    return bytes;
}

QByteArray bmp(int width, int height, const QColor &fill)
{
    return encode(filled(width, height, fill), "BMP");
}

QByteArray png(int width, int height, const QColor &fill)
{
    return encode(filled(width, height, fill), "PNG");
}

QByteArray gif(int width, int height, const QColor &fill)
{
    return gif(filled(width, height, fill));
}

// GIF89a with a 256-entry global colour table. The pixel data uses only literal LZW codes of
// 9 bits and a clear code before the decoder's table could grow to 10-bit codes, so no
// dictionary is needed; the file is about 9 bits per pixel.
QByteArray gif(const QImage &source)
{
    constexpr int kMinCodeSize = 8;
    constexpr unsigned kClear = 1u << kMinCodeSize;
    constexpr unsigned kEnd = kClear + 1;
    constexpr int kCodeWidth = kMinCodeSize + 1;
    constexpr int kLiteralsPerClear = 250; // table stays below 512 entries between clears
    constexpr int kSubBlock = 255;

    const QImage image = source.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
    const QList<QRgb> colours = image.colorTable();

    QByteArray out("GIF89a");
    putLe16(out, image.width());
    putLe16(out, image.height());
    out.append(static_cast<char>(0xF7)); // global table, 8-bit colour, 256 entries
    out.append('\0'); // background colour index
    out.append('\0'); // pixel aspect ratio
    for (int i = 0; i < 256; ++i) {
        const QRgb c = i < colours.size() ? colours.at(i) : qRgb(0, 0, 0);
        out.append(static_cast<char>(qRed(c)));
        out.append(static_cast<char>(qGreen(c)));
        out.append(static_cast<char>(qBlue(c)));
    }
    out.append(',');
    putLe16(out, 0);
    putLe16(out, 0);
    putLe16(out, image.width());
    putLe16(out, image.height());
    out.append('\0'); // no local table, not interlaced
    out.append(static_cast<char>(kMinCodeSize));

    QByteArray codes;
    CodeWriter writer(codes);
    int sinceClear = kLiteralsPerClear;
    for (int y = 0; y < image.height(); ++y) {
        const uchar *line = image.constScanLine(y);
        for (int x = 0; x < image.width(); ++x) {
            if (sinceClear == kLiteralsPerClear) {
                writer.put(kClear, kCodeWidth);
                sinceClear = 0;
            }
            writer.put(line[x], kCodeWidth);
            ++sinceClear;
        }
    }
    writer.put(kEnd, kCodeWidth);
    writer.finish();

    for (qsizetype at = 0; at < codes.size(); at += kSubBlock) {
        const qsizetype n = std::min<qsizetype>(kSubBlock, codes.size() - at);
        out.append(static_cast<char>(n));
        out.append(codes.constData() + at, n);
    }
    out.append('\0'); // block terminator
    out.append(';'); // trailer
    return out;
}

} // namespace TestPictures

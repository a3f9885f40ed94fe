#include "support/noisyscene.h"

#include <QBuffer>
#include <QImageReader>
#include <QLinearGradient>
#include <QPainter>
#include <QRandomGenerator>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr qsizetype kNoiseTableSize = qsizetype(1) << 16;
constexpr int kMaxLevel = 255;

// Sky, a hill, houses with windows, trees and a sign: edges and flat areas at many contrasts.
QImage drawScene(const QSize &size)
{
    QImage image(size, QImage::Format_RGB32);
    const double w = size.width();
    const double h = size.height();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, h * 0.6);
    sky.setColorAt(0, QColor(90, 140, 210));
    sky.setColorAt(1, QColor(200, 220, 240));
    p.fillRect(image.rect(), sky);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(80, 130, 60));
    p.drawEllipse(QRectF(-w * 0.2, h * 0.5, w * 1.4, h));
    p.setBrush(QColor(110, 100, 90));
    p.drawRect(QRectF(0, h * 0.75, w, h * 0.25));
    for (int i = 0; i < 4; ++i) {
        const QRectF house(w * (0.05 + 0.24 * i), h * (0.42 + 0.03 * (i % 2)), w * 0.17, h * 0.3);
        p.setBrush(QColor(180 - 25 * i, 150 + 10 * i, 120));
        p.drawRect(house);
        p.setBrush(QColor(40, 40, 60));
        for (int row = 0; row < 2; ++row) {
            for (int col = 0; col < 3; ++col)
                p.drawRect(QRectF(house.x() + house.width() * (0.1 + 0.3 * col),
                                  house.y() + house.height() * (0.15 + 0.4 * row), house.width() * 0.18,
                                  house.height() * 0.2));
        }
    }
    p.setBrush(QColor(30, 90, 40));
    for (int i = 0; i < 6; ++i)
        p.drawEllipse(QPointF(w * (0.08 + 0.17 * i), h * 0.78), w * 0.04, h * 0.07);
    p.setPen(Qt::white);
    QFont font = p.font();
    font.setPixelSize(std::max(8, int(h / 16)));
    p.setFont(font);
    p.drawText(QRectF(0, h * 0.88, w, h * 0.1), Qt::AlignCenter, QStringLiteral("MAIN STREET 12"));
    return image;
}

int clampLevel(double value)
{
    return std::clamp(static_cast<int>(std::lround(value)), 0, kMaxLevel);
}

} // namespace

NoisyScene::NoisyScene(const Options &options)
    : m_options(options)
    , m_scene(drawScene(options.size))
{
    // Box-Muller pairs from a fixed seed: the same scene gives the same frames.
    QRandomGenerator random(options.seed);
    m_noise.resize(kNoiseTableSize);
    for (qsizetype i = 0; i + 1 < kNoiseTableSize; i += 2) {
        const double u1 = std::max(random.generateDouble(), 1e-12);
        const double u2 = random.generateDouble();
        const double radius = std::sqrt(-2 * std::log(u1));
        m_noise[i] = static_cast<float>(radius * std::cos(2 * std::numbers::pi * u2));
        m_noise[i + 1] = static_cast<float>(radius * std::sin(2 * std::numbers::pi * u2));
    }
}

QByteArray NoisyScene::frame(int n) const
{
    QRandomGenerator random(m_options.seed * 7919U + static_cast<quint32>(n));
    QImage image = m_scene.copy();
    if (m_options.objectDiameter > 0) {
        const int d = m_options.objectDiameter;
        const int lanes = std::max(1, (image.width() - d) / d);
        const int x = (n % lanes) * d;
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(25, 20, 30));
        p.drawEllipse(QRect(x, image.height() * 2 / 3 - d / 2, d, d));
    }
    const double gain = 1 + m_options.gainJitter * (2 * random.generateDouble() - 1);
    qsizetype at = random.bounded(static_cast<int>(kNoiseTableSize));
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            double channels[3] = {double(qRed(line[x])), double(qGreen(line[x])), double(qBlue(line[x]))};
            for (double &c : channels) {
                c = c * gain + m_options.noiseSigma * m_noise[static_cast<std::size_t>(at)];
                at = (at + 1) % kNoiseTableSize;
            }
            line[x] = qRgb(clampLevel(channels[0]), clampLevel(channels[1]), clampLevel(channels[2]));
        }
        at = random.bounded(static_cast<int>(kNoiseTableSize)); // no pattern repeats from line to line
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", random.bounded(m_options.minQuality, m_options.maxQuality + 1));
    return bytes;
}

QImage decodeFrame(const QByteArray &jpeg, const QSize &slotSize)
{
    QBuffer buffer;
    buffer.setData(jpeg);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setScaledSize(slotSize);
    return reader.read();
}

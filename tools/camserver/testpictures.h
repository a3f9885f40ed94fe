#pragma once

#include <QByteArray>
#include <QColor>

// Encoded pictures for tests, the demo camera and the benchmark.
namespace TestPictures {
// A JPEG of the given size: a colour gradient with a label, so sizes and frames differ visibly.
QByteArray jpeg(int width, int height, const QColor &tint = QColor(40, 120, 200), int quality = 85);
QByteArray bmp(int width, int height, const QColor &fill);
QByteArray png(int width, int height, const QColor &fill);
// A GIF (written by our own small encoder; Qt reads GIF but does not write it).
QByteArray gif(int width, int height, const QColor &fill);
} // namespace TestPictures

#pragma once

#include <QByteArray>
#include <QColor>

class QImage;

// Encoded pictures for tests, the demo camera and the benchmark. None of them needs a GUI
// application object (no fonts are used), so logic tests can call them too.
namespace TestPictures {
// A JPEG of the given size: a colour gradient with a label, so sizes and frames differ visibly.
QByteArray jpeg(int width, int height, const QColor &tint = QColor(40, 120, 200), int quality = 85);
// The JFIF JPEG that jpeg() made, its header's pixel density set from n: other bytes every n (up
// to 65535), the same picture. A camera that encodes its still scene again looks like this.
QByteArray variant(const QByteArray &jpeg, int n);
QByteArray bmp(int width, int height, const QColor &fill);
QByteArray png(int width, int height, const QColor &fill);
// A GIF (written by our own small encoder; Qt reads GIF but does not write it).
QByteArray gif(int width, int height, const QColor &fill);
// Any image as a GIF: reduced to at most 256 colours, one frame, no transparency.
QByteArray gif(const QImage &image);
// The picture that jpeg() encodes: smooth gradients, shapes, fine texture and a label.
QImage scene(int width, int height, const QColor &tint = QColor(40, 120, 200));
} // namespace TestPictures

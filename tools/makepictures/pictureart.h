#pragma once

#include <QImage>
#include <QString>

#include <vector>

// The program's own small pictures, drawn rather than kept as hand-made files.
namespace PictureArt {
QImage refreshIndicator(); // 21 x 17: two black circling arrows on light blue
QImage notFound(); // 83 x 62: a large light-blue letter X on white
// The buttons: 24 x 24 pixels times scale.
QImage slotRefresh(int scale); // slot buttons
QImage slotStop(int scale);
QImage addCam(int scale); // list buttons
QImage removeCam(int scale);
QImage editCam(int scale);
QImage startCam(int scale);
QImage stopAll(int scale);
QImage appIcon(int size); // a lens, size x size
QImage splash(); // 478 x 318

struct Entry
{
    QString fileName;
    QImage image;
    int quality; // -1: the format's default (lossless for PNG)
};

// Every picture with the file name the program's resources expect.
std::vector<Entry> all();
} // namespace PictureArt

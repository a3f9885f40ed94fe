#pragma once

#include <QImage>
#include <QString>

#include <vector>

// The program's own small pictures, drawn rather than kept as hand-made files.
namespace PictureArt {
QImage refreshIndicator(); // 21 x 17: two black circling arrows on light blue
QImage notFound(); // 83 x 62: a large light-blue letter X on white
QImage slotRefresh(); // 24 x 24 slot buttons
QImage slotStop();
QImage addCam(); // 24 x 24 list buttons
QImage removeCam();
QImage editCam();
QImage startCam();
QImage stopAll();
QImage appIcon(); // 64 x 64 lens
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

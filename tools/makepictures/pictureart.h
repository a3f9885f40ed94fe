#pragma once

#include <QImage>
#include <QString>

#include <vector>

// The program's own small pictures, drawn rather than kept as hand-made files. Those taking a
// scale are drawn that many times larger as well, for screens of that device pixel ratio.
namespace PictureArt {
QImage refreshIndicator(int scale = 1); // 21 x 17: two black circling arrows on light blue
QImage notFound(int scale = 1); // 83 x 62: a large light-blue letter X on white
QImage slotRefresh(int scale = 1); // 24 x 24 slot buttons
QImage slotStop(int scale = 1);
QImage addCam(int scale = 1); // 24 x 24 list buttons
QImage removeCam(int scale = 1);
QImage editCam(int scale = 1);
QImage startCam(int scale = 1);
QImage stopAll(int scale = 1);
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

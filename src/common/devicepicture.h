#pragma once

#include <QtGlobal>

class QImage;

// One of the program's pictures (common/pictures.h) for screens of the given device pixel ratio:
// above ratio 1 its twice-sized drawing ("name@2x.png", device pixel ratio 2) when there is one,
// otherwise the picture itself. Either paints at the picture's own size in logical pixels.
QImage devicePicture(const char *picture, qreal devicePixelRatio);

// The highest device pixel ratio of the screens, the one the program's pictures are loaded for:
// a picture drawn for it is scaled down on the others rather than blurred up. 1 without a GUI.
qreal highestDevicePixelRatio();

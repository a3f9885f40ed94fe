#pragma once

#include <QtGlobal>

class QFont;

// The program's typeface at a size in points.
QFont verdanaFont(qreal points, bool bold = false);

// The font of the main window's frames, their list box, check box and captions.
QFont frameFont();

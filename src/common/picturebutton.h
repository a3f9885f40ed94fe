#pragma once

struct TwipRect;
class QToolButton;
class QWidget;

// A button that shows one of the program's 24 x 24 pictures (src/common/pictures.h), with its
// tool tip's words as its accessible name.
QToolButton *newPictureButton(QWidget *parent, const char *objectName, const TwipRect &geometry,
                              const char *picture, const char *toolTip);

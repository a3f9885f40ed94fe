#pragma once

class QRect;
class QToolButton;
class QWidget;

// A button that shows one of the program's 24 x 24 pictures (src/common/pictures.h) and a tool tip.
QToolButton *NewPictureButton(QWidget *parent, const char *objectName, const QRect &geometry,
                              const char *picture, const char *toolTip);

#include "common/picturebutton.h"

#include <QIcon>
#include <QRect>
#include <QToolButton>

namespace {
constexpr int kPicturePixels = 24;
} // namespace

QToolButton *NewPictureButton(QWidget *parent, const char *objectName, const QRect &geometry,
                              const char *picture, const char *toolTip)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(objectName));
    button->setGeometry(geometry);
    button->setIcon(QIcon(QString::fromLatin1(picture)));
    button->setIconSize(QSize(kPicturePixels, kPicturePixels));
    button->setToolTip(QString::fromLatin1(toolTip));
    return button;
}

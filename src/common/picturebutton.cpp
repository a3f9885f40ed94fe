#include "common/picturebutton.h"

#include "common/namedchild.h"

#include <QIcon>
#include <QToolButton>

namespace {
constexpr int kPicturePixels = 24;
} // namespace

QToolButton *newPictureButton(QWidget *parent, const char *objectName, const TwipRect &geometry,
                              const char *picture, const char *toolTip)
{
    auto *button = namedChild(new QToolButton(parent), objectName, geometry);
    button->setIcon(QIcon(QString::fromLatin1(picture)));
    button->setIconSize(QSize(kPicturePixels, kPicturePixels));
    button->setToolTip(QString::fromLatin1(toolTip));
    button->setAccessibleName(button->toolTip());
    return button;
}

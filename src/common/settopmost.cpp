#include "common/settopmost.h"

#include <QWidget>

void SetTopMost(QWidget *window, bool topMost)
{
    if (window == nullptr || window->windowFlags().testFlag(Qt::WindowStaysOnTopHint) == topMost)
        return;
    // Changing a window flag hides the window; show it again where it was.
    const bool visible = window->isVisible();
    window->setWindowFlag(Qt::WindowStaysOnTopHint, topMost);
    if (visible)
        window->show();
}

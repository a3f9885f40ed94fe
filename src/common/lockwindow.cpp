#include "common/lockwindow.h"

#include <QWidget>

void LockWindow(QWidget *window, bool lock)
{
    if (window == nullptr)
        return;
    window->setUpdatesEnabled(!lock);
}

#pragma once

#include <QApplication>
#include <QList>
#include <QPointer>
#include <QWidget>

// Finding and clearing away the windows a shell test opened (top-level or parented to a window).
namespace TestWindows {

inline QWidget *visibleWindow(const QString &objectName)
{
    for (QWidget *w : QApplication::allWidgets()) {
        if (w->isWindow() && w->objectName() == objectName && w->isVisible())
            return w;
    }
    return nullptr;
}

// Deletes every window without a parent; the others go with their parent.
inline void deleteAll()
{
    QList<QPointer<QWidget>> windows;
    for (QWidget *w : QApplication::topLevelWidgets())
        windows.append(w);
    for (const QPointer<QWidget> &w : windows) {
        if (!w.isNull() && w->parentWidget() == nullptr)
            delete w.data();
    }
}

} // namespace TestWindows

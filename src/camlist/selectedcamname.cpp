#include "camlist/selectedcamname.h"

#include <QListWidget>
#include <QString>

QString SelectedCamName(const QListWidget *List1)
{
    if (List1 == nullptr)
        return QString();
    const QList<QListWidgetItem *> selected = List1->selectedItems();
    return selected.isEmpty() ? QString() : selected.first()->text();
}

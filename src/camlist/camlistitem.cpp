#include "camlist/camlistitem.h"

#include <QCollator>
#include <QListWidget>
#include <QString>

namespace {

const QListWidgetItem *selectedItem(const QListWidget *list)
{
    if (list == nullptr)
        return nullptr;
    const QList<QListWidgetItem *> selected = list->selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}

} // namespace

CamListItem::CamListItem(const QByteArray &name)
    : QListWidgetItem(QString::fromLocal8Bit(name))
{
    setData(kNameBytesRole, name);
}

bool CamListItem::operator<(const QListWidgetItem &other) const
{
    static const QCollator collator = [] {
        QCollator c;
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    const QString mine = text(), theirs = other.text();
    const int order = collator.compare(mine, theirs);
    // Names equal but for letter case still keep one order.
    return order != 0 ? order < 0 : mine < theirs;
}

void CamListItem::addNames(QListWidget *list, const QByteArrayList &names)
{
    for (const QByteArray &name : names)
        list->addItem(new CamListItem(name));
}

QByteArray CamListItem::selectedName(const QListWidget *list)
{
    const QListWidgetItem *item = selectedItem(list);
    return item == nullptr ? QByteArray() : item->data(kNameBytesRole).toByteArray();
}

QString CamListItem::selectedText(const QListWidget *list)
{
    const QListWidgetItem *item = selectedItem(list);
    return item == nullptr ? QString() : item->text();
}

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
    : QListWidgetItem(shownName(name))
{
    setData(kNameBytesRole, name);
}

QString CamListItem::shownName(const QByteArray &name)
{
    QString text = QString::fromLocal8Bit(name);
    if (text.size() > kShownNameLength) {
        const bool pairCut = text.at(kShownNameLength - 1).isHighSurrogate();
        text.truncate(kShownNameLength - (pairCut ? 1 : 0));
        text += QChar(0x2026);
    }
    return text;
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

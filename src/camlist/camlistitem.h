#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QListWidgetItem>

class QListWidget;

// An item of the camera list box: shows the name decoded from the list file, keeps the name's
// bytes beside it (a name that does not decode cleanly is still looked up as it is stored), and
// sorts as a person reads, without regard to letter case.
class CamListItem : public QListWidgetItem
{
public:
    static constexpr int kNameBytesRole = Qt::UserRole;

    explicit CamListItem(const QByteArray &name);

    bool operator<(const QListWidgetItem &other) const override;

    // Adds one item per name.
    static void addNames(QListWidget *list, const QByteArrayList &names);
    // The selected item's name as stored, and as shown; empty when nothing is selected.
    static QByteArray selectedName(const QListWidget *list);
    static QString selectedText(const QListWidget *list);
};

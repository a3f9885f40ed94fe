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
    // A longer name is shown cut to this many characters and an ellipsis, here and wherever the
    // program names the camera (slot caption, dialog titles, the delete question): a name of
    // megabytes (a damaged file) takes seconds to lay out at every repaint.
    static constexpr qsizetype kShownNameLength = 256;

    explicit CamListItem(const QByteArray &name);

    bool operator<(const QListWidgetItem &other) const override;

    // The name decoded for the screen, cut as above.
    static QString shownName(const QByteArray &name);
    // Adds one item per name.
    static void addNames(QListWidget *list, const QByteArrayList &names);
    // The selected item's name as stored, and as shown; empty when nothing is selected.
    static QByteArray selectedName(const QListWidget *list);
    static QString selectedText(const QListWidget *list);
};

#pragma once

#include "camlist/cameraentry.h"

#include <QDialog>
#include <QPointer>

#include <array>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class TypingLengthLimit;

// What the add and the edit dialog share: the three fields Text1 (name), Text2 (picture
// address) and Text3 (refresh, at most 3 characters typed) with their labels, OK (Command1) and
// Cancel (Command2). The dialog is not modal and is destroyed when it closes.
class CamEntryDialog : public QDialog
{
    Q_OBJECT

public:
    ~CamEntryDialog() override;

    // Cancel: closes without writing anything.
    void Command2_Click();

protected:
    CamEntryDialog(QListWidget *List1, const QString &nameHoverText, QWidget *parent);

    virtual void Command1_Click() = 0;

    // True when all three fields hold something (spaces count) and none holds a CR; otherwise
    // tells the user why and leaves everything as typed.
    bool ValidateFields();

    // Shows the entry's fields as text, whatever their length.
    void showEntry(const CameraEntry &entry);
    // The fields as list-file bytes. A field that still shows what showEntry put there gives
    // the stored bytes back unchanged, also when they do not decode cleanly.
    CameraEntry typedEntry() const;

    // The dialog's note row (the edit dialog's Label5), shown under the fields.
    void addNote(QLabel *note);

    QPointer<QListWidget> m_List1;

private:
    static constexpr std::size_t kFieldCount = 3;
    std::array<QLineEdit *, kFieldCount> fields() const;

    QLabel *Label1 = nullptr; // "Name:"
    QLabel *Label2 = nullptr; // "URL:"
    QLabel *Label3 = nullptr; // "Refresh:"
    QLabel *Label4 = nullptr; // "seconds"
    QLineEdit *Text1 = nullptr;
    QLineEdit *Text2 = nullptr;
    QLineEdit *Text3 = nullptr;
    QPushButton *Command1 = nullptr;
    QPushButton *Command2 = nullptr;
    TypingLengthLimit *m_refreshLimit = nullptr;

    CameraEntry m_shownEntry; // what showEntry put in the fields, as stored
    std::array<QString, kFieldCount> m_shownText; // and as the fields then showed it
};

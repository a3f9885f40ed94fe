#pragma once

#include "camlist/camentrydialog.h"

class SlotPane;

// Form3: replaces the camera selected in List1. Its title is the name of the camera it edits.
class EditCamDialog : public CamEntryDialog
{
    Q_OBJECT

public:
    EditCamDialog(QListWidget *List1, SlotPane *slotPane, QWidget *parent = nullptr);
    ~EditCamDialog() override;

    // Looks the selected camera up by its stored name and fills the fields. When the lookup
    // finds no block, the fields show the selected name with empty address and refresh, and
    // editEntry stays empty, so OK removes nothing and appends the new entry.
    void Form_Load();
    // Validates, then replaces editEntry's block by the typed entry in one rewrite (moving it to
    // the end of the file), rebuilds List1 and closes; last, the open slots showing the edited
    // camera take the typed name, address and refresh. A field left as it was keeps its stored
    // bytes. When the write fails nothing is changed, the dialog stays open with what was typed,
    // and List1 shows the file as it is.
    void Command1_Click() override;

    CameraEntry editEntry; // the entry the dialog was opened for; empty when none was found

private:
    void updateOpenSlots(const CameraEntry &edited);

    QLabel *Label5 = nullptr; // the note that open cams need a restart
    QPointer<SlotPane> m_slotPane;
    QString m_openedTitle; // the list item the dialog was opened for, as shown
};

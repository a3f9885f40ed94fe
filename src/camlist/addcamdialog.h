#pragma once

#include "camlist/camentrydialog.h"

// Form2: adds a camera to the list file. Its fields start empty every time it is opened.
class AddCamDialog : public CamEntryDialog
{
    Q_OBJECT

public:
    AddCamDialog(QListWidget *List1, QWidget *parent = nullptr);
    ~AddCamDialog() override;

    // Sets the title: the product name followed by " :: add a cam".
    void Form_Load();
    // Validates, appends the entry, rebuilds List1 and closes. When the write fails the dialog
    // stays open with what was typed, and List1 shows the file as it is.
    void Command1_Click() override;
};

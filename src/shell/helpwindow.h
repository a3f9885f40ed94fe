#pragma once

#include <QDialog>

class QCheckBox;
class QString;
class QTextBrowser;

// The help window "Readme/Help" (objectName "Form8"): the help file "Help.rtf" from the program
// folder above a check box "Show at Startup" that is stored as the setting "showHelp". A fixed
// dialog without minimise and maximise buttons.
class HelpWindow : public QDialog
{
    Q_OBJECT

public:
    // Larger help files are read up to this size.
    static constexpr qint64 kMaxHelpFileBytes = qint64(16) * 1024 * 1024;

    explicit HelpWindow(QWidget *parent = nullptr);
    ~HelpWindow() override;

    // Fills the window: with a help file, its text, topmost, and the check box from the setting;
    // without one the window keeps "RichTextBox1" and its checked box. Each step that fails is
    // skipped.
    void Form_Load();
    // Stores the check box's state: "0" unchecked, "1" checked, "2" greyed.
    void Check1_Click();

private:
    QTextBrowser *rtf1 = nullptr;
    QCheckBox *Check1 = nullptr;
};

// Where the help file is read from: the program folder, else the executable's folder, else the
// installed data folder (installedDataFolder()), the first that holds it; the program folder's
// path when none does.
QString HelpFilePath();

#pragma once

#include <QDialog>

class QLabel;

// Form4: the small notice "You must first select a cam from the list." titled "Oops!". No
// buttons; the user closes it with the window's close control, which destroys it. Not modal;
// it opens centred on the window it belongs to.
class NoticeWindow : public QDialog
{
    Q_OBJECT

public:
    explicit NoticeWindow(QWidget *parent = nullptr);
    ~NoticeWindow() override;

private:
    QLabel *Label1 = nullptr;
};

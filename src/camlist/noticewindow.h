#pragma once

#include <QWidget>

class QLabel;

// Form4: the small notice "You must first select a cam from the list." titled "Oops!". No
// buttons; the user closes it with the window's close control, which destroys it. Not modal.
class NoticeWindow : public QWidget
{
    Q_OBJECT

public:
    explicit NoticeWindow(QWidget *parent = nullptr);
    ~NoticeWindow() override;

    QLabel *Label1 = nullptr;
};

#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

// Answers every message box the code under test opens with exec(): notes what it showed and
// presses the chosen button (the first one when the box has no such button), so no test can
// hang on a box.
struct MessageBoxAnswerer
{
    static constexpr int kPollMs = 5;

    struct Box
    {
        QString title;
        QString text;
        QMessageBox::StandardButtons buttons;
        bool operator==(const Box &) const = default;
    };

    MessageBoxAnswerer()
    {
        QObject::connect(&poll, &QTimer::timeout, &poll, [this] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (box == nullptr || !box->isVisible())
                return;
            seen.append(Box{box->windowTitle(), box->text(), box->standardButtons()});
            (box->button(answer) != nullptr ? box->button(answer) : box->buttons().value(0))->click();
        });
        poll.start(kPollMs);
    }

    QMessageBox::StandardButton answer = QMessageBox::Cancel;
    QList<Box> seen;
    QTimer poll;
};

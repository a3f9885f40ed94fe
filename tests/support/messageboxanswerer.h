#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

// Answers every message box the code under test opens with exec(): notes "title|text|buttons"
// and presses the chosen button (the first one when the box has no such button), so no test
// can hang on a box.
struct MessageBoxAnswerer
{
    static constexpr int kPollMs = 5;

    MessageBoxAnswerer()
    {
        QObject::connect(&poll, &QTimer::timeout, &poll, [this] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (box == nullptr || !box->isVisible())
                return;
            seen << QStringLiteral("%1|%2|%3")
                        .arg(box->windowTitle(), box->text())
                        .arg(box->standardButtons().toInt());
            (box->button(answer) != nullptr ? box->button(answer) : box->buttons().value(0))->click();
        });
        poll.start(kPollMs);
    }

    QMessageBox::StandardButton answer = QMessageBox::Cancel;
    QStringList seen;
    QTimer poll;
};

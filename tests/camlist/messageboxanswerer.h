#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

// Answers every message box the code under test opens with exec(): records what it showed and
// presses the chosen button (or the only one when that is missing), so no test can hang on one.
class MessageBoxAnswerer
{
public:
    struct Seen
    {
        QString title;
        QString text;
        QMessageBox::StandardButtons buttons;
    };

    MessageBoxAnswerer()
    {
        m_poll.setInterval(kPollMs);
        QObject::connect(&m_poll, &QTimer::timeout, &m_poll, [this] { answerOpenBox(); });
        m_poll.start();
    }

    QMessageBox::StandardButton answer = QMessageBox::Cancel;
    QList<Seen> seen;

private:
    static constexpr int kPollMs = 5;

    void answerOpenBox()
    {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isVisible())
            return;
        seen.append({box->windowTitle(), box->text(), box->standardButtons()});
        QAbstractButton *button = box->button(answer);
        if (button == nullptr)
            button = box->buttons().value(0);
        button->click();
    }

    QTimer m_poll;
};

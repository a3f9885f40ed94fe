#pragma once

#include <QValidator>

// A length limit for what is typed into a line edit, never for what the program puts there: an
// edit that makes the text longer than the limit and longer than it was is refused. A text set
// by the program stays whole, however long; once shortened to the limit it stays within it.
class TypingLengthLimit : public QValidator
{
    Q_OBJECT

public:
    TypingLengthLimit(qsizetype limit, QObject *parent);
    ~TypingLengthLimit() override;

    // The field now holds text the program put there: its length is allowed from here on.
    void allowLengthOf(const QString &text);

    State validate(QString &input, int &pos) const override;

private:
    qsizetype m_limit;
    mutable qsizetype m_allowed; // the longest text an edit may leave
};

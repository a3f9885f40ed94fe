#include "camlist/typinglengthlimit.h"

#include <algorithm>

TypingLengthLimit::TypingLengthLimit(qsizetype limit, QObject *parent)
    : QValidator(parent)
    , m_limit(limit)
    , m_allowed(limit)
{ }

TypingLengthLimit::~TypingLengthLimit() = default;

void TypingLengthLimit::allowLengthOf(const QString &text)
{
    m_allowed = std::max(m_limit, text.size());
}

// The line edit undoes a typed change found Invalid; a text the program sets is kept whatever
// the answer. Every accepted text lowers the allowance to its own length (never below the limit).
QValidator::State TypingLengthLimit::validate(QString &input, int & /*pos*/) const
{
    if (input.size() > m_allowed)
        return Invalid;
    m_allowed = std::max(m_limit, input.size());
    return Acceptable;
}

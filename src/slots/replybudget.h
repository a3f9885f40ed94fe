#pragma once

#include <QHash>
#include <QList>
#include <QtGlobal>

class SlotFetch;

// What the replies in flight of all slots may hold together. Each fetch tells the budget how many
// bytes its reply holds; a fetch about to grow asks which replies must be given up first so that
// the total stays within the limit: the largest ones, so a good camera's small reply is never the
// one that goes while a larger one is in flight.
class ReplyBudget
{
public:
    static constexpr qsizetype kDefaultBytes = qsizetype(256) * 1024 * 1024;

    explicit ReplyBudget(qsizetype limit = kDefaultBytes)
        : m_limit(limit)
    { }

    qsizetype limit() const { return m_limit; }
    void setLimit(qsizetype limit) { m_limit = limit; }
    // The bytes held by all replies in flight.
    qsizetype held() const { return m_held; }

    // fetch's reply now holds this many bytes; 0 when it is no longer in flight.
    void record(SlotFetch *fetch, qsizetype bytes);

    // The fetches whose replies are to be given up, largest first, before fetch's reply grows to
    // `bytes`; fetch itself is among them when it is the largest (it goes first among equals).
    // Empty when the growth fits.
    QList<SlotFetch *> makeRoom(SlotFetch *fetch, qsizetype bytes) const;

private:
    qsizetype m_limit;
    qsizetype m_held = 0;
    QHash<SlotFetch *, qsizetype> m_replies;
};

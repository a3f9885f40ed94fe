#include "slots/replybudget.h"

#include <algorithm>
#include <utility>

void ReplyBudget::record(SlotFetch *fetch, qsizetype bytes)
{
    const auto found = m_replies.constFind(fetch);
    if (found != m_replies.constEnd())
        m_held -= *found;
    if (bytes <= 0) {
        m_replies.remove(fetch);
        return;
    }
    m_replies.insert(fetch, bytes);
    m_held += bytes;
}

QList<SlotFetch *> ReplyBudget::makeRoom(SlotFetch *fetch, qsizetype bytes) const
{
    qsizetype total = m_held - m_replies.value(fetch, 0) + bytes;
    if (total <= m_limit)
        return {};
    QList<std::pair<qsizetype, SlotFetch *>> replies{{bytes, fetch}};
    for (auto it = m_replies.cbegin(); it != m_replies.cend(); ++it) {
        if (it.key() != fetch)
            replies.append({it.value(), it.key()});
    }
    // Largest first; the growing reply before others of its size.
    std::stable_sort(replies.begin(), replies.end(),
                     [](const auto &a, const auto &b) { return a.first > b.first; });
    QList<SlotFetch *> victims;
    for (const auto &[size, victim] : std::as_const(replies)) {
        victims.append(victim);
        total -= size;
        if (total <= m_limit)
            break;
    }
    return victims;
}

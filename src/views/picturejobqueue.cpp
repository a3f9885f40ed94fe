#include "views/picturejobqueue.h"

#include "common/pictureworkers.h"

#include <QThreadPool>

#include <atomic>
#include <utility>

struct PictureJobQueue::Ticket
{
    int slot = 0;
    Kind kind = Kind::Step;
    std::atomic<bool> dropped{false};
    bool done = false; // window thread only
    Apply apply; // window thread only
};

PictureJobQueue::PictureJobQueue(QObject *parent)
    : QObject(parent)
{
    setObjectName(QStringLiteral("pictureJobs"));
}

PictureJobQueue::~PictureJobQueue()
{
    // Running work posts its result to this object: it must be alive until the work is done.
    waitForWork();
}

void PictureJobQueue::waitForWork()
{
    const QMutexLocker locker(&m_runningLock);
    while (m_running > 0)
        m_noneRunning.wait(&m_runningLock);
}

void PictureJobQueue::submit(int slot, Kind kind, Work work)
{
    auto ticket = std::make_shared<Ticket>();
    ticket->slot = slot;
    ticket->kind = kind;
    m_queues[slot].push_back(ticket);
    if (m_runInline) {
        finish(ticket, work());
        return;
    }
    {
        const QMutexLocker locker(&m_runningLock);
        ++m_running;
    }
    pictureWorkers()->start([this, ticket, work = std::move(work)] {
        Apply apply;
        if (!ticket->dropped)
            apply = work();
        QMetaObject::invokeMethod(
            this, [this, ticket, apply = std::move(apply)]() mutable { finish(ticket, std::move(apply)); },
            Qt::QueuedConnection);
        const QMutexLocker locker(&m_runningLock);
        if (--m_running == 0)
            m_noneRunning.wakeAll();
    });
}

void PictureJobQueue::submitStep(int slot, Apply apply)
{
    auto ticket = std::make_shared<Ticket>();
    ticket->slot = slot;
    m_queues[slot].push_back(ticket);
    finish(ticket, std::move(apply));
}

void PictureJobQueue::dropPending(Kind kind)
{
    for (auto &[slot, queue] : m_queues) {
        for (const std::shared_ptr<Ticket> &ticket : queue) {
            if (ticket->kind == kind)
                ticket->dropped = true;
        }
    }
    drain();
}

void PictureJobQueue::finish(const std::shared_ptr<Ticket> &ticket, Apply apply)
{
    ticket->apply = std::move(apply);
    ticket->done = true;
    drain();
}

void PictureJobQueue::drain()
{
    // An apply may submit more work; the outer loop picks that up in order.
    if (m_draining)
        return;
    m_draining = true;
    bool appliedAny = false;
    bool progressed = true;
    while (progressed) {
        progressed = false;
        for (auto it = m_queues.begin(); it != m_queues.end();) {
            std::deque<std::shared_ptr<Ticket>> &queue = it->second;
            if (!queue.empty() && (queue.front()->done || queue.front()->dropped)) {
                const std::shared_ptr<Ticket> ticket = queue.front();
                queue.pop_front();
                progressed = true;
                appliedAny = true;
                if (!ticket->dropped && ticket->apply)
                    ticket->apply();
            }
            it = queue.empty() ? m_queues.erase(it) : std::next(it);
        }
    }
    m_draining = false;
    if (appliedAny && m_queues.empty())
        emit idle();
}

#pragma once

#include <QMutex>
#include <QObject>
#include <QWaitCondition>

#include <deque>
#include <functional>
#include <map>
#include <memory>

// Heavy picture work of the views (full-size decodes, JPEG saves) on the picture worker pool.
// Every job belongs to a slot; its result is applied on the window thread, the results of one
// slot in the order their jobs were submitted. Destroying the queue waits for its running work.
class PictureJobQueue : public QObject
{
    Q_OBJECT

public:
    enum class Kind {
        View, // a picture for the views; a newer one makes it obsolete (see dropPending)
        Save, // a save; always carried out
        Step, // no work: a step that must come after the slot's earlier results
    };
    using Apply = std::function<void()>; // runs on the window thread
    using Work = std::function<Apply()>; // runs on a worker; returns what to apply

    explicit PictureJobQueue(QObject *parent = nullptr);
    ~PictureJobQueue() override;

    void submit(int slot, Kind kind, Work work);
    // A Step: apply runs as soon as the slot's earlier results have been applied (at once when
    // there are none).
    void submitStep(int slot, Apply apply);
    // Results of this kind not applied yet are never applied; their work is skipped when it has
    // not started.
    void dropPending(Kind kind);

    // Work runs on the window thread inside submit (the benchmark's comparison).
    void setRunInline(bool runInline) { m_runInline = runInline; }

    // Nothing submitted is waiting to be applied.
    bool isIdle() const { return m_queues.empty(); }
    // Blocks until no work of this queue runs on a worker (results may still wait to be applied).
    void waitForWork();

signals:
    // The last waiting result has been applied or dropped.
    void idle();

private:
    struct Ticket;
    void finish(const std::shared_ptr<Ticket> &ticket, Apply apply);
    void drain();

    std::map<int, std::deque<std::shared_ptr<Ticket>>> m_queues;
    bool m_runInline = false;
    bool m_draining = false;
    QMutex m_runningLock;
    QWaitCondition m_noneRunning;
    int m_running = 0;
};

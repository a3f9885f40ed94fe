#include "slots/slotdecoder.h"

#include "common/pictureworkers.h"

#include <QtConcurrent>

#include <utility>

SlotDecoder::SlotDecoder(QObject *parent)
    : QObject(parent)
{
    connect(&m_watcher, &QFutureWatcherBase::finished, this, &SlotDecoder::onFinished);
}

// A decode still running keeps its own share of the bytes and ends on its worker unseen.
SlotDecoder::~SlotDecoder() = default;

void SlotDecoder::decode(Job job)
{
    if (m_inline) {
        drop();
        const std::optional<SlotPicture> picture = SlotPicture::decode(job.body, job.size);
        emit decoded(job, picture);
        return;
    }
    if (m_running) {
        m_current.reset();
        m_waiting = std::move(job);
        return;
    }
    run(std::move(job));
}

void SlotDecoder::drop()
{
    m_current.reset();
    m_waiting.reset();
}

void SlotDecoder::run(Job job)
{
    m_running = true;
    m_watcher.setFuture(QtConcurrent::run(
        pictureWorkers(), [body = job.body, size = job.size] { return SlotPicture::decode(body, size); }));
    m_current = std::move(job);
}

void SlotDecoder::onFinished()
{
    m_running = false;
    const std::optional<Job> job = std::exchange(m_current, std::nullopt);
    const std::optional<SlotPicture> picture = job ? m_watcher.result() : std::nullopt;
    if (m_waiting) {
        Job next = std::move(*m_waiting);
        m_waiting.reset();
        run(std::move(next));
    }
    if (job)
        emit decoded(*job, picture);
}

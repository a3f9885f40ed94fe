#include "slots/slotdecoder.h"

#include "common/pictureworkers.h"

#include <QBuffer>
#include <QImageReader>
#include <QtConcurrent>

#include <bit>
#include <utility>

namespace {

// Smaller pictures first: one step lower for each doubling of the pixel count the header declares.
// The header alone is read.
int decodePriority(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    if (!buffer.open(QIODevice::ReadOnly))
        return 0;
    const QSize size = QImageReader(&buffer).size();
    if (size.isEmpty())
        return 0;
    return -std::bit_width(quint64(size.width()) * quint64(size.height()));
}

std::optional<SlotPicture> decodeJob(const QByteArray &body, const PictureSizes &sizes, bool thumbnail)
{
    std::optional<SlotPicture> picture = SlotPicture::decode(body, sizes);
    if (picture && thumbnail)
        picture->makeThumbnail();
    return picture;
}

} // namespace

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
        const std::optional<SlotPicture> picture = decodeJob(job.body, job.sizes, job.thumbnail);
        emit decoded(job, picture);
        return;
    }
    if (m_running) {
        if (m_current && !m_lastOvertaken) {
            m_current.reset();
            m_lastOvertaken = true;
        }
        m_waiting = std::move(job);
        return;
    }
    run(std::move(job));
}

void SlotDecoder::drop()
{
    m_current.reset();
    m_waiting.reset();
    m_lastOvertaken = false;
}

void SlotDecoder::run(Job job)
{
    m_running = true;
    m_watcher.setFuture(QtConcurrent::task([body = job.body, sizes = job.sizes, thumbnail = job.thumbnail] {
                            return decodeJob(body, sizes, thumbnail);
                        })
                            .withPriority(decodePriority(job.body))
                            .onThreadPool(*pictureWorkers())
                            .spawn());
    m_current = std::move(job);
}

void SlotDecoder::onFinished()
{
    m_running = false;
    const std::optional<Job> job = std::exchange(m_current, std::nullopt);
    const std::optional<SlotPicture> picture = job ? m_watcher.result() : std::nullopt;
    if (job)
        m_lastOvertaken = false;
    if (m_waiting) {
        Job next = std::move(*m_waiting);
        m_waiting.reset();
        run(std::move(next));
    }
    if (job)
        emit decoded(*job, picture);
}

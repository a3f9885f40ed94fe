#pragma once

#include "slots/slotpicture.h"

#include <QByteArray>
#include <QDateTime>
#include <QFutureWatcher>
#include <QObject>

#include <optional>

// The decodes of one slot's picture replies, run on the picture workers, at most one at a time.
// A reply that arrives while a decode runs waits, replacing any reply already waiting; drop()
// forgets both. A result is reported (decoded, on the window thread) only for the newest reply
// that was not dropped; a result that comes back after a newer reply or a drop is thrown away,
// except that two results in a row are never thrown away for newer replies: a slot whose decodes
// outlast its refresh period still shows every second one. Smaller pictures are decoded first, so
// a camera sending enormous pictures does not hold up the others.
class SlotDecoder : public QObject
{
    Q_OBJECT

public:
    // A picture reply to decode, with what its completion needs besides the picture.
    struct Job
    {
        QByteArray headerBlock;
        QByteArray body; // the body as a picture is loaded from it
        PictureSizes sizes; // the picture is decoded straight to these
        quint64 fetch = 0; // which of the slot's fetches the reply ended
        QDateTime received; // when the reply ended, the picture's moment
        bool thumbnail = false; // the picture's thumbnail is made too (SlotPicture::makeThumbnail)
    };

    explicit SlotDecoder(QObject *parent = nullptr);
    ~SlotDecoder() override;

    // Decodes on the calling thread instead, reporting the result before decode() returns.
    void setInline(bool inlineDecoding) { m_inline = inlineDecoding; }
    void decode(Job job);
    // A newer reply, a stop or another camera: no result of an earlier job is reported.
    void drop();

signals:
    void decoded(const SlotDecoder::Job &job, const std::optional<SlotPicture> &picture);

private:
    void run(Job job);
    void onFinished();

    QFutureWatcher<std::optional<SlotPicture>> m_watcher;
    bool m_running = false; // a decode is on the workers, whether its result still counts or not
    std::optional<Job> m_current; // the job being decoded, while its result still counts
    std::optional<Job> m_waiting;
    bool m_inline = false;
    bool m_lastOvertaken = false; // the last result was thrown away for a newer reply
};

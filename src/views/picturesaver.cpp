#include "views/picturesaver.h"

#include "common/localtext.h"
#include "common/programfolder.h"
#include "common/sharedstate.h"
#include "pictureinfo/picturemetadata.h"
#include "pictureinfo/savedname.h"
#include "slots/cameraslot.h"
#include "slots/slotpane.h"
#include "slots/slotpicture.h"
#include "views/freespace.h"
#include "views/jpegsave.h"
#include "views/picturejobqueue.h"

#include <QDateTime>
#include <QDir>
#include <QImage>
#include <QLocale>

#include <algorithm>
#include <limits>
#include <optional>

namespace {

constexpr char kCamFolderName[] = "cam";

QString nameFor(const QString &camName, const QDateTime &now)
{
    return camPictureFileName(camName, ShortDateText(now.date()), LongTimeText(now.time()));
}

// What the saved file tells of itself: the camera under the name the file is named after, its
// address without credentials (taken here, so no password travels with the job), and when the
// picture's reply was received; the moment the save was asked for when that is not known.
PictureInfo infoFor(const QString &camName, const QString &address, const SlotPicture &picture,
                    const QDateTime &asked)
{
    return {camName, addressWithoutCredentials(address),
            picture.received().isValid() ? picture.received() : asked};
}

QString nowText()
{
    return LongTimeText(QTime::currentTime());
}

// " could not be saved as <path>", then the reason when there is one.
QString failureText(const QString &path, const QString &error)
{
    return QStringLiteral(" could not be saved as ") + path +
        (error.isEmpty() ? QString() : QStringLiteral(": ") + error);
}

QString pausedNote(qint64 minimumFree, const QString &folder)
{
    return QStringLiteral(" AutoSave paused: less than ") + QLocale::c().formattedDataSize(minimumFree, 0) +
        QStringLiteral(" free for ") + folder;
}

} // namespace

PictureSaver::PictureSaver(SharedState &state, SlotPane *pane, PictureJobQueue *jobs, QObject *parent)
    : QObject(parent)
    , m_state(state)
    , m_pane(pane)
    , m_jobs(jobs)
    , m_minimumFreeSpace(kAutoSaveMinFreeBytes)
{ }

PictureSaver::~PictureSaver() = default;

QString PictureSaver::camFolder()
{
    return QDir(ProgramFolder()).filePath(QString::fromLatin1(kCamFolderName));
}

bool PictureSaver::roomToAutoSave(int Index, const QString &folder)
{
    // Free space that cannot be told (no folder) is no reason to pause: the save tries and reports.
    const std::optional<qint64> free = freeBytes(folder);
    const bool shortOfSpace = free && *free < m_minimumFreeSpace;
    if (shortOfSpace && !m_autoSavePaused && m_pruneBeforePause) {
        // The floor is a margin, not a full disk: saving goes on while the oldest go. A quarter
        // of the floor more is freed, so that this does not come back at the next save.
        if (!m_makingSpace) {
            m_makingSpace = true;
            const qint64 deficit = m_minimumFreeSpace - std::max<qint64>(*free, 0);
            const qint64 headroom =
                std::min(m_minimumFreeSpace / 4, std::numeric_limits<qint64>::max() - deficit);
            emit spaceShort(deficit + headroom);
        }
        return true;
    }
    if (shortOfSpace != m_autoSavePaused) {
        m_autoSavePaused = shortOfSpace;
        const QString text = nowText() +
            (shortOfSpace ? pausedNote(m_minimumFreeSpace, folder) : QStringLiteral(" AutoSave resumed"));
        // After the slot's earlier results, so that a save finishing later does not hide it.
        m_jobs->submitStep(Index, [this, text] { emit statusText(text); });
    }
    return !shortOfSpace;
}

void PictureSaver::spaceMade(bool enough)
{
    m_makingSpace = false;
    if (enough || m_autoSavePaused)
        return;
    const QString folder = camFolder();
    const std::optional<qint64> free = freeBytes(folder);
    if (free && *free < m_minimumFreeSpace) {
        m_autoSavePaused = true;
        emit statusText(nowText() + pausedNote(m_minimumFreeSpace, folder));
    }
}

void PictureSaver::AutoSavePicture(int Index)
{
    const QString folder = camFolder();
    if (!roomToAutoSave(Index, folder))
        return;
    const QDateTime now = QDateTime::currentDateTime();
    const QString camName = m_pane->frameCaption(Index);
    const QString name = nameFor(camName, now);
    const SlotPicture picture = m_pane->picture(Index);
    const PictureInfo info = infoFor(camName, m_pane->slot(Index)->address(), picture, now);
    m_jobs->submit(Index, PictureJobQueue::Kind::Save, [this, Index, picture, name, folder, info] {
        const JpegSaveResult result = saveJpeg(folder, name, picture.fullImage(), info);
        // The picture as saved, at the size the slot shows it.
        std::optional<SlotPicture> saved;
        if (result.saved) {
            saved = SlotPicture::decode(result.jpeg, picture.slotImage().size());
            if (saved)
                saved->setReceived(picture.received());
        }
        return [this, Index, serial = picture.serial(), ok = result.saved, path = result.path,
                error = result.error, saved = std::move(saved), bytes = result.jpeg.size()] {
            // Only the picture as saved waits on the slot still showing that picture: the file
            // is written (or not) whatever came since, and the status line says so.
            if (saved && m_pane->picture(Index).serial() == serial)
                m_pane->showSavedPicture(Index, *saved);
            if (!ok)
                emit statusText(nowText() + QStringLiteral(" new picture") + failureText(path, error));
            else if (Index == m_state.intDetailSlot)
                emit statusText(nowText() + QStringLiteral(" new picture saved as ") + path);
            if (ok)
                emit pictureSaved(path, bytes);
        };
    });
}

void PictureSaver::saveDetailPicture(int Index, const SlotPicture &picture, const QImage &decoded)
{
    const QDateTime now = QDateTime::currentDateTime();
    const QString camName = m_pane->camName(Index);
    const QString name = nameFor(camName, now);
    const PictureInfo info = infoFor(camName, m_pane->slot(Index)->address(), picture, now);
    m_jobs->submit(Index, PictureJobQueue::Kind::Save,
                   [this, Index, picture, decoded, name, info, folder = camFolder()] {
                       const JpegSaveResult result =
                           saveJpeg(folder, name, decoded.isNull() ? picture.fullImage() : decoded, info);
                       return [this, Index, saved = result.saved, path = result.path, error = result.error,
                               bytes = result.jpeg.size()] {
                           emit detailPictureSaved(Index);
                           emit statusText(nowText() +
                                           (saved ? QStringLiteral(" saved as ") + path
                                                  : QStringLiteral(" picture") + failureText(path, error)));
                           if (saved)
                               emit pictureSaved(path, bytes);
                       };
                   });
}

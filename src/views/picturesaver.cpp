#include "views/picturesaver.h"

#include "common/localtext.h"
#include "common/programfolder.h"
#include "common/sharedstate.h"
#include "slots/slotpane.h"
#include "slots/slotpicture.h"
#include "views/camfilename.h"
#include "views/jpegsave.h"
#include "views/picturejobqueue.h"

#include <QDateTime>
#include <QDir>
#include <QImage>

#include <optional>

namespace {

constexpr char kCamFolderName[] = "cam";

QString nameFor(const QString &camName, const QDateTime &now)
{
    return camPictureFileName(camName, ShortDateText(now.date()), LongTimeText(now.time()));
}

QString nowText()
{
    return LongTimeText(QTime::currentTime());
}

} // namespace

PictureSaver::PictureSaver(SharedState &state, SlotPane *pane, PictureJobQueue *jobs, QObject *parent)
    : QObject(parent)
    , m_state(state)
    , m_pane(pane)
    , m_jobs(jobs)
{ }

PictureSaver::~PictureSaver() = default;

QString PictureSaver::camFolder()
{
    return QDir(ProgramFolder()).filePath(QString::fromLatin1(kCamFolderName));
}

void PictureSaver::AutoSavePicture(int Index)
{
    const QString name = nameFor(m_pane->frameCaption(Index), QDateTime::currentDateTime());
    const SlotPicture picture = m_pane->picture(Index);
    m_jobs->submit(Index, PictureJobQueue::Kind::Save, [this, Index, picture, name, folder = camFolder()] {
        const JpegSaveResult result = saveJpeg(folder, name, picture.fullImage());
        // The picture as saved, at the size the slot shows it.
        std::optional<SlotPicture> saved;
        if (result.saved)
            saved = SlotPicture::decode(result.jpeg, picture.slotImage().size());
        return [this, Index, serial = picture.serial(), ok = result.saved, path = result.path,
                saved = std::move(saved)] {
            if (m_pane->picture(Index).serial() != serial)
                return;
            if (saved)
                m_pane->showSavedPicture(Index, *saved);
            if (Index == m_state.intDetailSlot) {
                emit statusText(nowText() +
                                (ok ? QStringLiteral(" new picture saved as ")
                                    : QStringLiteral(" new picture could not be saved as ")) +
                                path);
            }
        };
    });
}

void PictureSaver::saveDetailPicture(int Index, const SlotPicture &picture, const QImage &decoded)
{
    const QString name = nameFor(m_pane->camName(Index), QDateTime::currentDateTime());
    m_jobs->submit(Index, PictureJobQueue::Kind::Save,
                   [this, Index, picture, decoded, name, folder = camFolder()] {
                       const JpegSaveResult result =
                           saveJpeg(folder, name, decoded.isNull() ? picture.fullImage() : decoded);
                       return [this, Index, saved = result.saved, path = result.path] {
                           emit detailPictureSaved(Index);
                           emit statusText(nowText() +
                                           (saved ? QStringLiteral(" saved as ")
                                                  : QStringLiteral(" picture could not be saved as ")) +
                                           path);
                       };
                   });
}

#pragma once

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// What a saved picture's own metadata tells: the camera it came from and when it was received.
struct PictureFacts
{
    QString camera;
    QDateTime received;
};
// Reads a picture file's facts; nothing for a file without them (an older or foreign file, a
// damaged one). Called on workers, several at once.
using PictureFactsReader = std::function<std::optional<PictureFacts>(const QString &path)>;
// The camera among cameraNames whose saved-name pattern fileName has; empty for none.
using SavedNameMatcher = std::function<QString(const QString &fileName, const QStringList &cameraNames)>;

// A picture file of the folder as a listing sees it.
struct FileStamp
{
    QString name;
    qint64 size = 0;
    qint64 modifiedMs = 0; // since the epoch
};

// A picture file as last indexed: its stamp and what its metadata told.
struct IndexedFile
{
    qint64 size = 0;
    qint64 modifiedMs = 0;
    std::optional<PictureFacts> facts;
};
// Every picture file of the folder by name.
using FolderIndex = QHash<QString, IndexedFile>;

// One picture of a camera's history.
struct HistoryPicture
{
    QString fileName;
    QDateTime time; // received, by its metadata; the file's modification time otherwise
    friend bool operator==(const HistoryPicture &, const HistoryPicture &) = default;
};

// The saved pictures in the folder: "*.jpg" files, any case, that are not hidden (a save in
// progress is). Blocks on the disk.
QList<FileStamp> listPictureFiles(const QString &folder);

// The files of the listing whose metadata must be read: new ones, and those whose size or time
// changed since the previous index.
QStringList filesToRead(const FolderIndex &previous, const QList<FileStamp> &listing);

// The index of the listing: files gone from the folder are dropped, unchanged ones keep what was
// read before, and the others take what `read` holds for them.
FolderIndex updatedIndex(const FolderIndex &previous, const QList<FileStamp> &listing,
                         const QHash<QString, std::optional<PictureFacts>> &read);

// The pictures of `camera` in time order (ties by file name): those whose metadata names it, and
// those without metadata whose name has its saved-name pattern rather than another camera's.
QList<HistoryPicture> cameraHistory(const FolderIndex &index, const QString &camera,
                                    const QStringList &cameraNames, const SavedNameMatcher &matcher);

// Where `picture` is, or would go, in a history in time order.
qsizetype historyPosition(const QList<HistoryPicture> &history, const HistoryPicture &picture);

#pragma once

#include "slots/headerendscanner.h"
#include "slots/httpprotocol.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QObject>
#include <QString>

#include <optional>

class QTcpSocket;

// What the server's close left of a reply besides its body.
struct FinishedReply
{
    bool hasHeader = false; // the reply held the blank line that ends a header block
    QByteArray headerBlock; // the bytes before that blank line; empty without one
};

// One slot's fetch (objectName "wsCam"): a TCP connection to the camera's web server carrying one
// GET request, and the reply gathered until the server closes it. It owns the socket, the reply
// buffer, the header-end scan and the counters. Its signals report the current fetch only: a
// fetch that is abandoned, or replaced by a new start, raises nothing more.
class SlotFetch : public QObject
{
    Q_OBJECT

public:
    // A reply that grows past this many bytes is abandoned like a failed fetch (memory stays bounded).
    static constexpr qsizetype kMaxReplyBytes = qsizetype(64) * 1024 * 1024;

    explicit SlotFetch(QObject *parent = nullptr);
    ~SlotFetch() override;

    // Abandons the running fetch, then takes the address apart. A bad address ends the start there
    // (false), with the counters of the previous reply left as they were. Otherwise the reply state
    // is reset and, when the address names a host, the connection begins (true).
    bool start(const QString &address);
    // Closes the connection without any further signal and frees the reply buffer at once.
    void abandon();
    // The fetch holds a connection (being made, receiving, or closed by the server) that no
    // start or abandon has given up yet.
    bool hasConnection() const { return m_socket != nullptr; }
    // Counts the starts: which fetch a reply belongs to.
    quint64 startCount() const { return m_startCount; }

    // On connect: escapes the spaces of requestPath (kept for later fetches) and sends the request.
    void sendRequest();
    // A data event: reads the waiting bytes onto the reply buffer and counts bytesTotal. Returns the
    // progress bar's new value when the header end was seen in an earlier event and the bar takes
    // the share. A reply that would outgrow the size limit abandons the fetch.
    std::optional<int> receive(qint32 bytesTotal);
    // The same for bytes that arrived by other means than the socket, as one data event.
    std::optional<int> receiveBytes(QByteArrayView bytes);
    // At the server's close: splits the reply at its header end; replyBuffer keeps the body alone.
    FinishedReply finish();
    // The body as it was loaded (de-chunked), kept as the reply buffer in place of the one received.
    void keepBody(const QByteArray &body) { m_replyBuffer = body; }

    const QString &hostName() const { return m_hostName; }
    const QString &requestPath() const { return m_requestPath; }
    const QByteArray &replyBuffer() const { return m_replyBuffer; }
    qint32 bytesReceived() const { return m_bytesReceived; }
    bool headerDone() const { return m_headerDone; }
    qint32 contentLength() const { return m_contentLength; }

    // Tests lower the size limit to avoid sending the full amount.
    void setReplySizeLimit(qsizetype bytes) { m_replySizeLimit = bytes; }

signals:
    void connected();
    void dataArrived(qint32 bytesTotal);
    void replyFinished();

private:
    void onDisconnected(QTcpSocket *socket);
    bool fits(qint64 moreBytes) const;
    std::optional<int> countAndScan(qint32 bytesTotal);

    QTcpSocket *m_socket = nullptr; // the current fetch's socket; null between fetches
    quint64 m_startCount = 0;
    QString m_hostName;
    QString m_requestPath;
    quint16 m_port = HttpProtocol::kDefaultPort;
    QString m_hostHeader;
    QByteArray m_replyBuffer;
    qint32 m_bytesReceived = 0;
    bool m_headerDone = false;
    qint32 m_contentLength = 0;
    qsizetype m_headerEnd = -1; // where the blank line starts, once seen
    HeaderEndScanner m_headerScan;
    qsizetype m_replySizeLimit = kMaxReplyBytes;
};

#pragma once

#include "slots/camaddress.h"
#include "slots/fetchoutcome.h"
#include "slots/headerendscanner.h"
#include "slots/httpauth.h"
#include "slots/httpprotocol.h"

#include <QAbstractSocket>
#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QObject>
#include <QSslCertificate>
#include <QSslError>
#include <QString>

#include <chrono>
#include <memory>
#include <optional>

class MultipartReader;
class QSslSocket;
class QTimer;
class ReplyBudget;

// What the server's close left of a reply besides its body.
struct FinishedReply
{
    bool hasHeader = false; // the reply held the blank line that ends a header block
    QByteArray headerBlock; // the bytes before that blank line; empty without one
};

// One slot's fetch (objectName "wsCam"): a connection to the camera's web server, plain or TLS,
// carrying one GET request, and the reply gathered until the server closes it or the body has
// reached its Content-Length. It owns the socket, the reply buffer, the header-end scan and the
// counters. Redirects and password challenges are answered on fresh connections inside the one
// fetch. A reply that is a picture stream ("multipart/x-mixed-replace") is read part by part until
// its first whole picture part, which then stands as the reply (MultipartReader::partReplyHeader
// and the part's body): the fetch closes the connection and the reply is finished as at a
// server's close. Its signals report the current fetch only: a fetch that is abandoned, or
// replaced by a new start, raises nothing more.
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
    // is reset and, when the address names a host, the connection begins (true). A running fetch
    // whose reply has not ended is reported as failed first: as unanswered when it had received
    // nothing for about its stall limit, else as unfinished.
    // shownBody is the body of the picture the slot shows: a reply that brings it again is compared
    // with it as it arrives and not stored a second time; finish() then gives shownBody itself.
    bool start(const QString &address, const QByteArray &shownBody = {});
    // Closes the connection without any further signal and frees the reply buffer at once.
    void abandon();
    // The fetch holds a connection (being made, receiving, or closed by the server) that no
    // start or abandon has given up yet.
    bool hasConnection() const { return m_socket != nullptr; }
    // Counts the starts: which fetch a reply belongs to.
    quint64 startCount() const { return m_startCount; }

    // On connect: escapes the spaces of requestPath (kept for later fetches) and sends the request.
    void sendRequest();
    // A data event: reads the waiting bytes onto the reply buffer, at most
    // HttpProtocol::kMaxReadPerEvent (the rest comes as another event), and counts them. Returns the
    // progress bar's new value when the header end was seen in an earlier event and the bar takes
    // the share. A reply that would outgrow the size limit or whose header block outgrows
    // HttpProtocol::kMaxHeaderBytes fails the fetch; growth past the budget gives up the largest
    // replies in flight first.
    std::optional<int> receive(qint32 bytesTotal);
    // The same for bytes that arrived by other means than the socket, as one data event.
    std::optional<int> receiveBytes(QByteArrayView bytes);
    // At the server's close (or a picture stream's first picture): splits the reply at its header
    // end; replyBuffer keeps the body alone.
    FinishedReply finish();
    // The body as it was loaded (de-chunked), kept as the reply buffer in place of the one received.
    void keepBody(const QByteArray &body) { m_replyBuffer = body; }

    const QString &hostName() const { return m_target.hostName; }
    // The address the last connection went to carried a user name or password.
    bool carriesCredentials() const { return m_target.hasCredentials(); }
    const QString &requestPath() const { return m_target.requestPath; }
    const QByteArray &replyBuffer() const { return m_replyBuffer; }
    qint32 bytesReceived() const { return m_bytesReceived; }
    bool headerDone() const { return m_headerDone; }
    qint32 contentLength() const { return m_contentLength; }

    // How long the fetch may receive nothing new before it fails, at most HttpProtocol::kMaxStall
    // (from the next data or start on).
    void setStallLimit(std::chrono::milliseconds limit);
    // Certificate authorities trusted besides the system's. For tests, which make their own.
    void setExtraCaCertificates(const QList<QSslCertificate> &certificates);
    // Tests lower the size limit to avoid sending the full amount.
    void setReplySizeLimit(qsizetype bytes) { m_replySizeLimit = bytes; }
    // The budget this fetch's reply shares with the other slots' replies (null: none). It must
    // outlive the fetch or be unset first.
    void setReplyBudget(ReplyBudget *budget);

signals:
    void connected();
    void dataArrived(qint32 bytesTotal);
    void replyFinished();
    // The fetch ended without a reply to handle; the slot keeps what it shows.
    void failed(const FetchOutcome &outcome);

private:
    // The camera's account a challenge was answered for, with the state Digest keeps per slot.
    struct AuthSession
    {
        QString origin; // scheme, host in lower case and port: the challenge holds there only
        QString userName;
        QString password;
        AuthChallenge challenge; // Scheme::None until the camera has asked
        quint32 nc = 0;
        QByteArray cnonce;
    };

    void connectTo(const CamAddress &target);
    void resetReply();
    void detachSocket();
    void fail(FetchOutcome::Kind kind, const QString &detail = {});
    void fail(const FetchOutcome &outcome);
    void onSocketError(QSslSocket *socket, QAbstractSocket::SocketError error);
    void onDisconnected(QSslSocket *socket);
    void onStalled();
    bool fits(qint64 moreBytes) const;
    // Gives up the replies the budget names so this one can grow by moreBytes; false when this
    // fetch was one of them.
    bool makeRoom(qint64 moreBytes);
    void recordHeld(qsizetype bytes);
    std::optional<int> countAndScan(qint32 bytesTotal);
    bool answerHeader(); // redirect or challenge: true when a new connection took over
    void completeWhenWhole();
    // After the data event's own work (the progress bar), as at the server's close.
    void finishSoon();
    // A picture stream's reply: true when the header names one (its reader then takes the body).
    bool beginStream();
    // The stream's next bytes; a picture ends the reply, a stream that gives none fails it.
    void feedStream(QByteArrayView bytes);
    void endStream();
    // The bytes the reply holds now, for the budget: the buffer, and a stream reader's part.
    qsizetype heldBytes() const;
    // While the body arrives as the shown body's bytes, they are compared and not stored.
    void matchShownBody();
    // The body's next bytes, stored or compared; false when the fetch was given up meanwhile.
    bool takeBody(QByteArrayView bytes);
    // What the body holds so far, stored or matched.
    qsizetype bodyLength() const;
    QByteArray authorization();
    void adoptChallenge(const AuthChallenge &challenge);
    QString stallSeconds() const;

    quint64 m_startCount = 0;
    QSslSocket *m_socket = nullptr; // the current connection; null between fetches
    CamAddress m_target; // where the current connection goes
    QByteArray m_replyBuffer;
    qint32 m_bytesReceived = 0;
    bool m_headerDone = false;
    qint32 m_contentLength = 0;
    qsizetype m_headerEnd = -1; // where the blank line starts, once seen
    std::optional<qint64> m_declaredBodyLength; // a valid Content-Length, once the header is seen
    QByteArray m_shownBody; // the body of the picture the slot shows, during a fetch
    std::optional<qsizetype> m_matched; // while the body so far is the shown body's start: its length
    HeaderEndScanner m_headerScan;
    std::unique_ptr<MultipartReader> m_stream; // while a picture stream's body is read
    qint64 m_streamBytes = 0; // of the stream's body read so far
    qsizetype m_replySizeLimit = kMaxReplyBytes;
    ReplyBudget *m_budget = nullptr;

    quint64 m_generation = 0; // counts abandoned fetches; a late queued completion checks it
    int m_redirects = 0; // followed in this fetch
    int m_challengesAnswered = 0; // in this fetch
    bool m_sentAuthorization = false; // on the current connection
    bool m_socketConnected = false; // the current connection was made
    bool m_replyEnded = false; // the server closed the current connection
    QList<QSslError> m_certificateErrors; // why the current connection's certificate was refused
    bool m_outdatedTls = false; // the current connection's server offered only refused TLS versions
    AuthSession m_auth;
    QTimer *m_stallTimer = nullptr;
    std::chrono::milliseconds m_stallLimit = HttpProtocol::kMaxStall;
    QList<QSslCertificate> m_extraCas;
};

#pragma once

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QObject>

#include <functional>
#include <utility>

class QDateTime;
class QSslConfiguration;
class QTcpServer;
class QTcpSocket;

// How one request is answered: the bytes sent, how they are cut into writes, and how the
// connection ends. Used by the tests, the demo camera and the benchmark; loopback only.
struct CamReply
{
    enum class End {
        Close, // close after the last byte (the normal end of an HTTP/1.1 "Connection: close" reply)
        KeepOpen, // never close; the client has to give up
    };

    QByteArray bytes; // header block and body, exactly as sent
    QList<qsizetype> splitAt; // offsets at which a new write starts (ascending)
    int delayMs = 0; // pause before each write after the first (with 0 the pieces
                     // are still separate writes, but may arrive together)
    qsizetype closeAfter = -1; // when >= 0: send only this many bytes, then close early
    End end = End::Close;
    // When set, the reply is an endless stream: after the bytes, the connection stays open and
    // gets next()'s bytes every streamIntervalMs until the client closes it. A client that does
    // not read gets nothing more once kMaxStreamBacklog bytes wait for it.
    std::function<QByteArray()> next;
    int streamIntervalMs = 1000;
};

// A small HTTP server for camera pictures on a loopback address. Routes map request paths
// (the text between "GET " and " HTTP/") to replies; an unknown path gets a 404 HTML page.
class CamServer : public QObject
{
    Q_OBJECT

public:
    using Handler = std::function<CamReply(const QByteArray &request)>;

    explicit CamServer(QObject *parent = nullptr);
    ~CamServer() override;

    bool listen(const QHostAddress &address = QHostAddress::LocalHost, quint16 port = 0);
    // The same over TLS, with the configuration's certificate and key.
    bool listenSecure(const QSslConfiguration &configuration,
                      const QHostAddress &address = QHostAddress::LocalHost, quint16 port = 0);
    quint16 port() const;

    void setReply(const QByteArray &path, const CamReply &reply);
    void setHandler(const QByteArray &path, const Handler &handler);

    // Every complete request received so far (header block with its blank line), in order.
    const QList<QByteArray> &requests() const { return m_requests; }

    // A complete reply: status line, header lines, blank line, body; CR LF line ends.
    static QByteArray httpReply(const QByteArray &statusLine, const QList<QByteArray> &headerLines,
                                const QByteArray &body);

    // An HTTP date (RFC 1123, always GMT, English names), e.g. "Sun, 06 Nov 1994 08:49:37 GMT".
    static QByteArray httpDate(const QDateTime &time);

    // The path of a request: the text between "GET " and " HTTP/"; empty when there is none.
    static QByteArray requestPath(const QByteArray &request);

    // A request header block larger than this without its blank line is dropped with the connection.
    static constexpr qsizetype kMaxRequestBytes = qsizetype(64) * 1024;
    static constexpr qsizetype kMaxStreamBacklog = qsizetype(4) * 1024 * 1024;

signals:
    void requestReceived(const QByteArray &request);

private:
    void onNewConnection();
    void onReadyRead(QTcpSocket *socket);
    void sendReply(QTcpSocket *socket, const CamReply &reply);
    void writeChunk(QTcpSocket *socket, QByteArray bytes, QList<qsizetype> cuts, int index, int delayMs,
                    bool closeAtEnd);
    void startStream(QTcpSocket *socket, const std::function<QByteArray()> &next, int intervalMs);

    QTcpServer *m_server = nullptr;
    QList<QByteArray> m_requests;
    QHash<QByteArray, Handler> m_handlers;
    QHash<QTcpSocket *, QByteArray> m_pending; // request bytes of connections not yet answered
    // Streams to start once their reply's bytes are written.
    QHash<QTcpSocket *, std::pair<std::function<QByteArray()>, int>> m_streams;
};

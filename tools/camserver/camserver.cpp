#include "camserver/camserver.h"

#include <QDateTime>
#include <QSslServer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>
#include <utility>

namespace {
const QByteArray kHeaderEnd = QByteArrayLiteral("\r\n\r\n");
const QByteArray kCrLf = QByteArrayLiteral("\r\n");

QByteArray notFoundReply()
{
    const QByteArray body = QByteArrayLiteral("<html><head><title>404 Not Found</title></head>"
                                              "<body><h1>Not Found</h1></body></html>\r\n");
    return CamServer::httpReply(QByteArrayLiteral("HTTP/1.1 404 Not Found"),
                                {QByteArrayLiteral("Content-Type: text/html"),
                                 "Content-Length: " + QByteArray::number(body.size()),
                                 QByteArrayLiteral("Connection: close")},
                                body);
}
} // namespace

CamServer::CamServer(QObject *parent)
    : QObject(parent)
    , m_server(new QTcpServer(this))
{
    connect(m_server, &QTcpServer::newConnection, this, &CamServer::onNewConnection);
}

CamServer::~CamServer() = default;

bool CamServer::listen(const QHostAddress &address, quint16 port)
{
    return m_server->listen(address, port);
}

bool CamServer::listenSecure(const QSslConfiguration &configuration, const QHostAddress &address,
                             quint16 port)
{
    auto *server = new QSslServer(this);
    server->setSslConfiguration(configuration);
    delete std::exchange(m_server, server);
    // Connections are pending once their handshake is done.
    connect(server, &QTcpServer::pendingConnectionAvailable, this, &CamServer::onNewConnection);
    return server->listen(address, port);
}

quint16 CamServer::port() const
{
    return m_server->serverPort();
}

void CamServer::setReply(const QByteArray &path, const CamReply &reply)
{
    setHandler(path, [reply](const QByteArray &) { return reply; });
}

void CamServer::setHandler(const QByteArray &path, const Handler &handler)
{
    m_handlers.insert(path, handler);
}

QByteArray CamServer::httpReply(const QByteArray &statusLine, const QList<QByteArray> &headerLines,
                                const QByteArray &body)
{
    QByteArray out = statusLine + kCrLf;
    for (const QByteArray &line : headerLines)
        out += line + kCrLf;
    out += kCrLf;
    out += body;
    return out;
}

QByteArray CamServer::httpDate(const QDateTime &time)
{
    static const char *const days[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
    static const char *const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const QDateTime utc = time.toUTC();
    const QDate d = utc.date();
    const QTime t = utc.time();
    return QByteArray(days[d.dayOfWeek() - 1]) + ", " + QByteArray::number(d.day()).rightJustified(2, '0') +
        ' ' + months[d.month() - 1] + ' ' + QByteArray::number(d.year()).rightJustified(4, '0') + ' ' +
        t.toString(QStringLiteral("HH:mm:ss")).toLatin1() + " GMT";
}

QByteArray CamServer::requestPath(const QByteArray &request)
{
    static const QByteArray get = QByteArrayLiteral("GET ");
    static const QByteArray version = QByteArrayLiteral(" HTTP/");
    if (!request.startsWith(get))
        return {};
    const qsizetype end = request.indexOf(version, get.size());
    if (end < 0)
        return {};
    return request.mid(get.size(), end - get.size());
}

void CamServer::onNewConnection()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        socket->setParent(this);
        m_pending.insert(socket, {});
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            m_pending.remove(socket);
            m_streams.remove(socket);
            socket->deleteLater();
        });
    }
}

void CamServer::onReadyRead(QTcpSocket *socket)
{
    const QByteArray data = socket->readAll();
    auto it = m_pending.find(socket);
    if (it == m_pending.end())
        return; // answered already: one request per connection, later bytes are ignored

    it->append(data);
    const qsizetype end = it->indexOf(kHeaderEnd);
    if (end < 0) {
        if (it->size() > kMaxRequestBytes) {
            m_pending.erase(it);
            socket->abort();
            socket->deleteLater();
        }
        return;
    }

    const QByteArray request = it->left(end + kHeaderEnd.size());
    m_pending.erase(it);
    m_requests.append(request);
    emit requestReceived(request);

    const auto handler = m_handlers.constFind(requestPath(request));
    if (handler == m_handlers.constEnd()) {
        CamReply reply;
        reply.bytes = notFoundReply();
        sendReply(socket, reply);
    } else {
        sendReply(socket, (*handler)(request));
    }
}

void CamServer::sendReply(QTcpSocket *socket, const CamReply &reply)
{
    const qsizetype limit =
        reply.closeAfter >= 0 ? std::min(reply.closeAfter, reply.bytes.size()) : reply.bytes.size();
    QList<qsizetype> cuts{0};
    for (qsizetype at : reply.splitAt) {
        if (at > cuts.last() && at < limit)
            cuts.append(at);
    }
    cuts.append(limit);
    const bool streaming = reply.next && reply.closeAfter < 0;
    if (streaming)
        m_streams.insert(socket, {reply.next, std::max(reply.streamIntervalMs, 1)});
    const bool closeAtEnd = !streaming && (reply.closeAfter >= 0 || reply.end == CamReply::End::Close);
    writeChunk(socket, reply.bytes.left(limit), cuts, 0, std::max(reply.delayMs, 0), closeAtEnd);
}

// Writes the bytes between cuts[index] and cuts[index + 1], then schedules the next piece.
void CamServer::writeChunk(QTcpSocket *socket, QByteArray bytes, QList<qsizetype> cuts, int index,
                           int delayMs, bool closeAtEnd)
{
    if (socket->state() != QAbstractSocket::ConnectedState)
        return;
    const qsizetype from = cuts.at(index);
    const qsizetype to = cuts.at(index + 1);
    if (to > from)
        socket->write(bytes.constData() + from, to - from);
    socket->flush();

    if (index + 2 < cuts.size()) {
        // The socket is the timer's context: a connection gone meanwhile cancels the rest.
        QTimer::singleShot(delayMs, socket,
                           [this, socket, bytes = std::move(bytes), cuts = std::move(cuts), index, delayMs,
                            closeAtEnd]() mutable {
                               writeChunk(socket, std::move(bytes), std::move(cuts), index + 1, delayMs,
                                          closeAtEnd);
                           });
        return;
    }
    if (closeAtEnd)
        socket->disconnectFromHost(); // sends what is still buffered, then closes
    const auto stream = m_streams.constFind(socket);
    if (stream != m_streams.constEnd())
        startStream(socket, stream->first, stream->second);
}

void CamServer::startStream(QTcpSocket *socket, const std::function<QByteArray()> &next, int intervalMs)
{
    m_streams.remove(socket);
    auto *timer = new QTimer(socket); // goes with the connection
    connect(timer, &QTimer::timeout, socket, [socket, next] {
        if (socket->state() == QAbstractSocket::ConnectedState && socket->bytesToWrite() < kMaxStreamBacklog)
            socket->write(next());
    });
    timer->start(intervalMs);
}

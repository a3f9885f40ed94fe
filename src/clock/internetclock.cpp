#include "clock/internetclock.h"

#include "clock/daytimereply.h"

#include <QTcpSocket>

#include <algorithm>
#include <limits>
#include <utility>

namespace {

struct DaytimeServer
{
    QString host = QString::fromLatin1(InternetClock::kTimeServerHost);
    quint16 port = InternetClock::kDaytimePort;
};

DaytimeServer &defaultServer()
{
    static DaytimeServer server;
    return server;
}

} // namespace

void InternetClock::setDefaultServer(const QString &host, quint16 port)
{
    defaultServer() = {host, port};
}

InternetClock::InternetClock(QObject *parent)
    : QObject(parent)
    , m_host(defaultServer().host)
    , m_port(defaultServer().port)
{
    m_started.start();
    m_now = [this] { return m_started.elapsed(); };
}

InternetClock::~InternetClock()
{
    abandonQuery();
}

void InternetClock::setServer(const QString &host, quint16 port)
{
    m_host = host;
    m_port = port;
}

void InternetClock::setMonotonicClock(MonotonicClock clock)
{
    m_now = std::move(clock);
}

void InternetClock::StartTimeQuery()
{
    const qint64 now = m_now();
    advanceLabel(now);
    if (m_lastQueryStart && now >= *m_lastQueryStart && now - *m_lastQueryStart < kQueryIntervalMs)
        return;
    m_lastQueryStart = now;

    abandonQuery(); // a query still under way is replaced; its reply never shows
    auto *socket = new QTcpSocket(this);
    socket->setObjectName(QStringLiteral("objWinsock"));
    socket->setReadBufferSize(kMaxReplyBytes);
    m_objWinsock = socket;
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
        const qint64 waiting = std::min<qint64>(socket->bytesAvailable(), std::numeric_limits<qint32>::max());
        objWinsock_DataArrival(static_cast<qint32>(waiting));
    });
    connect(socket, &QTcpSocket::disconnected, this, [this, socket] { onDisconnected(socket); });
    connect(socket, &QTcpSocket::errorOccurred, this, [this, socket](QAbstractSocket::SocketError error) {
        // The server's close comes as an error too; the disconnect that follows ends the query.
        if (error != QAbstractSocket::RemoteHostClosedError && m_objWinsock == socket)
            abandonQuery();
    });
    // Nothing is sent: the server answers one line and closes the connection.
    socket->connectToHost(m_host, m_port);
}

void InternetClock::objWinsock_DataArrival(qint32 bytesTotal)
{
    if (m_objWinsock == nullptr || bytesTotal <= 0)
        return;
    const QByteArray text = m_objWinsock->read(std::min<qint64>(bytesTotal, kMaxReplyBytes));
    const DaytimeReply reply = ParseDaytimeReply(text);
    if (reply.status != DaytimeReply::Status::Ok)
        return;
    m_lastReply = reply.utc;
    m_lastReplyAt = m_now();
    setLabel(DaytimeLabelText(m_lastReply));
}

void InternetClock::objWinsock_Close()
{
    abandonQuery();
}

void InternetClock::onDisconnected(QTcpSocket *socket)
{
    if (m_objWinsock != socket)
        return;
    // Bytes that came with the server's close are one more arrival.
    if (socket->bytesAvailable() > 0) {
        const qint64 waiting = std::min<qint64>(socket->bytesAvailable(), std::numeric_limits<qint32>::max());
        objWinsock_DataArrival(static_cast<qint32>(waiting));
    }
    objWinsock_Close();
}

void InternetClock::setLabel(const QString &text)
{
    if (text == m_lblTime)
        return;
    m_lblTime = text;
    emit lblTimeChanged(m_lblTime);
}

void InternetClock::advanceLabel(qint64 now)
{
    if (!m_lastReply.isValid() || now < m_lastReplyAt)
        return;
    setLabel(DaytimeLabelText(m_lastReply.addMSecs(now - m_lastReplyAt)));
}

void InternetClock::abandonQuery()
{
    QTcpSocket *socket = std::exchange(m_objWinsock, nullptr);
    if (socket == nullptr)
        return;
    socket->disconnect(this);
    socket->abort();
    socket->setObjectName(QString()); // only the running query's socket is "objWinsock"
    socket->deleteLater();
}

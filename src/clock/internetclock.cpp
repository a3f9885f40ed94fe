#include "clock/internetclock.h"

#include "clock/daytimereply.h"

#include <QTcpSocket>
#include <QTimer>

#include <algorithm>
#include <limits>
#include <utility>

namespace {

constexpr qint64 kSecondMs = 1000;
// timSecond may come this much before its moment and still count as on time.
constexpr qint64 kEarlyMs = 5;

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
    m_timSecond = new QTimer(this);
    m_timSecond->setObjectName(QStringLiteral("timSecond"));
    m_timSecond->setSingleShot(true);
    m_timSecond->setTimerType(Qt::PreciseTimer);
    connect(m_timSecond, &QTimer::timeout, this, &InternetClock::onSecondTimer);
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
    m_lastAskedAt = now;
    advanceLabel(now);
    armSecondTimer(now);
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
    const qint64 now = m_now();
    takeReply(reply.utc, now);
    advanceLabel(now);
    armSecondTimer(now);
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

QDateTime InternetClock::runningTime(qint64 now) const
{
    return m_lastReply.addMSecs(now - m_lastReplyAt);
}

void InternetClock::takeReply(const QDateTime &utc, qint64 now)
{
    // The reply says the time lies within its second. A running time inside it stays as it
    // is; one outside is moved to the nearest moment inside.
    if (m_lastReply.isValid() && now >= m_lastReplyAt) {
        const QDateTime running = runningTime(now);
        if (running >= utc && running < utc.addMSecs(kSecondMs))
            return;
        m_lastReply = running < utc ? utc : utc.addMSecs(kSecondMs - 1);
    } else {
        m_lastReply = utc;
    }
    m_lastReplyAt = now;
}

void InternetClock::advanceLabel(qint64 now)
{
    if (!m_lastReply.isValid() || now < m_lastReplyAt)
        return;
    setLabel(DaytimeLabelText(runningTime(now)));
}

void InternetClock::armSecondTimer(qint64 now, qint64 from)
{
    if (!m_lastReply.isValid() || from < m_lastReplyAt || now - m_lastAskedAt >= kKeepCountingMs) {
        m_timSecond->stop();
        return;
    }
    m_secondDueAt = from + kSecondMs - runningTime(from).time().msec();
    m_timSecond->start(static_cast<int>(m_secondDueAt - now));
}

void InternetClock::onSecondTimer()
{
    const qint64 now = m_now();
    // Before its moment by the monotonic time (never by more than a few ms on a real clock):
    // wait for the rest.
    if (now < m_secondDueAt - kEarlyMs) {
        armSecondTimer(now);
        return;
    }
    const qint64 at = std::max(now, m_secondDueAt);
    advanceLabel(at);
    armSecondTimer(now, at);
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

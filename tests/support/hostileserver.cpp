#include "support/hostileserver.h"

#include <QMutexLocker>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <sys/socket.h>

#include <algorithm>
#include <memory>
#include <utility>

namespace {

const QByteArray kRequestEnd = QByteArrayLiteral("\r\n\r\n");
constexpr qint64 kMaxQueuedBytes = qint64(1) << 20; // the server's own memory stays small
constexpr qsizetype kFillerPiece = qsizetype(64) * 1024;
constexpr int kDripMs = 2;
constexpr int kPauseMs = 300;
constexpr int kResetDelayMs = 100; // lets the bytes reach the client before the reset

QByteArray requestPath(const QByteArray &request)
{
    const qsizetype start = request.indexOf(' ') + 1;
    const qsizetype end = request.indexOf(' ', start);
    return start > 0 && end > start ? request.mid(start, end - start) : QByteArray();
}

void endConnection(QTcpSocket *socket, const HostileBehaviour &behaviour)
{
    switch (behaviour.end) {
    case HostileBehaviour::End::Close:
        socket->disconnectFromHost(); // after what is still queued
        return;
    case HostileBehaviour::End::KeepOpen:
        return;
    case HostileBehaviour::End::Reset: {
        const auto reset = [socket] {
            const linger abortive{1, 0}; // close() then sends RST instead of FIN
            ::setsockopt(int(socket->socketDescriptor()), SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
            socket->abort();
        };
        socket->flush();
        QTimer::singleShot(kResetDelayMs, socket, reset);
        return;
    }
    case HostileBehaviour::End::Stream: {
        const QByteArray piece = behaviour.filler.repeated(kFillerPiece / behaviour.filler.size() + 1);
        // Below 0: no end.
        const auto left = std::make_shared<qint64>(behaviour.streamBytes);
        const auto topUp = [socket, piece, left] {
            while (*left != 0 && socket->state() == QAbstractSocket::ConnectedState &&
                   socket->bytesToWrite() < kMaxQueuedBytes) {
                const qint64 size = *left < 0 ? piece.size() : std::min<qint64>(*left, piece.size());
                socket->write(piece.constData(), size);
                if (*left > 0)
                    *left -= size;
            }
        };
        QObject::connect(socket, &QTcpSocket::bytesWritten, socket, topUp);
        topUp();
        return;
    }
    }
}

// Writes bytes one at a time, then ends the connection.
void drip(QTcpSocket *socket, const HostileBehaviour &behaviour)
{
    auto *timer = new QTimer(socket);
    timer->setInterval(kDripMs);
    QObject::connect(timer, &QTimer::timeout, socket,
                     [socket, timer, behaviour, sent = qsizetype(0)]() mutable {
                         if (sent < behaviour.bytes.size()) {
                             socket->write(behaviour.bytes.constData() + sent++, 1);
                             return;
                         }
                         timer->stop();
                         endConnection(socket, behaviour);
                     });
    timer->start();
}

} // namespace

HostileServer::HostileServer(QByteArray goodReply)
    : m_goodReply(std::move(goodReply))
    , m_context(new QObject)
{
    m_context->moveToThread(&m_thread);
}

HostileServer::~HostileServer()
{
    if (m_thread.isRunning()) {
        QMetaObject::invokeMethod(
            m_context, [this] { qDeleteAll(m_context->children()); }, Qt::BlockingQueuedConnection);
        m_thread.quit();
        m_thread.wait();
    }
    delete m_context;
}

void HostileServer::setBehaviour(const QByteArray &path, const HostileBehaviour &behaviour)
{
    m_behaviours.insert(path, behaviour);
}

bool HostileServer::listen()
{
    m_thread.setObjectName(QStringLiteral("hostileServer"));
    m_thread.start();
    QMetaObject::invokeMethod(
        m_context,
        [this] {
            auto *server = new QTcpServer(m_context);
            if (server->listen(QHostAddress::LocalHost)) {
                m_port = server->serverPort();
                serve(server);
            }
        },
        Qt::BlockingQueuedConnection);
    return m_port != 0;
}

int HostileServer::requestCount(const QByteArray &path) const
{
    const QMutexLocker lock(&m_countMutex);
    return m_counts.value(path);
}

void HostileServer::serve(QTcpServer *server)
{
    QObject::connect(server, &QTcpServer::newConnection, m_context, [this, server] {
        while (QTcpSocket *socket = server->nextPendingConnection()) {
            socket->setParent(m_context);
            auto request = std::make_shared<QByteArray>();
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, request] {
                if (request->endsWith(kRequestEnd)) {
                    socket->readAll(); // answered already
                    return;
                }
                request->append(socket->readAll());
                const qsizetype end = request->indexOf(kRequestEnd);
                if (end < 0)
                    return;
                request->truncate(end + kRequestEnd.size());
                answer(socket, requestPath(*request));
            });
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

void HostileServer::answer(QTcpSocket *socket, const QByteArray &path)
{
    int count = 0;
    {
        const QMutexLocker lock(&m_countMutex);
        count = ++m_counts[path];
    }
    HostileBehaviour behaviour;
    behaviour.bytes = m_goodReply;
    if (const auto it = m_behaviours.constFind(path); it != m_behaviours.constEnd() && count > it->goodFirst)
        behaviour = *it;

    switch (behaviour.pace) {
    case HostileBehaviour::Pace::AtOnce:
        socket->write(behaviour.bytes);
        endConnection(socket, behaviour);
        return;
    case HostileBehaviour::Pace::Drip:
        drip(socket, behaviour);
        return;
    case HostileBehaviour::Pace::Pause:
        socket->write(behaviour.bytes.first(behaviour.pauseAt));
        socket->flush();
        QTimer::singleShot(kPauseMs, socket, [socket, behaviour] {
            socket->write(behaviour.bytes.sliced(behaviour.pauseAt));
            endConnection(socket, behaviour);
        });
        return;
    }
}

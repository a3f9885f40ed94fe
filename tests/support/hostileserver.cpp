#include "support/hostileserver.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <sys/socket.h>

#include <algorithm>
#include <memory>
#include <utility>

namespace {

void endConnection(QTcpSocket *socket, const HostileBehaviour &behaviour)
{
    switch (behaviour.end) {
    case HostileBehaviour::End::Close:
        socket->disconnectFromHost(); // after what is still queued
        return;
    case HostileBehaviour::End::KeepOpen:
        return;
    case HostileBehaviour::End::Reset:
        socket->flush();
        QTimer::singleShot(100, socket, [socket] { // the bytes reach the client first
            const linger abortive{1, 0}; // close() then sends RST instead of FIN
            ::setsockopt(int(socket->socketDescriptor()), SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
            socket->abort();
        });
        return;
    case HostileBehaviour::End::Stream: {
        const QByteArray piece = behaviour.filler.repeated(65536 / behaviour.filler.size() + 1);
        const auto left = std::make_shared<qint64>(behaviour.streamBytes); // below 0: no end
        const auto topUp = [socket, piece, left] {
            while (*left != 0 && socket->state() == QAbstractSocket::ConnectedState &&
                   socket->bytesToWrite() < (1 << 20)) {
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

// Writes bytes from sent on, paced as the behaviour says, then ends the connection.
void send(QTcpSocket *socket, const HostileBehaviour &behaviour, qsizetype sent)
{
    const qsizetype step = behaviour.drip ? 1
        : sent < behaviour.pauseAt        ? behaviour.pauseAt
                                          : behaviour.bytes.size() - sent;
    socket->write(behaviour.bytes.sliced(sent, step));
    if (sent + step >= behaviour.bytes.size())
        return endConnection(socket, behaviour);
    socket->flush();
    QTimer::singleShot(behaviour.drip ? 2 : 300, socket, [=] { send(socket, behaviour, sent + step); });
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

bool HostileServer::listen()
{
    m_thread.start();
    QMetaObject::invokeMethod(
        m_context,
        [this] {
            auto *server = new QTcpServer(m_context);
            if (!server->listen(QHostAddress::LocalHost))
                return;
            m_port = server->serverPort();
            QObject::connect(server, &QTcpServer::newConnection, m_context, [this, server] {
                while (QTcpSocket *socket = server->nextPendingConnection()) {
                    socket->setParent(m_context);
                    auto request = std::make_shared<QByteArray>();
                    QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, request] {
                        if (request->endsWith("\r\n\r\n")) // answered already
                            return void(socket->readAll());
                        request->append(socket->readAll());
                        const qsizetype end = request->indexOf("\r\n\r\n");
                        if (end < 0)
                            return;
                        request->truncate(end + 4);
                        const qsizetype start = request->indexOf(' ') + 1;
                        answer(socket, request->mid(start, request->indexOf(' ', start) - start));
                    });
                    QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
                }
            });
        },
        Qt::BlockingQueuedConnection);
    return m_port != 0;
}

void HostileServer::answer(QTcpSocket *socket, const QByteArray &path)
{
    const HostileBehaviour good{m_goodReply};
    const bool first = !m_answered.contains(path);
    m_answered.insert(path);
    send(socket, first ? good : m_behaviours.value(path, good), 0);
}

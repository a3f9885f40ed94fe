#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QThread>

class QTcpSocket;

// How a hostile camera answers every request but its first (which gets the good reply): its bytes at
// once, a byte every 2 ms (drip), or those before pauseAt then the rest after 300 ms; then the end.
struct HostileBehaviour
{
    // Stream: filler follows, kept at about 1 MiB queued, forever or up to streamBytes then kept open.
    enum class End { Close, Reset, KeepOpen, Stream };

    QByteArray bytes{};
    bool drip = false;
    qsizetype pauseAt = 0;
    End end = End::Close;
    QByteArray filler{};
    qint64 streamBytes = -1;
};

// A loopback HTTP server on its own thread answering by the behaviour set for the request's path
// (the good reply when none is). Behaviours are set before listen().
class HostileServer
{
public:
    explicit HostileServer(QByteArray goodReply);
    ~HostileServer();

    void setBehaviour(const QByteArray &path, const HostileBehaviour &behaviour)
    {
        m_behaviours[path] = behaviour;
    }
    bool listen(); // on 127.0.0.1, a free port
    quint16 port() const { return m_port; }

private:
    void answer(QTcpSocket *socket, const QByteArray &path);

    const QByteArray m_goodReply;
    QHash<QByteArray, HostileBehaviour> m_behaviours;
    QThread m_thread;
    QObject *m_context = nullptr; // on m_thread, the parent of the listener and sockets
    quint16 m_port = 0;
    QSet<QByteArray> m_answered; // paths, on m_thread
};

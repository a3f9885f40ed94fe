#pragma once

#include <QByteArray>
#include <QHash>
#include <QMutex>
#include <QObject>
#include <QThread>

class QTcpServer;
class QTcpSocket;

// How a hostile camera answers a request: the bytes it sends, how it paces them and how the
// connection ends. Its first goodFirst requests get the server's good reply instead, so a slot
// can be seen to keep its picture.
struct HostileBehaviour
{
    enum class Pace {
        AtOnce, // one write
        Drip, // one byte a write, a few milliseconds apart
        Pause, // the bytes before pauseAt, then the rest a moment later
    };
    enum class End {
        Close, // after the last byte
        Reset, // a TCP reset once the bytes have gone out
        KeepOpen, // nothing more is sent, and the connection is never closed
        Stream, // filler follows, queued only while less than about 1 MiB waits: forever, or up to
                // streamBytes and then nothing more with the connection kept open
    };

    QByteArray bytes{};
    Pace pace = Pace::AtOnce;
    qsizetype pauseAt = 0;
    End end = End::Close;
    QByteArray filler{};
    int goodFirst = 0;
    qint64 streamBytes = -1;
};

// A loopback HTTP server on its own thread (a separate server, not sharing the window thread's
// event loop), answering each request by the behaviour set for its path. A path without one gets
// the good reply every time. Behaviours are set before listen().
class HostileServer
{
public:
    explicit HostileServer(QByteArray goodReply);
    ~HostileServer();
    HostileServer(const HostileServer &) = delete;
    HostileServer &operator=(const HostileServer &) = delete;

    void setBehaviour(const QByteArray &path, const HostileBehaviour &behaviour);
    bool listen(); // on 127.0.0.1, a free port
    quint16 port() const { return m_port; }
    // Requests received for path so far (any thread).
    int requestCount(const QByteArray &path) const;

private:
    void serve(QTcpServer *server);
    void answer(QTcpSocket *socket, const QByteArray &path);

    const QByteArray m_goodReply;
    QHash<QByteArray, HostileBehaviour> m_behaviours;
    QThread m_thread;
    QObject *m_context = nullptr; // lives on m_thread; the listening server and sockets hang from it
    quint16 m_port = 0;
    mutable QMutex m_countMutex;
    QHash<QByteArray, int> m_counts;
};

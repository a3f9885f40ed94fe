#pragma once

#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class QTcpSocket;

// The Internet clock: asks a public time server's Daytime service for the current time (UTC)
// and offers it as the text of the label lblTime ("<general date> GMT"). It has no timer:
// callers start queries, at most one every kQueryIntervalMs; in between, each call moves the
// shown time on from the last reply by the monotonic time passed since that reply arrived.
// Failures are quiet: the label keeps its text.
class InternetClock : public QObject
{
    Q_OBJECT

public:
    static constexpr char kTimeServerHost[] = "time.nist.gov";
    static constexpr quint16 kDaytimePort = 13;
    // Public time servers refuse clients that ask more often than this.
    static constexpr qint64 kQueryIntervalMs = 4000;
    // A reply is one short line; at most this many bytes wait in the socket at a time.
    static constexpr qint64 kMaxReplyBytes = 1024;

    // Milliseconds from any fixed start; never goes back.
    using MonotonicClock = std::function<qint64()>;

    explicit InternetClock(QObject *parent = nullptr);
    ~InternetClock() override;

    // The Daytime server to ask (tests point it at a loopback server).
    void setServer(const QString &host, quint16 port);
    // The server every clock made from now on asks; the demo run points it at its own loopback
    // service so that nothing leaves the machine.
    static void setDefaultServer(const QString &host, quint16 port);
    void setMonotonicClock(MonotonicClock clock);

    // The text last given to the label; empty until the first reply.
    QString lblTime() const { return m_lblTime; }

    // Starts one query when the last one started kQueryIntervalMs ago or more, replacing it if
    // it still runs; otherwise only advances the shown time.
    void StartTimeQuery();
    // Reads the waiting bytes (at most bytesTotal) as one reply; a reply that does not read as
    // a date and a time leaves the label as it is.
    void objWinsock_DataArrival(qint32 bytesTotal);
    // The server closed the connection: the query ends.
    void objWinsock_Close();

signals:
    void lblTimeChanged(const QString &text);

private:
    void setLabel(const QString &text);
    void advanceLabel(qint64 now);
    void onDisconnected(QTcpSocket *socket);
    // Closes the socket without any further event from it.
    void abandonQuery();

    QString m_host;
    quint16 m_port = kDaytimePort;
    QElapsedTimer m_started;
    MonotonicClock m_now;
    QTcpSocket *m_objWinsock = nullptr;
    std::optional<qint64> m_lastQueryStart;
    QDateTime m_lastReply; // UTC; invalid until the first reply
    qint64 m_lastReplyAt = 0;
    QString m_lblTime;
};

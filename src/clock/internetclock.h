#pragma once

#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class QTcpSocket;
class QTimer;

// The Internet clock: asks a public time server's Daytime service for the current time (UTC)
// and offers it as the text of the label lblTime ("<general date> GMT"). Callers start queries,
// at most one every kQueryIntervalMs. In between, the shown time runs on from the last reply by
// the monotonic time passed: the seconds change on the whole-second boundaries of that time
// (the single-shot timer "timSecond"), for as long as callers keep asking (kKeepCountingMs after
// the last call). A reply that agrees with the running time to the second leaves it alone, so
// every second lasts a second; one that does not sets it right. Failures are quiet: the label
// keeps its text.
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
    // The shown time stops running this long after the last StartTimeQuery (the detail view's
    // slot asks every second while the view runs).
    static constexpr qint64 kKeepCountingMs = 3000;

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
    // it still runs; in any case keeps the shown time running.
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
    // The running time at a monotonic moment; valid once a reply came.
    QDateTime runningTime(qint64 now) const;
    // Takes a reply's whole second, read at now, into the running time.
    void takeReply(const QDateTime &utc, qint64 now);
    // Sets timSecond to the next whole second of the running time after from (now unless the
    // timer came a little early), or stops it when no one asks any more.
    void armSecondTimer(qint64 now, qint64 from);
    void armSecondTimer(qint64 now) { armSecondTimer(now, now); }
    void onSecondTimer();
    void onDisconnected(QTcpSocket *socket);
    // Closes the socket without any further event from it.
    void abandonQuery();

    QString m_host;
    quint16 m_port = kDaytimePort;
    QElapsedTimer m_started;
    MonotonicClock m_now;
    QTcpSocket *m_objWinsock = nullptr;
    std::optional<qint64> m_lastQueryStart;
    QDateTime m_lastReply; // UTC; invalid until the first reply. The running time's base,
    qint64 m_lastReplyAt = 0; // at this monotonic moment
    QTimer *m_timSecond = nullptr;
    qint64 m_secondDueAt = 0; // the monotonic moment timSecond was set for
    qint64 m_lastAskedAt = 0; // the last StartTimeQuery
    QString m_lblTime;
};

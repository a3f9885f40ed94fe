#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QMutex>
#include <QMutexLocker>
#include <QProcess>
#include <QStringList>

// A session bus of this test only: a dbus-daemon started on a private address, made the
// process's session bus. Start it before anything asks for the session bus.
class PrivateSessionBus
{
public:
    PrivateSessionBus()
    {
        m_daemon.start(QStringLiteral("dbus-daemon"), {"--session", "--nofork", "--print-address"});
        if (m_daemon.waitForReadyRead(10000))
            m_address = QString::fromLatin1(m_daemon.readLine().trimmed());
        if (!m_address.isEmpty())
            qputenv("DBUS_SESSION_BUS_ADDRESS", m_address.toLatin1());
    }
    ~PrivateSessionBus()
    {
        m_daemon.kill();
        m_daemon.waitForFinished();
    }
    const QString &address() const { return m_address; }

private:
    QProcess m_daemon;
    QString m_address;
};

// A stand-in for the org.freedesktop.ScreenSaver service on its own bus connection: notes every
// call ("Inhibit" answered with the next cookie, "UnInhibit <cookie>", any other by its name).
class ScreenSaverStandIn : public QDBusVirtualObject
{
public:
    static constexpr uint kFirstCookie = 41;

    explicit ScreenSaverStandIn(const QString &address)
        : m_bus(QDBusConnection::connectToBus(address, QStringLiteral("screensaver-standin")))
    { }
    ~ScreenSaverStandIn() override { QDBusConnection::disconnectFromBus(m_bus.name()); }

    bool start()
    {
        return m_bus.registerVirtualObject(QStringLiteral("/org/freedesktop/ScreenSaver"), this) &&
            m_bus.registerService(QStringLiteral("org.freedesktop.ScreenSaver"));
    }

    QStringList calls() const
    {
        const QMutexLocker locker(&m_lock);
        return m_calls;
    }

    bool handleMessage(const QDBusMessage &message, const QDBusConnection &connection) override
    {
        const QMutexLocker locker(&m_lock);
        if (message.member() == QLatin1String("Inhibit")) {
            m_calls << QStringLiteral("Inhibit");
            connection.send(message.createReply(QVariant::fromValue(m_nextCookie++)));
            return true;
        }
        if (message.member() == QLatin1String("UnInhibit")) {
            m_calls << QStringLiteral("UnInhibit %1").arg(message.arguments().value(0).toUInt());
            connection.send(message.createReply());
            return true;
        }
        m_calls << message.member();
        connection.send(message.createReply());
        return true;
    }
    QString introspect(const QString &) const override { return {}; }

private:
    QDBusConnection m_bus;
    mutable QMutex m_lock;
    QStringList m_calls;
    uint m_nextCookie = kFirstCookie;
};

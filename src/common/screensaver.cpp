#include "common/screensaver.h"

#include <QtGlobal>

#ifdef Q_OS_WIN

#include <windows.h>

bool SetScreenSaverActive(bool active)
{
    // Not written to the user's profile, no change message broadcast.
    return SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, active ? 1 : 0, nullptr, 0) > 0;
}

#else

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

#include <optional>
#include <utility>

namespace {

constexpr char kService[] = "org.freedesktop.ScreenSaver";
constexpr char kPath[] = "/org/freedesktop/ScreenSaver";
constexpr char kReason[] = "full-screen camera view";

// One inhibition at most: wanted, asked for (answer pending), or held by its cookie.
struct Inhibition
{
    bool wanted = false;
    bool pending = false;
    std::optional<uint> cookie;
};

Inhibition &inhibition()
{
    static Inhibition state;
    return state;
}

QDBusMessage screenSaverCall(const char *method)
{
    return QDBusMessage::createMethodCall(QLatin1String(kService), QLatin1String(kPath),
                                          QLatin1String(kService), QLatin1String(method));
}

void release(const QDBusConnection &bus, uint cookie)
{
    QDBusMessage call = screenSaverCall("UnInhibit");
    call << cookie;
    bus.send(call); // no answer expected
}

void requestInhibition(const QDBusConnection &bus)
{
    QDBusMessage call = screenSaverCall("Inhibit");
    call << QCoreApplication::applicationName() << QLatin1String(kReason);
    inhibition().pending = true;
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher, [bus](QDBusPendingCallWatcher *w) {
        w->deleteLater();
        Inhibition &state = inhibition();
        state.pending = false;
        const QDBusPendingReply<uint> reply = *w;
        if (reply.isError()) // no such service: quietly nothing
            return;
        if (state.wanted)
            state.cookie = reply.value();
        else
            release(bus, reply.value()); // released while the answer was on its way
    });
}

} // namespace

bool SetScreenSaverActive(bool active)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    Inhibition &state = inhibition();
    state.wanted = !active;
    if (active) {
        if (state.cookie)
            release(bus, *std::exchange(state.cookie, std::nullopt));
    } else if (!state.cookie && !state.pending) {
        requestInhibition(bus);
    }
    return true;
}

#endif

#include "common/screensaver.h"

#include <QtGlobal>

namespace {

// The holders that keep the screen saver away, one bit each.
unsigned &holdersAway()
{
    static unsigned holders = 0;
    return holders;
}

// Notes a holder's wish; returns whether any holder keeps the screen saver away now.
bool noteHolder(bool active, ScreenSaverHolder holder)
{
    const unsigned bit = 1U << static_cast<unsigned>(holder);
    holdersAway() = active ? (holdersAway() & ~bit) : (holdersAway() | bit);
    return holdersAway() != 0;
}

} // namespace

#ifdef Q_OS_WIN

#include <windows.h>

bool SetScreenSaverActive(bool active, ScreenSaverHolder holder)
{
    // Not written to the user's profile, no change message broadcast.
    const bool away = noteHolder(active, holder);
    return SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, away ? 0 : 1, nullptr, 0) > 0;
}

bool screenSaverInhibitionHeld()
{
    return holdersAway() != 0;
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
constexpr char kReason[] = "camera pictures on the whole screen";

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

bool SetScreenSaverActive(bool active, ScreenSaverHolder holder)
{
    const bool away = noteHolder(active, holder);
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    Inhibition &state = inhibition();
    state.wanted = away;
    if (!away) {
        if (state.cookie)
            release(bus, *std::exchange(state.cookie, std::nullopt));
    } else if (!state.cookie && !state.pending) {
        requestInhibition(bus);
    }
    return true;
}

bool screenSaverInhibitionHeld()
{
    return inhibition().cookie.has_value();
}

#endif

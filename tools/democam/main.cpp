// democam [PORT]: serves demo camera pictures on 127.0.0.1:PORT, and the time (Daytime service)
// on 127.0.0.1:PORT+1 for the viewer's clock, until SIGTERM or SIGINT.
#include "democam/democam.h"

#include <QDateTime>
#include <QGuiApplication>
#include <QSocketNotifier>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTextStream>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {
constexpr quint16 kDefaultPort = 47080;
int g_signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[1], &byte, 1); // async-signal-safe
}

// SIGTERM and SIGINT end the event loop through a socket pair, so the server closes cleanly.
bool quitOnSignals(QCoreApplication &app)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) != 0)
        return false;
    auto *notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [notifier, &app] {
        notifier->setEnabled(false);
        char byte = 0;
        [[maybe_unused]] const ssize_t n = ::read(g_signalPipe[0], &byte, 1);
        app.quit();
    });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    return ::sigaction(SIGTERM, &action, nullptr) == 0 && ::sigaction(SIGINT, &action, nullptr) == 0;
}
// One line in the public time servers' Daytime format, then the connection closes.
void answerDaytime(QTcpServer &server)
{
    while (QTcpSocket *socket = server.nextPendingConnection()) {
        const QDateTime now = QDateTime::currentDateTimeUtc();
        const QByteArray line = "\n00000 " + now.toString(QStringLiteral("yy-MM-dd hh:mm:ss")).toLatin1() +
            " 00 0 0 0.0 UTC(NIST) * \n";
        socket->write(line);
        QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        socket->disconnectFromHost();
    }
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen"); // draws pictures only, never a window
    QGuiApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);

    quint16 port = kDefaultPort;
    if (app.arguments().size() > 1) {
        bool ok = false;
        const uint value = app.arguments().at(1).toUInt(&ok);
        if (!ok || value > 65535) {
            err << "democam: not a port number: " << app.arguments().at(1) << "\n";
            return 2;
        }
        port = static_cast<quint16>(value);
    }

    if (!quitOnSignals(app)) {
        err << "democam: cannot install signal handlers\n";
        return 1;
    }
    DemoCam cam;
    if (!cam.listen(port)) {
        err << "democam: cannot listen on 127.0.0.1:" << port << "\n";
        return 1;
    }
    QTcpServer daytime;
    QObject::connect(&daytime, &QTcpServer::newConnection, &daytime, [&daytime] { answerDaytime(daytime); });
    if (cam.port() < 65535 && daytime.listen(QHostAddress::LocalHost, static_cast<quint16>(cam.port() + 1)))
        out << "democam: the time on 127.0.0.1:" << daytime.serverPort() << " (Daytime)\n";
    out << "democam: listening on http://127.0.0.1:" << cam.port()
        << "/ (clock.jpg, still.jpg, page.html, big.jpg, stream.mjpg)\n";
    out.flush();
    const int rc = app.exec();
    out << "democam: stopped\n";
    return rc;
}

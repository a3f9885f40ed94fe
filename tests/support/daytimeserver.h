#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

// A Daytime server on the loopback address, on a port the system picks. By default every
// connection gets `reply` at once and is closed; with `hold` set connections wait until the test
// answers them with send().
class DaytimeServer
{
public:
    DaytimeServer()
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection()) {
                connections.append(socket);
                if (!hold)
                    send(static_cast<int>(connections.size()) - 1, reply);
            }
        });
    }

    quint16 port() const { return m_server.serverPort(); }
    bool listening() const { return m_server.isListening(); }
    // From now on connections to the port are refused.
    void refuse() { m_server.close(); }

    // Writes bytes to connection n, then closes it unless keepOpen.
    void send(int n, const QByteArray &bytes, bool keepOpen = false)
    {
        QTcpSocket *socket = connections.value(n);
        if (socket == nullptr)
            return;
        socket->write(bytes);
        socket->flush();
        if (!keepOpen)
            socket->disconnectFromHost();
    }

    QByteArray reply = "\n60110 23-06-15 12:34:56 50 0 0 722.3 UTC(NIST) * \n";
    bool hold = false;
    QList<QPointer<QTcpSocket>> connections; // in the order they came

private:
    QTcpServer m_server;
};

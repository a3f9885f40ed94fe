#include "slots/slotfetch.h"

#include "slots/camaddress.h"
#include "slots/httprequest.h"
#include "slots/replyheader.h"

#include <QTcpSocket>

#include <algorithm>
#include <limits>
#include <utility>

namespace {

qint32 clampedCount(qint64 bytes)
{
    return static_cast<qint32>(
        std::clamp<qint64>(bytes, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()));
}

} // namespace

SlotFetch::SlotFetch(QObject *parent)
    : QObject(parent)
{
    setObjectName(QStringLiteral("wsCam"));
}

SlotFetch::~SlotFetch()
{
    abandon();
}

void SlotFetch::abandon()
{
    m_replyBuffer = QByteArray();
    QTcpSocket *socket = std::exchange(m_socket, nullptr);
    if (socket == nullptr)
        return;
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
}

bool SlotFetch::start(const QString &address)
{
    abandon();
    ++m_startCount;
    const AddressSplit split = splitAddress(address);
    if (split.status != AddressSplit::Status::Ok)
        return false;
    m_hostName = split.address.hostName;
    m_requestPath = split.address.requestPath;
    m_port = split.address.port;
    m_hostHeader = split.address.hostHeader;

    m_headerDone = false;
    m_contentLength = 0;
    m_bytesReceived = 0;
    m_headerEnd = -1;
    m_headerScan.reset();

    const QString host = split.address.connectHost();
    if (host.isEmpty())
        return true; // nothing to connect to; the next start tries again
    auto *socket = new QTcpSocket(this);
    m_socket = socket;
    connect(socket, &QTcpSocket::connected, this, &SlotFetch::connected);
    connect(socket, &QTcpSocket::readyRead, this,
            [this, socket] { emit dataArrived(clampedCount(socket->bytesAvailable())); });
    connect(socket, &QTcpSocket::disconnected, this, [this, socket] { onDisconnected(socket); });
    connect(socket, &QTcpSocket::errorOccurred, this, [this, socket](QAbstractSocket::SocketError error) {
        // The server's close is reported as an error too; the disconnect that follows handles
        // it. Any other error (refused, unresolvable, reset, ...) is a failed fetch.
        if (error != QAbstractSocket::RemoteHostClosedError && m_socket == socket)
            abandon();
    });
    socket->connectToHost(host, m_port);
    return true;
}

void SlotFetch::sendRequest()
{
    if (m_requestPath.contains(QLatin1Char(' ')))
        m_requestPath = escapeSpaces(m_requestPath);
    if (m_socket != nullptr)
        m_socket->write(buildRequest(m_requestPath, m_hostHeader));
}

bool SlotFetch::fits(qint64 moreBytes) const
{
    return moreBytes <= m_replySizeLimit - m_replyBuffer.size();
}

std::optional<int> SlotFetch::receive(qint32 bytesTotal)
{
    if (m_socket == nullptr)
        return std::nullopt;
    const qint64 waiting = m_socket->bytesAvailable();
    if (!fits(waiting)) {
        abandon();
        return std::nullopt;
    }
    // Read straight into the reply's own storage: one copy per byte.
    const qsizetype before = m_replyBuffer.size();
    m_replyBuffer.resize(before + waiting);
    const qint64 got = m_socket->read(m_replyBuffer.data() + before, waiting);
    m_replyBuffer.resize(before + std::max<qint64>(got, 0));
    return countAndScan(bytesTotal);
}

std::optional<int> SlotFetch::receiveBytes(QByteArrayView bytes)
{
    if (!fits(bytes.size())) {
        abandon();
        return std::nullopt;
    }
    m_replyBuffer.append(bytes);
    return countAndScan(clampedCount(bytes.size()));
}

std::optional<int> SlotFetch::countAndScan(qint32 bytesTotal)
{
    m_bytesReceived = clampedCount(static_cast<qint64>(m_bytesReceived) + bytesTotal);
    if (m_headerDone)
        return progressValue(m_bytesReceived, m_contentLength);
    const qsizetype headerEnd = m_headerScan.scan(m_replyBuffer);
    if (headerEnd < 0)
        return std::nullopt;
    m_headerDone = true;
    m_headerEnd = headerEnd;
    // The header block with its blank line is headerEnd + 4 bytes long.
    m_bytesReceived =
        clampedCount(static_cast<qint64>(m_bytesReceived) - headerEnd - HttpProtocol::kHeaderEnd.size());
    const QByteArrayView headerBlock = QByteArrayView(m_replyBuffer).first(headerEnd);
    m_contentLength = contentLengthOf(headerBlock);
    // The whole reply's room at once: no regrowth, no spare room left when it is complete.
    if (const std::optional<qint64> declared = declaredBodyLength(headerBlock)) {
        const qint64 whole = headerEnd + HttpProtocol::kHeaderEnd.size() + *declared;
        if (whole <= m_replySizeLimit && whole > m_replyBuffer.capacity())
            m_replyBuffer.reserve(whole);
    }
    return std::nullopt;
}

void SlotFetch::onDisconnected(QTcpSocket *socket)
{
    // Bytes that came with the server's close are one more data event before the reply is done.
    if (socket->bytesAvailable() > 0)
        emit dataArrived(clampedCount(socket->bytesAvailable()));
    if (m_socket == socket)
        emit replyFinished();
}

FinishedReply SlotFetch::finish()
{
    FinishedReply reply;
    if (m_headerEnd < 0)
        return reply;
    reply.hasHeader = true;
    reply.headerBlock = m_replyBuffer.first(m_headerEnd);
    m_replyBuffer.remove(0, m_headerEnd + HttpProtocol::kHeaderEnd.size());
    m_replyBuffer.squeeze(); // the kept picture holds the body's bytes and no more
    m_headerEnd = -1;
    return reply;
}

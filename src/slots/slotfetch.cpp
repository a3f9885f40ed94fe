#include "slots/slotfetch.h"

#include "slots/connectionphrases.h"
#include "slots/httprequest.h"
#include "slots/multipartreader.h"
#include "slots/redirect.h"
#include "slots/replybudget.h"
#include "slots/replyheader.h"

#include <QRandomGenerator>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QTimer>

#include <algorithm>
#include <array>
#include <limits>
#include <utility>

namespace {

constexpr int kUnauthorized = 401;
// A challenge, and one stale nonce after it, are answered per fetch; a third is a wrong password.
constexpr int kMaxChallengesPerFetch = 2;
constexpr int kCnonceBytes = 16;
// A fetch replaced with no more than this left of its stall limit is reported as stalled: the
// slot's refresh ends both at nearly the same moment.
constexpr std::chrono::milliseconds kStallSlack{1000};
// A picture stream is read part by part as it arrives; sent in chunks it would need de-chunking
// on the way, which cameras do not ask for.
constexpr char kChunkedStreamPhrase[] = "picture stream sent in chunks";
// A body compared with the shown one is read in pieces of this size.
constexpr qsizetype kComparePiece = qsizetype(64) * 1024;

qint32 clampedCount(qint64 bytes)
{
    return static_cast<qint32>(
        std::clamp<qint64>(bytes, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()));
}

QString originOf(const CamAddress &address)
{
    return (address.secure ? QStringLiteral("https://") : QStringLiteral("http://")) +
        address.hostName.toLower() + QLatin1Char(':') + QString::number(address.port);
}

} // namespace

SlotFetch::SlotFetch(QObject *parent)
    : QObject(parent)
    , m_stallTimer(new QTimer(this))
{
    setObjectName(QStringLiteral("wsCam"));
    m_stallTimer->setSingleShot(true);
    connect(m_stallTimer, &QTimer::timeout, this, &SlotFetch::onStalled);
}

SlotFetch::~SlotFetch()
{
    abandon();
}

void SlotFetch::detachSocket()
{
    m_stallTimer->stop();
    QSslSocket *socket = std::exchange(m_socket, nullptr);
    if (socket == nullptr)
        return;
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
}

void SlotFetch::abandon()
{
    ++m_generation;
    m_replyBuffer = QByteArray();
    m_headerEnd = -1; // nothing is left to split
    m_declaredBodyLength.reset();
    m_headerScan.reset();
    m_stream.reset();
    m_streamBytes = 0;
    m_shownBody = QByteArray();
    m_matched.reset();
    recordHeld(0);
    detachSocket();
}

void SlotFetch::setReplyBudget(ReplyBudget *budget)
{
    if (m_budget != nullptr)
        m_budget->record(this, 0);
    m_budget = budget;
}

void SlotFetch::recordHeld(qsizetype bytes)
{
    if (m_budget != nullptr)
        m_budget->record(this, bytes);
}

bool SlotFetch::makeRoom(qint64 moreBytes)
{
    if (m_budget == nullptr)
        return true;
    const QList<SlotFetch *> victims = m_budget->makeRoom(this, heldBytes() + moreBytes);
    bool keep = true;
    for (SlotFetch *victim : victims) {
        if (victim == this)
            keep = false;
        victim->fail(FetchOutcome::Kind::OverBudget);
    }
    return keep;
}

void SlotFetch::fail(FetchOutcome::Kind kind, const QString &detail)
{
    fail(FetchOutcome{kind, detail});
}

void SlotFetch::fail(const FetchOutcome &outcome)
{
    abandon();
    emit failed(outcome);
}

void SlotFetch::setStallLimit(std::chrono::milliseconds limit)
{
    m_stallLimit =
        std::clamp<std::chrono::milliseconds>(limit, std::chrono::milliseconds(1), HttpProtocol::kMaxStall);
}

void SlotFetch::setExtraCaCertificates(const QList<QSslCertificate> &certificates)
{
    m_extraCas = certificates;
}

QString SlotFetch::stallSeconds() const
{
    return QString::number(std::chrono::round<std::chrono::seconds>(m_stallLimit).count());
}

bool SlotFetch::start(const QString &address, const QByteArray &shownBody)
{
    if (m_socket != nullptr && !m_replyEnded) {
        // A server that drips its reply, or never ends it, would otherwise go unnoticed forever.
        if (m_stallTimer->isActive() && m_stallTimer->remainingTimeAsDuration() <= kStallSlack)
            fail(FetchOutcome::Kind::NoAnswer, stallSeconds());
        else
            fail(FetchOutcome::Kind::Unfinished);
    }
    abandon();
    ++m_startCount;
    const AddressSplit split = splitAddress(address);
    if (split.status != AddressSplit::Status::Ok)
        return false;
    m_target = split.address;
    m_shownBody = shownBody;
    m_redirects = 0;
    m_challengesAnswered = 0;
    resetReply();
    if (m_target.connectHost().isEmpty())
        return true; // nothing to connect to; the next start tries again
    connectTo(m_target);
    return true;
}

void SlotFetch::resetReply()
{
    m_replyBuffer = QByteArray();
    recordHeld(0);
    m_headerDone = false;
    m_contentLength = 0;
    m_bytesReceived = 0;
    m_headerEnd = -1;
    m_declaredBodyLength.reset();
    m_headerScan.reset();
    m_stream.reset();
    m_streamBytes = 0;
    m_matched.reset();
}

void SlotFetch::connectTo(const CamAddress &target)
{
    m_target = target;
    m_sentAuthorization = false;
    m_socketConnected = false;
    m_replyEnded = false;
    m_certificateErrors.clear();
    m_outdatedTls = false;
    auto *socket = new QSslSocket(this);
    m_socket = socket;
    // The socket holds no more than one data event's read: a flood waits in the system's buffers.
    socket->setReadBufferSize(HttpProtocol::kMaxReadPerEvent);
    connect(socket, &QTcpSocket::connected, this, [this] { m_socketConnected = true; });
    connect(socket, &QTcpSocket::readyRead, this,
            [this, socket] { emit dataArrived(clampedCount(socket->bytesAvailable())); });
    connect(socket, &QTcpSocket::disconnected, this, [this, socket] { onDisconnected(socket); });
    connect(socket, &QTcpSocket::errorOccurred, this,
            [this, socket](QAbstractSocket::SocketError error) { onSocketError(socket, error); });
    m_stallTimer->start(m_stallLimit);
    if (!target.secure) {
        connect(socket, &QTcpSocket::connected, this, &SlotFetch::connected);
        socket->connectToHost(target.connectHost(), target.port);
        return;
    }
    // The system's authorities decide; a certificate that does not verify ends the fetch.
    if (!m_extraCas.isEmpty()) {
        QSslConfiguration configuration = socket->sslConfiguration();
        configuration.addCaCertificates(m_extraCas);
        socket->setSslConfiguration(configuration);
    }
    connect(socket, &QSslSocket::encrypted, this, &SlotFetch::connected);
    connect(socket, &QSslSocket::sslErrors, this,
            [this](const QList<QSslError> &errors) { m_certificateErrors = errors; });
    // A server that speaks only TLS versions the library refuses ends the handshake with this
    // alert, or is sent it.
    const auto noteAlert = [this](QSsl::AlertLevel, QSsl::AlertType type, const QString &) {
        m_outdatedTls = m_outdatedTls || type == QSsl::AlertType::ProtocolVersion;
    };
    connect(socket, &QSslSocket::alertReceived, this, noteAlert);
    connect(socket, &QSslSocket::alertSent, this, noteAlert);
    // The host name is both the name sent for the server to pick its certificate and the name
    // the certificate must carry.
    socket->connectToHostEncrypted(target.connectHost(), target.port);
}

void SlotFetch::onSocketError(QSslSocket *socket, QAbstractSocket::SocketError error)
{
    // The server's close is reported as an error too; the disconnect that follows handles it.
    if (error == QAbstractSocket::RemoteHostClosedError || m_socket != socket)
        return;
    using Kind = FetchOutcome::Kind;
    FetchOutcome outcome{Kind::ConnectionLost, socketErrorPhrase(error), socket->errorString()};
    if (error == QAbstractSocket::HostNotFoundError) {
        outcome.kind = Kind::HostNotFound;
    } else if (!m_certificateErrors.isEmpty()) {
        const QSslError problem = mostTellingError(m_certificateErrors);
        outcome = {Kind::CertificateNotTrusted, certificateErrorPhrase(problem.error()),
                   problem.errorString()};
    } else if (m_outdatedTls) {
        outcome.kind = Kind::SecureConnectionFailed;
        outcome.detail = QString::fromLatin1(kOutdatedTlsPhrase);
    } else if (error == QAbstractSocket::SslHandshakeFailedError) {
        outcome.kind = Kind::SecureConnectionFailed;
    } else if (!m_socketConnected) {
        outcome.kind = Kind::CouldNotConnect;
    }
    fail(outcome);
}

void SlotFetch::onStalled()
{
    if (m_socket != nullptr)
        fail(FetchOutcome::Kind::NoAnswer, stallSeconds());
}

QByteArray SlotFetch::authorization()
{
    const CamAddress &t = m_target;
    if (!t.hasCredentials() || m_auth.challenge.scheme == AuthChallenge::Scheme::None ||
        m_auth.origin != originOf(t) || m_auth.userName != t.userName || m_auth.password != t.password)
        return {};
    m_sentAuthorization = true;
    if (m_auth.challenge.scheme == AuthChallenge::Scheme::Basic)
        return basicAuthorization(t.userName, t.password);
    ++m_auth.nc;
    return digestAuthorization(m_auth.challenge,
                               DigestInput{t.userName, t.password, QByteArrayLiteral("GET"),
                                           t.requestPath.toLocal8Bit(), m_auth.nc, m_auth.cnonce});
}

void SlotFetch::adoptChallenge(const AuthChallenge &challenge)
{
    const QString origin = originOf(m_target);
    const bool sameAccount = m_auth.origin == origin && m_auth.userName == m_target.userName &&
        m_auth.password == m_target.password;
    if (!sameAccount || challenge.nonce != m_auth.challenge.nonce ||
        challenge.scheme != m_auth.challenge.scheme) {
        m_auth.nc = 0;
        QByteArray random(kCnonceBytes, Qt::Uninitialized);
        QRandomGenerator::system()->generate(random.begin(), random.end());
        m_auth.cnonce = random.toHex();
    }
    m_auth.origin = origin;
    m_auth.userName = m_target.userName;
    m_auth.password = m_target.password;
    m_auth.challenge = challenge;
}

void SlotFetch::sendRequest()
{
    if (m_target.requestPath.contains(QLatin1Char(' ')))
        m_target.requestPath = escapeSpaces(m_target.requestPath);
    if (m_socket != nullptr)
        m_socket->write(buildRequest(m_target.requestPath, m_target.hostHeader, authorization()));
}

bool SlotFetch::fits(qint64 moreBytes) const
{
    return moreBytes <= m_replySizeLimit - m_replyBuffer.size() - m_matched.value_or(0);
}

std::optional<int> SlotFetch::receive(qint32 bytesTotal)
{
    Q_UNUSED(bytesTotal) // what was read is counted: a bounded read may leave some for later
    if (m_socket == nullptr)
        return std::nullopt;
    const qint64 available = m_socket->bytesAvailable();
    const qint64 waiting = std::min<qint64>(available, HttpProtocol::kMaxReadPerEvent);
    if (!m_stream && !fits(waiting)) {
        fail(FetchOutcome::Kind::ReplyTooLarge);
        return std::nullopt;
    }
    if (!makeRoom(waiting))
        return std::nullopt;
    if (waiting > 0)
        m_stallTimer->start(m_stallLimit);
    if (available > waiting) {
        // The rest is another data event, after the events already waiting (other sockets').
        QMetaObject::invokeMethod(
            this,
            [this, socket = m_socket] {
                if (socket == m_socket && socket->bytesAvailable() > 0)
                    emit dataArrived(clampedCount(socket->bytesAvailable()));
            },
            Qt::QueuedConnection);
    }
    if (m_stream) {
        QByteArray bytes(waiting, Qt::Uninitialized);
        bytes.truncate(std::max<qint64>(m_socket->read(bytes.data(), waiting), 0));
        m_streamBytes += bytes.size();
        m_bytesReceived = clampedCount(static_cast<qint64>(m_bytesReceived) + bytes.size());
        feedStream(bytes);
        return std::nullopt; // a stream has no length to show progress against
    }
    if (m_matched) {
        // Compared piece by piece with the shown body; nothing is stored while it matches.
        std::array<char, kComparePiece> piece; // each read fills what is compared: no zeroing
        qint64 got = 0;
        while (got < waiting) {
            const qint64 read = m_socket->read(piece.data(), std::min<qint64>(kComparePiece, waiting - got));
            if (read <= 0)
                break;
            got += read;
            if (!takeBody(QByteArrayView(piece.data(), read)))
                return std::nullopt;
        }
        recordHeld(m_replyBuffer.size());
        return countAndScan(clampedCount(got));
    }
    // Read straight into the reply's own storage: one copy per byte.
    const qsizetype before = m_replyBuffer.size();
    m_replyBuffer.resize(before + waiting);
    const qint64 got = m_socket->read(m_replyBuffer.data() + before, waiting);
    m_replyBuffer.resize(before + std::max<qint64>(got, 0));
    recordHeld(m_replyBuffer.size());
    return countAndScan(clampedCount(std::max<qint64>(got, 0)));
}

std::optional<int> SlotFetch::receiveBytes(QByteArrayView bytes)
{
    if (!fits(bytes.size())) {
        fail(FetchOutcome::Kind::ReplyTooLarge);
        return std::nullopt;
    }
    if (!makeRoom(bytes.size()) || !takeBody(bytes))
        return std::nullopt;
    recordHeld(m_replyBuffer.size());
    return countAndScan(clampedCount(bytes.size()));
}

std::optional<int> SlotFetch::countAndScan(qint32 bytesTotal)
{
    m_bytesReceived = clampedCount(static_cast<qint64>(m_bytesReceived) + bytesTotal);
    if (m_headerDone) {
        const std::optional<int> value = progressValue(m_bytesReceived, m_contentLength);
        completeWhenWhole();
        return value;
    }
    const qsizetype headerEnd = m_headerScan.scan(m_replyBuffer);
    // A header block may be kMaxHeaderBytes long; its blank line then ends 4 bytes later.
    const bool headerTooLong = headerEnd < 0
        ? m_replyBuffer.size() >= HttpProtocol::kMaxHeaderBytes + HttpProtocol::kHeaderEnd.size()
        : headerEnd > HttpProtocol::kMaxHeaderBytes;
    if (headerTooLong) {
        fail(FetchOutcome::Kind::HeaderTooLarge);
        return std::nullopt;
    }
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
    // Compared before adding: a declared length near the 64-bit limit must not overflow the sum.
    const qint64 headerBytes = headerEnd + HttpProtocol::kHeaderEnd.size();
    m_declaredBodyLength = declaredBodyLength(headerBlock); // read once; every later event asks
    matchShownBody();
    if (!m_matched && m_declaredBodyLength && *m_declaredBodyLength <= m_replySizeLimit - headerBytes) {
        const qint64 whole = headerBytes + *m_declaredBodyLength;
        if (whole > m_replyBuffer.capacity())
            m_replyBuffer.reserve(whole);
    }
    if (!answerHeader() && !beginStream())
        completeWhenWhole();
    return std::nullopt;
}

void SlotFetch::matchShownBody()
{
    const QByteArrayView header = QByteArrayView(m_replyBuffer).first(m_headerEnd);
    if (m_shownBody.isEmpty() || isChunkedHeader(header) || MultipartReader::isStreamHeader(header) ||
        (m_declaredBodyLength && *m_declaredBodyLength != m_shownBody.size()))
        return;
    const qsizetype bodyStart = m_headerEnd + HttpProtocol::kHeaderEnd.size();
    const QByteArrayView early = QByteArrayView(m_replyBuffer).sliced(bodyStart);
    if (early.size() > m_shownBody.size() || QByteArrayView(m_shownBody).first(early.size()) != early)
        return;
    m_matched = early.size();
    m_replyBuffer.truncate(bodyStart);
    recordHeld(m_replyBuffer.size());
}

bool SlotFetch::takeBody(QByteArrayView bytes)
{
    if (!m_matched) {
        m_replyBuffer.append(bytes);
        return true;
    }
    const qsizetype at = *m_matched;
    if (bytes.size() <= m_shownBody.size() - at &&
        QByteArrayView(m_shownBody).sliced(at, bytes.size()) == bytes) {
        *m_matched += bytes.size();
        return true;
    }
    // Other bytes: the body is stored from here on, its start taken from the shown one.
    m_matched.reset();
    if (!makeRoom(at))
        return false;
    const qsizetype bodyStart = m_headerEnd + HttpProtocol::kHeaderEnd.size();
    qint64 whole = bodyStart + at + bytes.size();
    if (m_declaredBodyLength && *m_declaredBodyLength <= m_replySizeLimit - bodyStart)
        whole = std::max<qint64>(whole, bodyStart + *m_declaredBodyLength);
    m_replyBuffer.reserve(whole);
    m_replyBuffer.append(QByteArrayView(m_shownBody).first(at));
    m_replyBuffer.append(bytes);
    recordHeld(m_replyBuffer.size());
    return true;
}

qsizetype SlotFetch::bodyLength() const
{
    return m_matched ? *m_matched : m_replyBuffer.size() - m_headerEnd - HttpProtocol::kHeaderEnd.size();
}

qsizetype SlotFetch::heldBytes() const
{
    return m_replyBuffer.size() + (m_stream ? m_stream->heldBytes() : 0);
}

bool SlotFetch::beginStream()
{
    if (m_socket == nullptr)
        return false; // bytes handed in by hand: the caller handles the reply as it is
    const QByteArrayView header = QByteArrayView(m_replyBuffer).first(m_headerEnd);
    if (!MultipartReader::isStreamHeader(header))
        return false;
    if (isChunkedHeader(header)) {
        fail(FetchOutcome::Kind::StreamFailed, QString::fromLatin1(kChunkedStreamPhrase));
        return true;
    }
    m_stream =
        std::make_unique<MultipartReader>(headerValues(header, "Content-Type").value(0), m_replySizeLimit);
    // The reply buffer keeps the header block; the body goes to the reader.
    const qsizetype bodyStart = m_headerEnd + HttpProtocol::kHeaderEnd.size();
    const QByteArray body = m_replyBuffer.sliced(bodyStart);
    m_replyBuffer.truncate(bodyStart);
    m_replyBuffer.squeeze();
    m_streamBytes = body.size();
    feedStream(body);
    return true;
}

void SlotFetch::feedStream(QByteArrayView bytes)
{
    const MultipartReader::Status status = m_stream->feed(bytes);
    recordHeld(heldBytes());
    if (status == MultipartReader::Status::Bad)
        fail(FetchOutcome::Kind::StreamFailed, MultipartReader::problemText(m_stream->problem()));
    else if (status == MultipartReader::Status::Done)
        endStream();
    else if (m_streamBytes > m_replySizeLimit) // more than a reply may be, and still no picture
        fail(FetchOutcome::Kind::ReplyTooLarge);
}

void SlotFetch::endStream()
{
    const QByteArray header = MultipartReader::partReplyHeader(
        QByteArrayView(m_replyBuffer).first(m_headerEnd), m_stream->partHeader());
    QByteArray reply = header;
    reply.append(HttpProtocol::kHeaderEnd);
    reply.append(m_stream->partBody());
    m_stream.reset();
    m_replyBuffer = std::move(reply);
    m_headerEnd = header.size();
    m_contentLength = contentLengthOf(header);
    m_declaredBodyLength = declaredBodyLength(header);
    recordHeld(m_replyBuffer.size());
    detachSocket(); // the slot ends the stream: the next fetch asks for a new picture
    finishSoon();
}

bool SlotFetch::answerHeader()
{
    if (m_socket == nullptr)
        return false; // bytes handed in by hand: the caller handles the reply as it is
    const QByteArrayView header = QByteArrayView(m_replyBuffer).first(m_headerEnd);
    const StatusLine status = readStatusLine(header);
    if (isRedirectStatus(status.code)) {
        const QList<QByteArray> locations = headerValues(header, "Location");
        if (!locations.isEmpty()) {
            if (m_redirects >= kMaxRedirects) {
                fail(FetchOutcome::Kind::TooManyRedirects);
                return true;
            }
            const RedirectTarget next = resolveLocation(m_target, locations.first());
            if (next.status != RedirectTarget::Status::Ok) {
                fail(next.status == RedirectTarget::Status::Downgrade ? FetchOutcome::Kind::InsecureRedirect
                                                                      : FetchOutcome::Kind::BadRedirect);
                return true;
            }
            ++m_redirects;
            detachSocket();
            resetReply();
            connectTo(next.address);
            return true;
        }
    }
    if (status.code != kUnauthorized || !m_target.hasCredentials())
        return false;
    const AuthChallenge challenge = chooseChallenge(header);
    if (challenge.scheme == AuthChallenge::Scheme::None)
        return false;
    // Credentials that were sent and refused without a stale nonce are wrong: the reply is handled
    // as it is, with the newest challenge kept for the next fetch.
    const bool stale = challenge.scheme == AuthChallenge::Scheme::Digest && challenge.stale;
    const bool retry = (!m_sentAuthorization || stale) && m_challengesAnswered < kMaxChallengesPerFetch;
    adoptChallenge(challenge);
    if (!retry)
        return false;
    ++m_challengesAnswered;
    const CamAddress again = m_target;
    detachSocket();
    resetReply();
    connectTo(again);
    return true;
}

void SlotFetch::completeWhenWhole()
{
    // Servers that ignore "Connection: close" keep the connection open after the body; a body
    // that has reached its valid Content-Length is the whole reply.
    if (m_socket == nullptr)
        return;
    if (!m_declaredBodyLength || bodyLength() < *m_declaredBodyLength)
        return;
    detachSocket();
    finishSoon();
}

void SlotFetch::finishSoon()
{
    QMetaObject::invokeMethod(
        this,
        [this, generation = m_generation] {
            if (generation == m_generation)
                emit replyFinished();
        },
        Qt::QueuedConnection);
}

void SlotFetch::onDisconnected(QSslSocket *socket)
{
    // Bytes that came with the server's close are more data events before the reply is done, as
    // long as each event reads some.
    for (qint64 left = socket->bytesAvailable(); m_socket == socket && left > 0;) {
        emit dataArrived(clampedCount(left));
        const qint64 now = socket->bytesAvailable();
        if (now >= left)
            break;
        left = now;
    }
    if (m_socket != socket)
        return;
    m_stallTimer->stop();
    m_replyEnded = true;
    if (m_stream) {
        // A part without a length may end at the close; anything else is a stream cut short.
        if (m_stream->close() == MultipartReader::Status::Done)
            endStream();
        else
            fail(FetchOutcome::Kind::StreamFailed, MultipartReader::problemText(m_stream->problem()));
        return;
    }
    emit replyFinished();
}

FinishedReply SlotFetch::finish()
{
    FinishedReply reply;
    recordHeld(0); // the reply has arrived: what it holds is the slot's now
    const QByteArray shown = std::exchange(m_shownBody, QByteArray()); // not held past the reply
    if (m_headerEnd < 0)
        return reply;
    reply.hasHeader = true;
    reply.headerBlock = m_replyBuffer.first(m_headerEnd);
    if (m_matched) {
        // The shown body's bytes, shared with the shown picture: no copy.
        const qsizetype matched = *m_matched;
        m_matched.reset();
        m_replyBuffer = matched == shown.size() ? shown : shown.first(matched);
        m_headerEnd = -1;
        return reply;
    }
    // Removing from the front moves no byte: the header's room stays before the body.
    const qsizetype headerBytes = m_headerEnd + HttpProtocol::kHeaderEnd.size();
    m_replyBuffer.remove(0, headerBytes);
    // The kept picture holds the body's bytes and no more than the header's room. A buffer that
    // grew without a declared length is copied to its size; one reserved for its Content-Length
    // is not (a copy of a large body costs more than the rest of an unchanged reply's handling).
    if (m_replyBuffer.capacity() - m_replyBuffer.size() > headerBytes)
        m_replyBuffer.squeeze();
    m_headerEnd = -1;
    return reply;
}

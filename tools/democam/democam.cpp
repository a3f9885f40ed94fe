#include "democam/democam.h"

#include "camserver/camserver.h"
#include "democam/democamart.h"

#include <QBuffer>
#include <QSize>

namespace {
constexpr int kJpegQuality = 85;
const QSize kClockSize(640, 480);
const QSize kBigClockSize(1920, 1080);
const QSize kStillSize(640, 480);
// The still picture never changes, so neither does its date.
const QDateTime kStillModified(QDate(2024, 1, 1), QTime(12, 0), Qt::UTC);

QByteArray encodeJpeg(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", kJpegQuality);
    return bytes;
}

CamReply pageReply()
{
    const QByteArray body = QByteArrayLiteral(
        "<!DOCTYPE html>\r\n<html><head><title>Demo camera</title></head>\r\n"
        "<body><h1>Demo camera</h1><p>This is a web page, not a picture. "
        "The pictures are <a href=\"/clock.jpg\">clock.jpg</a>, <a href=\"/still.jpg\">still.jpg</a>, "
        "<a href=\"/big.jpg\">big.jpg</a> and the stream <a href=\"/stream.mjpg\">stream.mjpg</a>.</p>"
        "</body></html>\r\n");
    CamReply reply;
    reply.bytes =
        CamServer::httpReply("HTTP/1.1 200 OK",
                             {"Date: " + CamServer::httpDate(QDateTime::currentDateTimeUtc()),
                              "Content-Type: text/html; charset=utf-8",
                              "Content-Length: " + QByteArray::number(body.size()), "Connection: close"},
                             body);
    return reply;
}

CamReply plainReply(const QByteArray &statusLine, const QList<QByteArray> &headerLines)
{
    CamReply reply;
    reply.bytes = CamServer::httpReply(
        statusLine, headerLines + QList<QByteArray>{"Content-Length: 0", "Connection: close"}, {});
    return reply;
}

bool hasDemoPassword(const QByteArray &request)
{
    const QByteArray expected = "\r\nAuthorization: Basic " +
        (QByteArray(DemoCam::kUserName) + ':' + DemoCam::kPassword).toBase64() + "\r\n";
    return request.contains(expected);
}
} // namespace

DemoCam::DemoCam(QObject *parent)
    : QObject(parent)
    , m_server(new CamServer(this))
    , m_still(encodeJpeg(DemoCamArt::testCard(kStillSize)))
{
    m_server->setHandler("/clock.jpg", [this](const QByteArray &) { return clockReply(kClockSize); });
    m_server->setHandler("/big.jpg", [this](const QByteArray &) { return clockReply(kBigClockSize); });
    m_server->setHandler("/still.jpg",
                         [this](const QByteArray &) { return pictureReply(m_still, kStillModified); });
    m_server->setHandler("/page.html", [](const QByteArray &) { return pageReply(); });
    m_server->setHandler("/stream.mjpg", [](const QByteArray &) { return streamReply(); });
    m_server->setHandler("/moved.jpg", [](const QByteArray &) {
        return plainReply("HTTP/1.1 302 Found", {"Location: /clock.jpg"});
    });
    m_server->setHandler("/private.jpg", [this](const QByteArray &request) {
        if (hasDemoPassword(request))
            return clockReply(kClockSize);
        return plainReply("HTTP/1.1 401 Unauthorized", {"WWW-Authenticate: Basic realm=\"Vantora demo\""});
    });
}

DemoCam::~DemoCam() = default;

bool DemoCam::listen(quint16 port)
{
    return m_server->listen(QHostAddress::LocalHost, port);
}

quint16 DemoCam::port() const
{
    return m_server->port();
}

QDateTime DemoCam::lastModifiedFor(const QDateTime &now)
{
    const qint64 seconds = now.toSecsSinceEpoch();
    const qint64 floored = seconds -
        ((seconds % kLastModifiedStepSeconds) + kLastModifiedStepSeconds) % kLastModifiedStepSeconds;
    return QDateTime::fromSecsSinceEpoch(floored, Qt::UTC);
}

CamReply DemoCam::clockReply(const QSize &size) const
{
    const QDateTime now = QDateTime::currentDateTime();
    return pictureReply(encodeJpeg(DemoCamArt::clockFace(size, now)), lastModifiedFor(now));
}

CamReply DemoCam::pictureReply(const QByteArray &jpeg, const QDateTime &lastModified)
{
    CamReply reply;
    reply.bytes = CamServer::httpReply("HTTP/1.1 200 OK",
                                       {"Date: " + CamServer::httpDate(QDateTime::currentDateTimeUtc()),
                                        "Last-Modified: " + CamServer::httpDate(lastModified),
                                        "Content-Type: image/jpeg",
                                        "Content-Length: " + QByteArray::number(jpeg.size()),
                                        "Cache-Control: no-cache", "Connection: close"},
                                       jpeg);
    return reply;
}

QByteArray DemoCam::streamPart()
{
    const QByteArray jpeg = encodeJpeg(DemoCamArt::clockFace(kClockSize, QDateTime::currentDateTime()));
    return "--" + QByteArray(kStreamBoundary) +
        "\r\nContent-Type: image/jpeg\r\nContent-Length: " + QByteArray::number(jpeg.size()) + "\r\n\r\n" +
        jpeg + "\r\n";
}

CamReply DemoCam::streamReply()
{
    CamReply reply;
    reply.bytes = CamServer::httpReply(
        "HTTP/1.1 200 OK",
        {"Date: " + CamServer::httpDate(QDateTime::currentDateTimeUtc()),
         "Content-Type: multipart/x-mixed-replace; boundary=" + QByteArray(kStreamBoundary),
         "Cache-Control: no-cache", "Connection: close"},
        streamPart());
    reply.next = &DemoCam::streamPart;
    reply.streamIntervalMs = kStreamIntervalMs;
    return reply;
}

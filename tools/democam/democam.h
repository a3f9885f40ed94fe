#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QObject>

class CamServer;
struct CamReply;

// The demo camera: a CamServer with a live clock, a still picture, an HTML page, a large clock,
// an address that redirects to the clock, a clock behind a password, and the clock as an endless
// stream of pictures ("multipart/x-mixed-replace", a new one every second, without dates).
class DemoCam : public QObject
{
    Q_OBJECT

public:
    static constexpr int kLastModifiedStepSeconds = 5; // the clock's Last-Modified moves this often
    // The account of "/private.jpg" (Basic); the demo list gives it in the address.
    static constexpr const char *kUserName = "demo";
    static constexpr const char *kPassword = "webcam";
    static constexpr const char *kStreamBoundary = "vantoraframe"; // of "/stream.mjpg"
    static constexpr int kStreamIntervalMs = 1000;

    explicit DemoCam(QObject *parent = nullptr);
    ~DemoCam() override;

    bool listen(quint16 port);
    quint16 port() const;

    // The Last-Modified time of a clock picture taken at `now`: the start of its 5-second window.
    static QDateTime lastModifiedFor(const QDateTime &now);

private:
    CamReply clockReply(const QSize &size) const;
    static CamReply pictureReply(const QByteArray &jpeg, const QDateTime &lastModified);
    static CamReply streamReply();
    static QByteArray streamPart();

    CamServer *m_server = nullptr;
    QByteArray m_still;
};

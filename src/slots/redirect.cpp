#include "slots/redirect.h"

#include <QUrl>

namespace {

QString schemeOf(bool secure)
{
    return secure ? QStringLiteral("https") : QStringLiteral("http");
}

QUrl urlOf(const CamAddress &address)
{
    return QUrl(schemeOf(address.secure) + QStringLiteral("://") + address.hostHeader + address.requestPath,
                QUrl::TolerantMode);
}

// A camera's password may go where it came from: the same scheme, host and port, or from plain
// http on its default port to https on its default port of the same host. Another port of the
// same host may be another program, or another user's.
bool credentialsMayFollow(const CamAddress &from, const CamAddress &to)
{
    if (to.hostName.compare(from.hostName, Qt::CaseInsensitive) != 0)
        return false;
    if (to.secure == from.secure)
        return to.port == from.port;
    return !from.secure && from.port == HttpProtocol::kDefaultPort &&
        to.port == HttpProtocol::kDefaultSecurePort;
}

} // namespace

RedirectTarget resolveLocation(const CamAddress &from, QByteArrayView location)
{
    RedirectTarget target;
    const QByteArrayView text = location.trimmed();
    if (text.isEmpty() || text.contains('\r') || text.contains('\n'))
        return target;
    const QUrl base = urlOf(from);
    const QUrl url = base.resolved(QUrl::fromEncoded(text.toByteArray(), QUrl::TolerantMode));
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() || (scheme != u"http" && scheme != u"https"))
        return target;
    CamAddress &to = target.address;
    to.secure = scheme == u"https";
    if (from.secure && !to.secure) {
        target.status = RedirectTarget::Status::Downgrade;
        return target;
    }
    const QString host = url.host(QUrl::FullyEncoded);
    to.hostName = host.contains(QLatin1Char(':')) ? QLatin1Char('[') + host + QLatin1Char(']') : host;
    to.hostHeader = to.hostName;
    const quint16 defaultPort = to.secure ? HttpProtocol::kDefaultSecurePort : HttpProtocol::kDefaultPort;
    to.port = static_cast<quint16>(url.port(defaultPort));
    if (url.port() > 0)
        to.hostHeader += QLatin1Char(':') + QString::number(to.port);
    to.requestPath = url.path(QUrl::FullyEncoded);
    if (to.requestPath.isEmpty())
        to.requestPath = QStringLiteral("/");
    if (url.hasQuery())
        to.requestPath += QLatin1Char('?') + url.query(QUrl::FullyEncoded);
    if (!url.userName().isEmpty()) {
        to.userName = url.userName(QUrl::FullyDecoded);
        to.password = url.password(QUrl::FullyDecoded);
        for (const QChar c : to.userName + to.password) {
            if (c == QLatin1Char('\r') || c == QLatin1Char('\n') || c == QChar(0))
                return RedirectTarget{};
        }
    } else if (credentialsMayFollow(from, to)) {
        to.userName = from.userName;
        to.password = from.password;
    }
    target.status = RedirectTarget::Status::Ok;
    return target;
}

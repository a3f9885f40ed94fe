#include "slots/camaddress.h"

#include <QUrl>

#include <optional>

namespace {

const QString kHttpPrefix = QStringLiteral("http://");
const QString kHttpsPrefix = QStringLiteral("https://");
constexpr QChar kPortSeparator = QLatin1Char(':');

// A port text: decimal digits only, value 1 to 65535.
std::optional<quint16> portOf(const QString &text)
{
    if (text.isEmpty())
        return std::nullopt;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
    }
    bool ok = false;
    const uint value = text.toUInt(&ok);
    if (!ok || value < 1 || value > 65535)
        return std::nullopt;
    return static_cast<quint16>(value);
}

// Host and optional port of the text before the first "/".
bool splitHostPort(const QString &hostPart, CamAddress &out)
{
    QString portText;
    bool hasPort = false;
    if (hostPart.startsWith(QLatin1Char('['))) {
        const qsizetype close = hostPart.indexOf(QLatin1Char(']'));
        if (close < 0)
            return false;
        out.hostName = hostPart.left(close + 1);
        const QString rest = hostPart.mid(close + 1);
        if (!rest.isEmpty()) {
            if (rest.front() != kPortSeparator)
                return false;
            portText = rest.mid(1);
            hasPort = true;
        }
    } else {
        const qsizetype colon = hostPart.indexOf(kPortSeparator);
        if (colon < 0) {
            out.hostName = hostPart;
        } else {
            if (hostPart.indexOf(kPortSeparator, colon + 1) >= 0)
                return false;
            out.hostName = hostPart.left(colon);
            portText = hostPart.mid(colon + 1);
            hasPort = true;
        }
    }
    out.hostHeader = out.hostName;
    if (hasPort) {
        const std::optional<quint16> port = portOf(portText);
        if (!port)
            return false;
        out.port = *port;
        out.hostHeader += kPortSeparator + QString::number(*port);
    }
    return true;
}

bool hasLineBreak(const QString &text)
{
    return text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n')) || text.contains(QChar(0));
}

// "user[:password]" of the text before "@", percent-decoded as UTF-8.
bool splitCredentials(const QString &userInfo, CamAddress &out)
{
    const qsizetype colon = userInfo.indexOf(kPortSeparator);
    out.userName = QUrl::fromPercentEncoding(userInfo.left(colon).toUtf8());
    out.password = colon < 0 ? QString() : QUrl::fromPercentEncoding(userInfo.mid(colon + 1).toUtf8());
    return !hasLineBreak(out.userName) && !hasLineBreak(out.password);
}

} // namespace

QString CamAddress::connectHost() const
{
    if (hostName.size() >= 2 && hostName.startsWith(QLatin1Char('[')) && hostName.endsWith(QLatin1Char(']')))
        return hostName.mid(1, hostName.size() - 2);
    return hostName;
}

AddressSplit splitAddress(const QString &address)
{
    AddressSplit result;
    if (hasLineBreak(address))
        return result;
    CamAddress parts;
    QString rest = address;
    if (address.startsWith(kHttpsPrefix, Qt::CaseInsensitive)) {
        parts.secure = true;
        parts.port = HttpProtocol::kDefaultSecurePort;
        rest = address.mid(kHttpsPrefix.size());
    } else if (address.startsWith(kHttpPrefix, Qt::CaseSensitive)) {
        rest = address.mid(kHttpPrefix.size());
    }
    const qsizetype slash = rest.indexOf(QLatin1Char('/'));
    if (slash < 0)
        return result;
    QString hostPart = rest.left(slash);
    const qsizetype at = hostPart.lastIndexOf(QLatin1Char('@'));
    if (at >= 0) {
        if (!splitCredentials(hostPart.left(at), parts))
            return result;
        hostPart = hostPart.mid(at + 1);
    }
    if (!splitHostPort(hostPart, parts))
        return result;
    parts.requestPath = rest.mid(slash);
    result.status = AddressSplit::Status::Ok;
    result.address = parts;
    return result;
}

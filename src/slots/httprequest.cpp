#include "slots/httprequest.h"

#include "slots/httpprotocol.h"

#include <QByteArray>
#include <QString>

QString escapeSpaces(const QString &path)
{
    QString escaped = path;
    escaped.replace(QLatin1Char(' '), QLatin1String("%20"));
    return escaped;
}

QByteArray buildRequest(const QString &path, const QString &hostHeader, const QByteArray &authorization)
{
    using HttpProtocol::kLineEnd;
    QByteArray request = QByteArrayLiteral("GET ");
    request += path.toLocal8Bit();
    request += " HTTP/1.1";
    request += kLineEnd;
    request += "Host: ";
    request += hostHeader.toLocal8Bit();
    request += kLineEnd;
    request += "Connection: close";
    request += kLineEnd;
    request += "Accept: */*";
    request += kLineEnd;
    if (!authorization.isEmpty()) {
        request += "Authorization: ";
        request += authorization;
        request += kLineEnd;
    }
    request += kLineEnd;
    return request;
}

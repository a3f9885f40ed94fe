#include "slots/httprequest.h"

#include <QByteArray>
#include <QString>

namespace {
constexpr char kLineEnd[] = "\r\n";
} // namespace

QString EscapeSpaces(const QString &path)
{
    QString escaped = path;
    escaped.replace(QLatin1Char(' '), QLatin1String("%20"));
    return escaped;
}

QByteArray BuildRequest(const QString &path, const QString &hostHeader)
{
    QByteArray request;
    request.reserve(path.size() + hostHeader.size() + 64);
    request += "GET ";
    request += path.toLatin1();
    request += " HTTP/1.1";
    request += kLineEnd;
    request += "Host: ";
    request += hostHeader.toLatin1();
    request += kLineEnd;
    request += "Connection: close";
    request += kLineEnd;
    request += "Accept: */*";
    request += kLineEnd;
    request += kLineEnd;
    return request;
}

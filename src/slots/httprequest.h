#pragma once

#include <QByteArray>

class QString;

// The path with every space written as "%20"; nothing else is escaped ("%" stays as it is).
QString escapeSpaces(const QString &path);

// The one GET request of a fetch, as the bytes sent: request line, Host, "Connection: close",
// "Accept: */*" and the blank line, CR LF after each. Path and host go out in the local 8-bit
// encoding, the bytes the camera list file holds for them. A non-empty authorization goes out as
// an "Authorization" line before the blank line.
QByteArray buildRequest(const QString &path, const QString &hostHeader, const QByteArray &authorization = {});

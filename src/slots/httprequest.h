#pragma once

class QByteArray;
class QString;

// The path with every space written as "%20"; nothing else is escaped ("%" stays as it is).
QString EscapeSpaces(const QString &path);

// The one GET request of a fetch, as the bytes sent: request line, Host, "Connection: close",
// "Accept: */*" and the blank line, CR LF after each. One byte per character (Latin-1).
QByteArray BuildRequest(const QString &path, const QString &hostHeader);

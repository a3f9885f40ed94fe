// A camera's picture address taken apart, and the request built from it. Input: the address as
// the list file holds it (local 8-bit text).

#include "fuzzcheck.h"

#include "slots/camaddress.h"
#include "slots/httpauth.h"
#include "slots/httprequest.h"

#include <QString>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromLocal8Bit(
        QByteArrayView(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)));
    const AddressSplit split = splitAddress(text);
    if (split.status != AddressSplit::Status::Ok)
        return 0;

    const CamAddress &a = split.address;
    for (const QString *part : {&text, &a.hostName, &a.requestPath, &a.hostHeader, &a.userName, &a.password})
        FUZZ_CHECK(!part->contains(u'\r') && !part->contains(u'\n') && !part->contains(QChar(0)));
    FUZZ_CHECK(a.requestPath.startsWith(u'/') && text.endsWith(a.requestPath));
    FUZZ_CHECK(!a.hostName.contains(u'/') && a.port >= 1);
    FUZZ_CHECK(a.hostHeader == a.hostName || a.hostHeader == a.hostName + u':' + QString::number(a.port));
    if (a.hostName.startsWith(u'['))
        FUZZ_CHECK(a.hostName.endsWith(u']') && a.connectHost().size() == a.hostName.size() - 2);
    else
        FUZZ_CHECK(!a.hostName.contains(u':') && a.connectHost() == a.hostName);

    // No line end but its own CR LF pairs; the request line's path holds no blank.
    const QByteArray authorization =
        a.hasCredentials() ? basicAuthorization(a.userName, a.password) : QByteArray();
    const QByteArray request = buildRequest(escapeSpaces(a.requestPath), a.hostHeader, authorization);
    const qsizetype lineEnds = authorization.isEmpty() ? 5 : 6;
    FUZZ_CHECK(request.count("\r\n") == lineEnds && request.count('\r') == lineEnds);
    FUZZ_CHECK(request.count('\n') == lineEnds && !request.contains('\0') && request.endsWith("\r\n\r\n"));
    const QByteArray requestLine = request.first(request.indexOf("\r\n"));
    FUZZ_CHECK(requestLine.count(' ') == 2);
    FUZZ_CHECK(requestLine.startsWith("GET /") && requestLine.endsWith(" HTTP/1.1"));
    return 0;
}

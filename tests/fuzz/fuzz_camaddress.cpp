// A camera's picture address taken apart, and the request built from it. Input: the address as
// the list file holds it (local 8-bit text).

#include "fuzzcheck.h"

#include "slots/camaddress.h"
#include "slots/httpauth.h"
#include "slots/httprequest.h"

#include <QString>

namespace {

bool holdsBreak(const QString &text)
{
    return text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n')) || text.contains(QChar(0));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromLocal8Bit(
        QByteArrayView(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)));
    const AddressSplit split = splitAddress(text);
    if (split.status != AddressSplit::Status::Ok)
        return 0;

    const CamAddress &address = split.address;
    FUZZ_CHECK(!holdsBreak(text));
    for (const QString *part :
         {&address.hostName, &address.requestPath, &address.hostHeader, &address.userName, &address.password})
        FUZZ_CHECK(!holdsBreak(*part));
    FUZZ_CHECK(address.requestPath.startsWith(QLatin1Char('/')));
    FUZZ_CHECK(text.endsWith(address.requestPath));
    FUZZ_CHECK(!address.hostName.contains(QLatin1Char('/')));
    FUZZ_CHECK(address.port >= 1);
    FUZZ_CHECK(address.hostHeader == address.hostName ||
               address.hostHeader == address.hostName + QLatin1Char(':') + QString::number(address.port));
    if (address.hostName.startsWith(QLatin1Char('[')))
        FUZZ_CHECK(address.hostName.endsWith(QLatin1Char(']')) &&
                   address.connectHost().size() == address.hostName.size() - 2);
    else
        FUZZ_CHECK(!address.hostName.contains(QLatin1Char(':')) && address.connectHost() == address.hostName);

    // The request holds no line end but its own: five CR LF, no other CR or LF.
    const QByteArray authorization =
        address.hasCredentials() ? basicAuthorization(address.userName, address.password) : QByteArray();
    const QByteArray request =
        buildRequest(escapeSpaces(address.requestPath), address.hostHeader, authorization);
    const qsizetype lineEnds = authorization.isEmpty() ? 5 : 6;
    FUZZ_CHECK(request.count("\r\n") == lineEnds);
    FUZZ_CHECK(request.count('\r') == lineEnds);
    FUZZ_CHECK(request.count('\n') == lineEnds);
    FUZZ_CHECK(!request.contains('\0'));
    FUZZ_CHECK(request.endsWith("\r\n\r\n"));
    // The request line is method, path and version: the path holds no blank.
    const QByteArray requestLine = request.first(request.indexOf("\r\n"));
    FUZZ_CHECK(requestLine.count(' ') == 2);
    FUZZ_CHECK(requestLine.startsWith("GET /") && requestLine.endsWith(" HTTP/1.1"));
    return 0;
}

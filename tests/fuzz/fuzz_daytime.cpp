// The Daytime reply line. Input: the line as received.

#include "fuzzcheck.h"

#include "clock/daytimereply.h"

#include <QDateTime>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView text(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const DaytimeReply reply = ParseDaytimeReply(text);

    // Fewer than three blank-separated fields (line feeds deleted) is waiting for more.
    FUZZ_CHECK((reply.status == DaytimeReply::Status::Incomplete) ==
               (text.toByteArray().replace('\n', QByteArrayView()).count(' ') < 2));
    if (reply.status != DaytimeReply::Status::Ok)
        return 0;
    FUZZ_CHECK(reply.utc.isValid() && reply.utc.timeSpec() == Qt::UTC);
    FUZZ_CHECK(reply.utc.date().year() >= 2000 && reply.utc.date().year() <= 2099);
    // The time written back as the service writes it reads the same.
    const DaytimeReply again =
        ParseDaytimeReply("60000 " + reply.utc.toString(QStringLiteral("yy-MM-dd HH:mm:ss")).toLatin1() +
                          " 50 0 0 815.6 UTC(NIST) *\r\n");
    FUZZ_CHECK(again.status == DaytimeReply::Status::Ok && again.utc == reply.utc);
    FUZZ_CHECK(DaytimeLabelText(reply.utc).endsWith(QStringLiteral(" GMT")));
    return 0;
}

#include "slots/headerendscanner.h"

#include "slots/httpprotocol.h"

#include <algorithm>

qsizetype HeaderEndScanner::scan(QByteArrayView buffer)
{
    const qsizetype overlap = HttpProtocol::kHeaderEnd.size() - 1;
    const qsizetype from = std::clamp<qsizetype>(m_scanned - overlap, 0, buffer.size());
    m_scanned = buffer.size();
    return buffer.indexOf(HttpProtocol::kHeaderEnd, from);
}

#pragma once

#include <QByteArrayView>

// Finds the blank line (CR LF CR LF) that ends a reply's header block while the reply grows.
// Each call scans only the bytes added since the previous call, plus enough overlap to catch a
// sequence split across two arrivals, so a reply is scanned once in all.
class HeaderEndScanner
{
public:
    // buffer is the reply so far: the buffer of the previous call with bytes appended. Returns
    // the 0-based position of the first CR LF CR LF, or -1 while there is none.
    qsizetype scan(QByteArrayView buffer);

    // Forgets what was scanned; for a new reply.
    void reset() { m_scanned = 0; }

private:
    qsizetype m_scanned = 0;
};

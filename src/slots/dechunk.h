#pragma once

#include <QByteArray>
#include <QByteArrayView>

// A body sent with "Transfer-Encoding: chunked", put back together.
struct DechunkResult
{
    enum class Status {
        Ok, // every chunk up to the last (size 0) chunk and the trailer's blank line
        Incomplete, // the bytes end before that
        Bad, // a size line that is no hex number, or chunk data not followed by CR LF
    };
    Status status = Status::Bad;
    QByteArray body; // the joined chunk data; complete only when Ok
};

// Chunk extensions (after ";") and trailer lines are read over; bytes after the end are ignored.
// Chunk sizes beyond the given input are Incomplete, never allocated.
DechunkResult dechunk(QByteArrayView chunked);

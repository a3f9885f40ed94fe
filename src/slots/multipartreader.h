#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

// A reply whose Content-Type is "multipart/x-mixed-replace" (a camera's endless stream of
// pictures), read part by part as its body arrives, in pieces split anywhere. The reader finds
// the first complete part whose own Content-Type is "image/..." and keeps it; the stream's other
// bytes are read over and dropped, so it never holds more than the current part (its header, at
// most HttpProtocol::kMaxHeaderBytes, and, for a picture part, its body, at most the part limit).
//
// A delimiter line is the boundary of the Content-Type parameter, with or without a leading "--",
// at the start of the body or of a line, then spaces, then the line end (LF or CR LF); the closing
// one has "--" after the boundary. The form (with "--" or without) the first delimiter line has
// holds for the rest of the stream. A part is its header block up to a blank line, then its body:
// as many bytes as its Content-Length when it has a valid one, else the bytes up to the line end
// before the next delimiter line, known as one once its own line end (or the server's close) has
// come: the boundary's text alone may occur in a picture. Bytes before the first delimiter line
// are read over.
class MultipartReader
{
public:
    enum class Status {
        Incomplete, // no picture part is complete yet: give it more bytes
        Done, // partHeader() and partBody() hold the first complete picture part
        Bad, // the stream cannot give a picture: problem() says why
    };
    enum class Problem {
        None,
        NoBoundary, // the Content-Type names no boundary
        PartHeaderTooLarge, // a part's header block has no end within the header limit
        PartTooLarge, // a picture part declares or grows past the part limit
        StreamEnded, // the closing delimiter came before any picture part
        ClosedEarly, // the server closed the connection before a picture part was complete
    };

    // The Content-Type of a stream read part by part: "multipart/x-mixed-replace" (any case) with
    // or without parameters. The first Content-Type line of the header block decides.
    static bool isStreamHeader(QByteArrayView headerBlock);
    // The "boundary" parameter of a Content-Type value: quoted (with backslash escapes) or not;
    // empty when there is none.
    static QByteArray boundaryOf(QByteArrayView contentType);
    // The header block the slot handles for a picture part: the reply's status line, the part's
    // header lines, then the reply's own lines except those that describe the stream's body as a
    // whole (Content-Type, Content-Length, Transfer-Encoding). A part's Last-Modified thus comes
    // before the reply's.
    static QByteArray partReplyHeader(QByteArrayView replyHeader, QByteArrayView partHeader);
    // In plain words, e.g. "stream ended without a picture".
    static QString problemText(Problem problem);

    // contentType is the reply's Content-Type value. A picture part longer than maxPartBytes
    // fails the stream.
    MultipartReader(QByteArrayView contentType, qsizetype maxPartBytes);

    // The next bytes of the body. Once the status is Done or Bad, further bytes are ignored.
    Status feed(QByteArrayView bytes);
    // The server closed the connection: a stream still Incomplete turns Bad (ClosedEarly).
    Status close();

    Status status() const { return m_status; }
    Problem problem() const { return m_problem; }
    // The picture part's header block, its line ends made CR LF and without its blank line, and
    // its body; empty unless Done.
    QByteArray partHeader() const { return m_status == Status::Done ? m_header : QByteArray(); }
    QByteArray partBody() const { return m_status == Status::Done ? m_body : QByteArray(); }
    // What the reader holds now: what a budget of bytes in flight should count.
    qsizetype heldBytes() const { return m_header.size() + m_body.size() + m_line.size(); }

private:
    enum class State {
        SeekDelimiter, // preamble, or after a part that was read over
        DelimiterLine, // the rest of a delimiter line, up to its line end
        PartHeader,
        PartBodyByLength,
        PartBodyToDelimiter, // a picture part without a Content-Length
    };

    void fail(Problem problem);
    // Each takes what it needs from the front of bytes and returns how many it took.
    qsizetype seekDelimiter(QByteArrayView bytes);
    qsizetype readDelimiterLine(QByteArrayView bytes);
    qsizetype readPartHeader(QByteArrayView bytes);
    qsizetype readBodyByLength(QByteArrayView bytes);
    qsizetype readBodyToDelimiter(QByteArrayView bytes);
    void beginPart();
    void endHeader();
    void endBodyByLength();
    // Whether the delimiter match at m_body's position at begins a delimiter line; empty while its
    // line has not ended (atEnd: the stream has ended, and with it the line).
    std::optional<bool> isDelimiterLine(qsizetype at, bool atEnd) const;
    // Ends the picture part before the delimiter line at m_body's position at; false when the part
    // is too large.
    bool endBodyAt(qsizetype at);
    void startSeeking();

    QByteArray m_boundary; // as in the Content-Type
    QByteArray m_delimiter; // LF + the boundary in the stream's form, once the first line told it
    QByteArray m_candidate; // the delimiter whose line is being read
    qsizetype m_maxPartBytes = 0;
    Status m_status = Status::Incomplete;
    Problem m_problem = Problem::None;
    State m_state = State::SeekDelimiter;
    QByteArray m_line; // a delimiter's possible start (seeking) or the rest of its line
    QByteArray m_header;
    // Where the search goes on: the start of the header line being read, or the first place in
    // m_body a delimiter may still begin.
    qsizetype m_scanned = 0;
    QByteArray m_body; // a picture part's body so far; empty for a part read over
    bool m_keepBody = false; // the current part is a picture
    std::optional<qint64> m_bodyLeft; // bytes of a part with a Content-Length still to come
};

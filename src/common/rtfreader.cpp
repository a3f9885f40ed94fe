#include "common/rtfreader.h"

#include "common/twips.h"

#include <QString>
#include <QStringDecoder>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace {

using namespace std::string_view_literals;

// Groups nested deeper than this share the state of the deepest one.
constexpr std::size_t kMaxDepth = 200;
constexpr int kDefaultHalfPoints = 24; // 12 points
constexpr int kMaxHalfPoints = 3276;
constexpr int kDefaultUnicodeSkip = 1;
constexpr int kMaxUnicodeSkip = 255;
constexpr int kMaxParameter = 1000000000;
constexpr int kDefaultCodePage = 1252;
constexpr int kUtf8CodePage = 65001;
constexpr int kUnicodeRange = 65536;
constexpr int kMaxSpacing = 1440 * 22; // twips: the height of a page

// Windows code page 1252 at 0x80..0x9F; the other bytes are the Latin-1 characters.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178,
};

// Groups that hold no text to show.
constexpr const char *kDestinations[] = {
    "fonttbl",
    "colortbl",
    "stylesheet",
    "info",
    "pict",
    "object",
    "header",
    "headerl",
    "headerr",
    "headerf",
    "footer",
    "footerl",
    "footerr",
    "footerf",
    "footnote",
    "annotation",
    "listtable",
    "listoverridetable",
    "rsidtbl",
    "generator",
    "fldinst",
    "themedata",
    "colorschememapping",
    "latentstyles",
    "datastore",
    "xmlnstbl",
    "revtbl",
    "filetbl",
    "nonshppict",
    "shpinst",
    "private",
    "userprops",
    "docvar",
    "xe",
    "tc",
};

enum class Action {
    Par,
    Line,
    Tab,
    Char, // one fixed character
    Bold,
    Italic,
    Underline,
    UnderlineNone,
    Hidden,
    FontSize,
    Plain,
    Pard,
    Align,
    SpaceBefore,
    SpaceAfter,
    Unicode,
    UnicodeSkip,
    Ansi,
    CodePage,
    Bin,
    Destination, // the group is not shown
};

struct Word
{
    Action action;
    char16_t value = 0; // the character of Char; the alignment of Align
};

const std::unordered_map<std::string_view, Word> &words()
{
    static const std::unordered_map<std::string_view, Word> table = [] {
        std::unordered_map<std::string_view, Word> t{
            {"par"sv, {Action::Par}},
            {"sect"sv, {Action::Par}},
            {"page"sv, {Action::Par}},
            {"row"sv, {Action::Par}},
            {"line"sv, {Action::Line}},
            {"tab"sv, {Action::Tab}},
            {"cell"sv, {Action::Tab}},
            {"nestcell"sv, {Action::Tab}},
            {"emdash"sv, {Action::Char, 0x2014}},
            {"endash"sv, {Action::Char, 0x2013}},
            {"bullet"sv, {Action::Char, 0x2022}},
            {"lquote"sv, {Action::Char, 0x2018}},
            {"rquote"sv, {Action::Char, 0x2019}},
            {"ldblquote"sv, {Action::Char, 0x201C}},
            {"rdblquote"sv, {Action::Char, 0x201D}},
            {"emspace"sv, {Action::Char, 0x2003}},
            {"enspace"sv, {Action::Char, 0x2002}},
            {"qmspace"sv, {Action::Char, 0x2005}},
            {"b"sv, {Action::Bold}},
            {"i"sv, {Action::Italic}},
            {"ulnone"sv, {Action::UnderlineNone}},
            {"v"sv, {Action::Hidden}},
            {"fs"sv, {Action::FontSize}},
            {"plain"sv, {Action::Plain}},
            {"pard"sv, {Action::Pard}},
            {"ql"sv, {Action::Align, Qt::AlignLeft}},
            {"qc"sv, {Action::Align, Qt::AlignHCenter}},
            {"qr"sv, {Action::Align, Qt::AlignRight}},
            {"qj"sv, {Action::Align, Qt::AlignJustify}},
            {"sb"sv, {Action::SpaceBefore}},
            {"sa"sv, {Action::SpaceAfter}},
            {"u"sv, {Action::Unicode}},
            {"uc"sv, {Action::UnicodeSkip}},
            {"ansi"sv, {Action::Ansi}},
            {"ansicpg"sv, {Action::CodePage}},
            {"bin"sv, {Action::Bin}},
        };
        for (const std::string_view underline :
             {"ul"sv, "uld"sv, "uldb"sv, "uldash"sv, "ulth"sv, "ulw"sv, "ulwave"sv})
            t.emplace(underline, Word{Action::Underline});
        for (const char *destination : kDestinations)
            t.emplace(destination, Word{Action::Destination});
        return t;
    }();
    return table;
}

struct CharKey
{
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int halfPoints = kDefaultHalfPoints;
    bool operator==(const CharKey &) const = default;
};

struct GroupState
{
    CharKey chars;
    bool hidden = false;
    bool skip = false; // inside a destination that is not shown
    int unicodeSkip = kDefaultUnicodeSkip;
    Qt::Alignment alignment = Qt::AlignLeft;
    int spaceBefore = 0; // twips
    int spaceAfter = 0;
};

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

std::optional<int> hexValue(char c)
{
    if (isDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return std::nullopt;
}

class RtfParser
{
public:
    RtfParser(QByteArrayView rtf, QTextDocument &document)
        : m_in(rtf)
        , m_cursor(&document)
    { }

    RtfReadResult::Status run();

private:
    bool atEnd() const { return m_pos >= m_in.size(); }
    void openGroup();
    bool closeGroup(); // false when the outer group closed
    bool controlSequence(); // false when the input ends inside it
    void controlWord(std::string_view word, std::optional<int> parameter);
    void controlSymbol(char symbol);
    bool skippedAsFallback();

    void addByte(char byte);
    void addChar(QChar c);
    void paragraph();
    void endParagraph(); // the text so far, and the paragraph's formatting
    void flushRun();
    void setCodePage(int codePage);

    QByteArrayView m_in;
    qsizetype m_pos = 0;
    QTextCursor m_cursor;
    GroupState m_state;
    std::vector<GroupState> m_stack; // the states to go back to, one per open group
    std::size_t m_flattened = 0; // groups open beyond kMaxDepth
    int m_fallbackLeft = 0; // characters still to skip after \uN
    bool m_truncated = false;
    bool m_closed = false; // the outer group's closing brace was read

    QString m_run; // text not yet in the document, all in m_runKey's format
    CharKey m_runKey;
    std::optional<QStringDecoder> m_decoder; // for code pages other than 1252
};

RtfReadResult::Status RtfParser::run()
{
    while (!atEnd()) {
        const char c = m_in[m_pos];
        if (c == '{') {
            ++m_pos;
            openGroup();
        } else if (c == '}') {
            ++m_pos;
            if (!closeGroup())
                break;
        } else if (c == '\\') {
            if (!controlSequence()) {
                m_truncated = true;
                break;
            }
        } else {
            ++m_pos;
            if (c == '\r' || c == '\n')
                continue;
            if (!skippedAsFallback())
                addByte(c);
        }
    }
    if (!m_closed)
        endParagraph();
    return m_closed && !m_truncated ? RtfReadResult::Status::Ok : RtfReadResult::Status::Incomplete;
}

void RtfParser::openGroup()
{
    m_fallbackLeft = 0;
    flushRun();
    if (m_stack.size() >= kMaxDepth) {
        ++m_flattened;
        return;
    }
    m_stack.push_back(m_state);
}

bool RtfParser::closeGroup()
{
    m_fallbackLeft = 0;
    if (m_flattened > 0) {
        --m_flattened;
        return true;
    }
    if (m_stack.empty())
        return false;
    m_closed = m_stack.size() == 1;
    if (m_closed)
        endParagraph(); // the last paragraph takes the outer group's formatting
    flushRun(); // the group's text goes in with the group's format
    m_state = m_stack.back();
    m_stack.pop_back();
    return !m_closed;
}

bool RtfParser::skippedAsFallback()
{
    if (m_fallbackLeft <= 0)
        return false;
    --m_fallbackLeft;
    return true;
}

bool RtfParser::controlSequence()
{
    const qsizetype start = m_pos;
    ++m_pos; // the backslash
    if (atEnd())
        return false;
    const char first = m_in[m_pos];
    if (!isLetter(first)) {
        ++m_pos;
        if (first == '\'') {
            if (m_pos + 2 > m_in.size())
                return false;
            const std::optional<int> high = hexValue(m_in[m_pos]);
            const std::optional<int> low = hexValue(m_in[m_pos + 1]);
            if (!high || !low)
                return true; // not an escape after all: what follows is text
            m_pos += 2;
            if (!skippedAsFallback())
                addByte(static_cast<char>(*high * 16 + *low));
            return true;
        }
        if (!skippedAsFallback())
            controlSymbol(first);
        return true;
    }

    while (!atEnd() && isLetter(m_in[m_pos]))
        ++m_pos;
    const std::string_view word(m_in.data() + start + 1, static_cast<std::size_t>(m_pos - start - 1));
    std::optional<int> parameter;
    if (!atEnd() &&
        (isDigit(m_in[m_pos]) ||
         (m_in[m_pos] == '-' && m_pos + 1 < m_in.size() && isDigit(m_in[m_pos + 1])))) {
        const bool negative = m_in[m_pos] == '-';
        if (negative)
            ++m_pos;
        int value = 0;
        while (!atEnd() && isDigit(m_in[m_pos])) {
            // Widened first: a tenth digit on a value at the cap would overflow an int.
            value =
                static_cast<int>(std::min<qint64>(kMaxParameter, qint64(value) * 10 + (m_in[m_pos] - '0')));
            ++m_pos;
        }
        parameter = negative ? -value : value;
    }
    if (!atEnd() && m_in[m_pos] == ' ')
        ++m_pos; // the delimiter belongs to the word

    if (word == "bin"sv) {
        // Binary data is never text, fallback or not.
        const qsizetype length = std::max(0, parameter.value_or(0));
        if (length > m_in.size() - m_pos) {
            m_pos = m_in.size();
            return false;
        }
        m_pos += length;
        return true;
    }
    if (!skippedAsFallback())
        controlWord(word, parameter);
    return true;
}

void RtfParser::controlSymbol(char symbol)
{
    switch (symbol) {
    case '\\':
    case '{':
    case '}':
        addChar(QLatin1Char(symbol));
        break;
    case '~':
        addChar(QChar(0x00A0));
        break;
    case '-':
        addChar(QChar(0x00AD));
        break;
    case '_':
        addChar(QChar(0x2011));
        break;
    case '*':
        m_state.skip = true; // an optional destination: none of them is shown
        break;
    case '\r':
    case '\n':
        paragraph();
        break;
    default:
        break;
    }
}

void RtfParser::controlWord(std::string_view word, std::optional<int> parameter)
{
    const auto found = words().find(word);
    if (found == words().end())
        return;
    const Word &w = found->second;
    const bool on = parameter.value_or(1) != 0;
    switch (w.action) {
    case Action::Par:
        paragraph();
        break;
    case Action::Line:
        addChar(QChar::LineSeparator);
        break;
    case Action::Tab:
        addChar(QLatin1Char('\t'));
        break;
    case Action::Char:
        addChar(QChar(w.value));
        break;
    case Action::Bold:
        m_state.chars.bold = on;
        break;
    case Action::Italic:
        m_state.chars.italic = on;
        break;
    case Action::Underline:
        m_state.chars.underline = on;
        break;
    case Action::UnderlineNone:
        m_state.chars.underline = false;
        break;
    case Action::Hidden:
        m_state.hidden = on;
        break;
    case Action::FontSize: {
        const int halfPoints = parameter.value_or(kDefaultHalfPoints);
        m_state.chars.halfPoints = halfPoints > 0 ? std::min(halfPoints, kMaxHalfPoints) : kDefaultHalfPoints;
        break;
    }
    case Action::Plain:
        m_state.chars = CharKey();
        m_state.hidden = false;
        break;
    case Action::Pard:
        m_state.alignment = Qt::AlignLeft;
        m_state.spaceBefore = 0;
        m_state.spaceAfter = 0;
        break;
    case Action::Align:
        m_state.alignment = Qt::Alignment(w.value);
        break;
    case Action::SpaceBefore:
        m_state.spaceBefore = std::clamp(parameter.value_or(0), 0, kMaxSpacing);
        break;
    case Action::SpaceAfter:
        m_state.spaceAfter = std::clamp(parameter.value_or(0), 0, kMaxSpacing);
        break;
    case Action::Unicode:
        if (parameter) {
            int unit = *parameter;
            if (unit < 0)
                unit += kUnicodeRange;
            if (unit >= 0 && unit < kUnicodeRange)
                addChar(QChar(static_cast<char16_t>(unit)));
            m_fallbackLeft = m_state.unicodeSkip;
        }
        break;
    case Action::UnicodeSkip:
        m_state.unicodeSkip = std::clamp(parameter.value_or(kDefaultUnicodeSkip), 0, kMaxUnicodeSkip);
        break;
    case Action::Ansi:
        setCodePage(kDefaultCodePage);
        break;
    case Action::CodePage:
        setCodePage(parameter.value_or(kDefaultCodePage));
        break;
    case Action::Bin: // handled where the word is read
        break;
    case Action::Destination:
        m_state.skip = true;
        break;
    }
}

void RtfParser::setCodePage(int codePage)
{
    m_decoder.reset();
    if (codePage == kDefaultCodePage)
        return;
    if (codePage == kUtf8CodePage) {
        m_decoder.emplace(QStringDecoder::Utf8);
        return;
    }
    for (const char *prefix : {"windows-", "cp"}) {
        QStringDecoder decoder((QByteArray(prefix) + QByteArray::number(codePage)).constData());
        if (decoder.isValid()) {
            m_decoder.emplace(std::move(decoder));
            return;
        }
    }
    // An unknown code page reads as the usual Western one.
}

void RtfParser::addByte(char byte)
{
    const auto b = static_cast<unsigned char>(byte);
    if (m_decoder) {
        if (m_state.skip || m_state.hidden)
            return;
        // The decoder keeps a lead byte until its second byte comes.
        const QString decoded = m_decoder->decode(QByteArrayView(&byte, 1));
        for (const QChar c : decoded)
            addChar(c);
        return;
    }
    if (b >= 0x80 && b < 0xA0)
        addChar(QChar(kCp1252High[b - 0x80]));
    else
        addChar(QLatin1Char(byte));
}

void RtfParser::addChar(QChar c)
{
    if (m_state.skip || m_state.hidden)
        return;
    if (m_state.chars != m_runKey)
        flushRun();
    m_runKey = m_state.chars;
    m_run += c;
}

void RtfParser::paragraph()
{
    if (m_state.skip)
        return;
    endParagraph();
    m_cursor.insertBlock();
}

void RtfParser::endParagraph()
{
    flushRun();
    QTextBlockFormat block;
    block.setAlignment(m_state.alignment);
    block.setTopMargin(m_state.spaceBefore / double(kTwipsPerPixel));
    block.setBottomMargin(m_state.spaceAfter / double(kTwipsPerPixel));
    m_cursor.mergeBlockFormat(block);
}

void RtfParser::flushRun()
{
    if (m_run.isEmpty())
        return;
    QTextCharFormat format;
    format.setFontWeight(m_runKey.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(m_runKey.italic);
    format.setFontUnderline(m_runKey.underline);
    format.setFontPointSize(m_runKey.halfPoints / 2.0);
    m_cursor.insertText(m_run, format);
    m_run.clear();
}

} // namespace

RtfReadResult ReadRtf(QByteArrayView rtf, QTextDocument &document)
{
    document.clear();
    QByteArrayView trimmed = rtf;
    while (!trimmed.isEmpty() &&
           (trimmed.front() == ' ' || trimmed.front() == '\r' || trimmed.front() == '\n' ||
            trimmed.front() == '\t'))
        trimmed = trimmed.sliced(1);
    if (!trimmed.startsWith("{\\rtf")) {
        document.setPlainText(QString::fromUtf8(rtf));
        return {RtfReadResult::Status::Bad};
    }
    RtfParser parser(trimmed, document);
    return {parser.run()};
}

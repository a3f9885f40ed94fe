// The rich-text reader. Input: the file's bytes.

#include "fuzzcheck.h"

#include "common/rtfreader.h"

#include <QGuiApplication>
#include <QTextDocument>

#include <memory>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static auto app = std::make_unique<QGuiApplication>(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView rtf(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    QTextDocument fresh;
    const RtfReadResult result = ReadRtf(rtf, fresh);

    QByteArrayView start = rtf;
    while (!start.isEmpty() &&
           (start.front() == ' ' || start.front() == '\r' || start.front() == '\n' || start.front() == '\t'))
        start = start.sliced(1);
    FUZZ_CHECK((result.status == RtfReadResult::Status::Bad) == !start.startsWith("{\\rtf"));
    // At most one character per byte read, plus the document's closing paragraph separator.
    FUZZ_CHECK(fresh.characterCount() <= rtf.size() + 1);

    // The document's earlier content is replaced, and the same bytes read the same.
    QTextDocument used;
    used.setHtml(QStringLiteral("<p><b>earlier</b> text</p><p>second</p>"));
    const RtfReadResult again = ReadRtf(rtf, used);
    FUZZ_CHECK(again.status == result.status);
    FUZZ_CHECK(used.toPlainText() == fresh.toPlainText());
    FUZZ_CHECK(used.blockCount() == fresh.blockCount());
    return 0;
}

// The rich-text reader. Input: the file's bytes.

#include "fuzzcheck.h"

#include "common/rtfreader.h"

#include <QGuiApplication>
#include <QTextDocument>

#include <algorithm>
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
    const auto blank = [](char c) { return c == ' ' || c == '\r' || c == '\n' || c == '\t'; };
    const qsizetype start = std::find_if_not(rtf.begin(), rtf.end(), blank) - rtf.begin();
    FUZZ_CHECK((result.status == RtfReadResult::Status::Bad) == !rtf.sliced(start).startsWith("{\\rtf"));
    // At most one character per byte read, plus the closing paragraph separator.
    FUZZ_CHECK(fresh.characterCount() <= rtf.size() + 1);

    // The document's earlier content is replaced, and the same bytes read the same.
    QTextDocument used;
    used.setHtml(QStringLiteral("<p><b>earlier</b> text</p><p>second</p>"));
    FUZZ_CHECK(ReadRtf(rtf, used).status == result.status);
    FUZZ_CHECK(used.toPlainText() == fresh.toPlainText() && used.blockCount() == fresh.blockCount());
    return 0;
}

#include "common/rtfreader.h"
#include "support/offscreenmain.h"

#include <QFile>
#include <QTextCursor>
#include <QTextDocument>

using namespace Qt::StringLiterals;

// The rich-text reader against files as word processors write them, and against broken ones.
class TestRtfReader : public QObject
{
    Q_OBJECT

private slots:
    void characterFormats();
    void read_data();
    void read();
    void everyCutOfAFileEndsIncomplete();
};

using Status = RtfReadResult::Status;
Q_DECLARE_METATYPE(RtfReadResult::Status)

namespace {

QByteArray sample(const char *name)
{
    QFile file(QStringLiteral(VANTORA_RTF_SAMPLES "/") + QLatin1String(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QTextCharFormat formatOf(const QTextDocument &document, const QString &text)
{
    QTextCursor at = document.find(text, 0, QTextDocument::FindCaseSensitively);
    if (at.isNull())
        return {};
    at.setPosition(at.selectionStart() + 1);
    return at.charFormat();
}

} // namespace

// Groups restore the formats around them.
void TestRtfReader::characterFormats()
{
    QTextDocument document;
    ReadRtf(sample("letter.rtf"), document);
    for (const auto &[text, bold, italic] :
         {std::tuple{u"and italic"_s, true, true}, std::tuple{u"back to bold"_s, true, false},
          std::tuple{u"plain again"_s, false, false}}) {
        const QTextCharFormat format = formatOf(document, text);
        QCOMPARE(format.fontWeight() == QFont::Bold, bold);
        QCOMPARE(format.fontItalic(), italic);
        QCOMPARE(format.fontPointSize(), 11.0);
    }
}

void TestRtfReader::read_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<Status>("status");
    QTest::addColumn<QString>("text");
    QTest::newRow("letter: tables of fonts and colours, formats, accents, CR LF lines")
        << sample("letter.rtf") << Status::Ok
        << QString::fromUtf8("Dear reader\n"
                             "This letter has bold, italic and underlined words, a café with crème brûlée "
                             "for 5€, and red text in another font.\n"
                             "Next line below:\u2028second line\tafter a tab.\n"
                             "Grouped bold and italic back to bold plain again.\n"
                             "Big small.\n");
    QTest::newRow("writer: styles, information, fields, Unicode with fallbacks, pictures, binary")
        << sample("writer.rtf") << Status::Ok
        << QString::fromUtf8("Heading\n"
                             "Quotes: \u201csmart\u201d and \u2018single\u2019.\n"
                             "Two-byte fallback: 日本 end.\n"
                             "No fallback: 中文 end.\n"
                             "Face: 😀.\n"
                             "Link: visit us.\n"
                             "Skipped: -5 kept\n"
                             "Binary: after\n"
                             "Symbols: a\u00a0b\u2011c\u00add {braces} back\\slash\u2014\u2013\u2022\n"
                             "right\n"
                             "Last");
    QTest::newRow("extra closing brace ends the text") << QByteArray("{\\rtf1 a}b} c}") << Status::Ok << "a";
    QTest::newRow("no closing brace") << QByteArray("{\\rtf1 {\\b a} b") << Status::Incomplete << "a b";
    QTest::newRow("\\u out of range") << QByteArray("{\\rtf1 a\\u99999?b}") << Status::Ok << "ab";
    QTest::newRow("endless number") << "{\\rtf1 \\fs" + QByteArray(5000, '9') + " big}" << Status::Ok
                                    << "big";
    QTest::newRow("fallback cut by the group's end")
        << QByteArray("{\\rtf1 {\\uc5\\u65 B}C}") << Status::Ok << "AC";
    QTest::newRow("100000 groups deep")
        << "{\\rtf1 " + QByteArray(100000, '{') + "deep" + QByteArray(100000, '}') + " out}" << Status::Ok
        << "deep out";
    QTest::newRow("code page 1251") << QByteArray(
                                           "{\\rtf1\\ansi\\ansicpg1251 \\'cf\\'f0\\'e8\\'e2\\'e5\\'f2}")
                                    << Status::Ok << QString::fromUtf8("Привет");
    QTest::newRow("unknown code page")
        << QByteArray("{\\rtf1\\ansicpg99999 caf\\'e9}") << Status::Ok << QString::fromUtf8("café");
    QTest::newRow("not rich text: shown as it is")
        << QByteArray("Plain help\ntext") << Status::Bad << "Plain help\ntext";
}

void TestRtfReader::read()
{
    QFETCH(QByteArray, rtf);
    QTextDocument document;
    QTEST(ReadRtf(rtf, document).status, "status");
    QTEST(document.toRawText().replace(QChar::ParagraphSeparator, u'\n'), "text");
}

void TestRtfReader::everyCutOfAFileEndsIncomplete()
{
    for (const char *name : {"letter.rtf", "writer.rtf"}) {
        const QByteArray rtf = sample(name);
        // The outer group's closing brace is the last byte that counts (line ends may follow).
        const qsizetype closing = rtf.lastIndexOf('}');
        for (qsizetype length = 5; length <= closing; ++length) {
            QTextDocument document;
            QCOMPARE(ReadRtf(rtf.first(length), document).status, Status::Incomplete);
        }
    }
}

VANTORA_WIDGET_TEST_MAIN(TestRtfReader)
#include "tst_rtfreader.moc"

#include "shell/programpage.h"

#include "camlist/camlistfile.h"
#include "common/appidentity.h"
#include "shell/helpwindow.h"
#include "views/picturesaver.h"

#include <QFile>
#include <QUrl>

#include <utility>

namespace {

constexpr char kResourceScheme[] = "qrc";
constexpr char kFieldStart[] = "{{";
constexpr char kFieldEnd[] = "}}";

QString fileLink(const QString &path)
{
    return QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
}

QString fieldValue(QStringView name, const ProgramPageFacts &facts, bool *known)
{
    const std::pair<const char *, QString> fields[] = {
        {"version", facts.version},          {"licence", facts.licence},
        {"help-file", facts.helpFile},       {"help-link", fileLink(facts.helpFile)},
        {"cam-folder", facts.camFolder},     {"cam-link", fileLink(facts.camFolder)},
        {"camlist-file", facts.camListFile}, {"camlist-link", fileLink(facts.camListFile)},
    };
    for (const auto &[fieldName, value] : fields) {
        if (name == QLatin1String(fieldName)) {
            *known = true;
            return value.toHtmlEscaped();
        }
    }
    *known = false;
    return {};
}

} // namespace

QString programPageHtml(const QString &pageTemplate, const ProgramPageFacts &facts)
{
    const QLatin1String start(kFieldStart);
    const QLatin1String end(kFieldEnd);
    QString html;
    html.reserve(pageTemplate.size());
    qsizetype from = 0;
    while (from < pageTemplate.size()) {
        const qsizetype open = pageTemplate.indexOf(start, from);
        const qsizetype close = open < 0 ? -1 : pageTemplate.indexOf(end, open + start.size());
        if (close < 0) {
            html += QStringView(pageTemplate).mid(from);
            break;
        }
        html += QStringView(pageTemplate).mid(from, open - from);
        const QStringView name =
            QStringView(pageTemplate).mid(open + start.size(), close - open - start.size());
        bool known = false;
        const QString value = fieldValue(name, facts, &known);
        html += known ? value : QStringView(pageTemplate).mid(open, close + end.size() - open).toString();
        from = close + end.size();
    }
    return html;
}

QString programPageFor(const QString &address)
{
    // A page among the program's resources: a "qrc:" address naming one.
    const QUrl url(address);
    if (url.scheme() != QLatin1String(kResourceScheme) || url.path().isEmpty())
        return {};
    QFile page(QLatin1Char(':') + url.path());
    if (!page.open(QIODevice::ReadOnly))
        return {};
    const ProgramPageFacts facts{programVersion(), programLicence(), HelpFilePath(),
                                 PictureSaver::camFolder(), camListPath()};
    return programPageHtml(QString::fromUtf8(page.readAll()), facts);
}

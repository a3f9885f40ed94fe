#pragma once

#include <QString>

// What the program's own web page tells about this copy of the program.
struct ProgramPageFacts
{
    QString version;
    QString licence;
    QString helpFile;
    QString camFolder;
    QString camListFile;
};

// The page template with its {{name}} fields filled in from facts, in one pass (a value that
// holds a field's name stays as it is): each text escaped for HTML, each path also as a file: link
// ("help-link", "cam-link", "camlist-link"). An unknown field is left as written.
QString programPageHtml(const QString &pageTemplate, const ProgramPageFacts &facts);

// The page shown for `address` in the web page window: when address names one of the program's
// own pages ("qrc:/vantora/about.html"), that page filled in with this run's facts; otherwise an
// empty text (the browser fetches the address itself).
QString programPageFor(const QString &address);

#include "common/appidentity.h"

#include <QCoreApplication>

namespace {

// The version information of the program.
constexpr char kProductName[] = "Vantora";
constexpr char kCompanyName[] = "Vantora Project";
// The program's web address: its own page, shipped inside it, until the project has a site.
constexpr char kComments[] = "qrc:/vantora/about.html";

} // namespace

QString strProductName;
QString strCompanyName;
QString strComments;

void ReadAppIdentity()
{
    strProductName = QString::fromLatin1(kProductName);
    strCompanyName = QString::fromLatin1(kCompanyName);
    strComments = QString::fromLatin1(kComments);
    QCoreApplication::setApplicationName(strProductName);
    QCoreApplication::setApplicationVersion(programVersion());
}

QString programVersion()
{
    return QStringLiteral(VANTORA_VERSION);
}

QString programLicence()
{
    return QStringLiteral(VANTORA_LICENSE);
}

QString desktopId()
{
    return QStringLiteral(VANTORA_APP_ID);
}

#include "common/appidentity.h"

#include <QCoreApplication>

namespace {

// The version information of the program.
constexpr char kProductName[] = "Vantora";
constexpr char kCompanyName[] = "Vantora Project";
constexpr char kComments[] = "http://vantora.example.org/";

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
}

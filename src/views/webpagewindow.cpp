#include "views/webpagewindow.h"

#include "common/pictures.h"
#include "common/twips.h"

#include <QCoreApplication>
#include <QIcon>
#include <QResizeEvent>
#include <QShowEvent>
#include <QUrl>
#include <QWebEngineView>

#include <algorithm>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {
constexpr double kBrowserWidthMargin = 150; // twips
constexpr double kBrowserHeightMargin = 400; // twips
} // namespace

QSize webBrowserSize(const QSize &outer)
{
    return QSize(std::max(0, twipsToPixels(pixelsToTwips(outer.width()) - kBrowserWidthMargin)),
                 std::max(0, twipsToPixels(pixelsToTwips(outer.height()) - kBrowserHeightMargin)));
}

void WebPageWindow::prepareApplication()
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
#ifdef Q_OS_UNIX
    if (geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
#endif
}

WebPageWindow::WebPageWindow(const QString &address, QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("Form5"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(QIcon(QString::fromLatin1(Pictures::AppIcon)));
    m_WebBrowser1 = new QWebEngineView(this);
    m_WebBrowser1->setObjectName(QStringLiteral("WebBrowser1"));
    m_WebBrowser1->setAccessibleName(address);
    Form_Load(address);
}

WebPageWindow::~WebPageWindow() = default;

void WebPageWindow::Form_Load(const QString &address)
{
    setWindowTitle(address);
    Form_Resize();
    m_WebBrowser1->load(QUrl(address));
}

void WebPageWindow::Form_Resize()
{
    m_WebBrowser1->setGeometry(QRect(QPoint(0, 0), webBrowserSize(frameGeometry().size())));
}

void WebPageWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

void WebPageWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    Form_Resize(); // the frame is known once the window is shown
}

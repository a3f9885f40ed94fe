#include "views/webpagewindow.h"

#include "common/pictures.h"
#include "common/twips.h"
#include "views/webbrowserfactory.h"
#include "views/webbrowserloader.h"

#include <QIcon>
#include <QLabel>
#include <QResizeEvent>
#include <QShowEvent>
#include <QUrl>

#include <algorithm>

namespace {
constexpr double kBrowserWidthMargin = 150; // twips
constexpr double kBrowserHeightMargin = 400; // twips
constexpr char kNoBrowser[] = "The web page cannot be shown: the program's browser module did not load.";
} // namespace

QSize webBrowserSize(const QSize &outer)
{
    return QSize(std::max(0, twipsToPixels(pixelsToTwips(outer.width()) - kBrowserWidthMargin)),
                 std::max(0, twipsToPixels(pixelsToTwips(outer.height()) - kBrowserHeightMargin)));
}

WebPageWindow::WebPageWindow(const QString &address, const QString &pageHtml, QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("Form5"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(QIcon(QString::fromLatin1(Pictures::AppIcon)));
    QString error;
    if (WebBrowserFactory *factory = webBrowserFactory(&error)) {
        m_WebBrowser1 = factory->createBrowser(this);
    } else {
        auto *reason = new QLabel(QString::fromLatin1(kNoBrowser) + QLatin1Char('\n') + error, this);
        reason->setWordWrap(true);
        reason->setAlignment(Qt::AlignCenter);
        m_WebBrowser1 = reason;
    }
    m_WebBrowser1->setObjectName(QStringLiteral("WebBrowser1"));
    m_WebBrowser1->setAccessibleName(address);
    Form_Load(address, pageHtml);
}

WebPageWindow::~WebPageWindow() = default;

void WebPageWindow::Form_Load(const QString &address, const QString &pageHtml)
{
    setWindowTitle(address);
    Form_Resize();
    WebBrowserFactory *factory = webBrowserFactory();
    if (factory == nullptr)
        return;
    if (pageHtml.isEmpty())
        factory->navigate(m_WebBrowser1, QUrl(address));
    else
        factory->showHtml(m_WebBrowser1, pageHtml, QUrl(address));
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

#include "views/wallwindow.h"

#include "common/pictureworkers.h"
#include "common/screensaver.h"
#include "slots/cameraslot.h"
#include "views/walltile.h"

#include <QCloseEvent>
#include <QFutureWatcher>
#include <QKeyEvent>
#include <QPainter>
#include <QPalette>
#include <QScreen>
#include <QTimer>
#include <QtConcurrent>

#include <cmath>

namespace {

constexpr double kDefaultAspect = 4.0 / 3.0; // a camera whose first picture has not come yet
constexpr double kAspectTolerance = 1e-3;
constexpr int kSettleMs = 150;
constexpr int kNormalShare = 3; // a normal window takes two thirds of the screen each way
const QColor kEmptyText(160, 160, 160);

} // namespace

WallWindow::WallWindow(SlotPane *pane, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_pane(pane)
{
    setObjectName(QStringLiteral("frmWall"));
    setWindowTitle(QStringLiteral("Camera Wall"));
    setAccessibleName(windowTitle());
    setAttribute(Qt::WA_DeleteOnClose);
    setFocusPolicy(Qt::StrongFocus);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    setAutoFillBackground(true);

    for (int i = 0; i < SlotPane::kSlotCount; ++i) {
        auto *tile = new WallTile(i, this);
        tile->hide();
        connect(tile, &WallTile::clicked, this, &WallWindow::tileClicked);
        m_tiles.at(static_cast<std::size_t>(i)) = tile;
    }
    m_settle = new QTimer(this);
    m_settle->setObjectName(QStringLiteral("timSettle"));
    m_settle->setSingleShot(true);
    m_settle->setInterval(kSettleMs);
    connect(m_settle, &QTimer::timeout, this, &WallWindow::decodeStandIns);

    SetScreenSaverActive(false, ScreenSaverHolder::CameraWall);
    for (int i = 0; i < SlotPane::kSlotCount; ++i) {
        tile(i)->setName(m_pane->camName(i));
        showOutcome(i);
        showProgress(i);
    }
    relayout();
}

WallWindow::~WallWindow()
{
    // Destroyed with its parent while still open: the slots and the screen saver all the same.
    release();
}

WallTile *WallWindow::tile(int Index) const
{
    return m_tiles.at(static_cast<std::size_t>(Index));
}

bool WallWindow::isOpen(int Index) const
{
    return !m_pane->slot(Index)->isHidden();
}

void WallWindow::showOn(QScreen *screen)
{
    if (screen != nullptr)
        setGeometry(screen->geometry()); // also where no window manager makes it full screen
    showFullScreen();
}

void WallWindow::toggleFullScreen()
{
    QScreen *now = screen();
    if (!isFullScreen()) {
        showOn(now);
        return;
    }
    showNormal();
    // Still as large as the screen (it was opened full screen): two thirds of it, in its middle.
    if (now != nullptr && geometry().width() >= now->geometry().width() &&
        geometry().height() >= now->geometry().height()) {
        const QRect available = now->availableGeometry();
        const QSize size = available.size() * 2 / kNormalShare;
        setGeometry(QRect(available.center() - QPoint(size.width() / 2, size.height() / 2), size));
    }
}

void WallWindow::returnToFront()
{
    raise();
    activateWindow();
}

void WallWindow::slotChanged(int Index, SlotChange what)
{
    if (m_released)
        return;
    switch (what) {
    case SlotChange::Camera:
        tile(Index)->setName(m_pane->camName(Index));
        if (isOpen(Index) != tile(Index)->isVisibleTo(this))
            relayout();
        if (!isOpen(Index))
            showPicture(Index); // nothing of a stopped camera stays on its tile
        break;
    case SlotChange::Picture:
        if (isOpen(Index) &&
            std::abs(layoutAspect(Index) - m_aspects.at(std::size_t(Index))) > kAspectTolerance)
            relayout(); // the picture's shape changes the best grid
        showPicture(Index);
        break;
    case SlotChange::Progress:
    case SlotChange::Fetching:
        showProgress(Index);
        break;
    case SlotChange::Outcome:
        showOutcome(Index);
        break;
    }
}

double WallWindow::layoutAspect(int Index) const
{
    const SlotPicture &picture = m_pane->picture(Index);
    const QSize natural = picture.naturalSize();
    if (picture.kind() == SlotPicture::Kind::Camera && !natural.isEmpty())
        return static_cast<double>(natural.width()) / natural.height();
    // The not-found picture or none: the camera keeps the shape its pictures had.
    const double before = m_aspects.at(static_cast<std::size_t>(Index));
    return before > 0 ? before : kDefaultAspect;
}

void WallWindow::relayout()
{
    QList<int> open;
    QList<double> aspects;
    for (int i = 0; i < SlotPane::kSlotCount; ++i) {
        const double aspect = isOpen(i) ? layoutAspect(i) : 0;
        m_aspects.at(static_cast<std::size_t>(i)) = aspect;
        if (isOpen(i)) {
            open.append(i);
            aspects.append(aspect);
        }
    }
    const WallTileSpace space = WallTile::space(fontMetrics());
    m_grid = chooseWallGrid(size(), aspects, space);
    for (int i = 0; i < SlotPane::kSlotCount; ++i) {
        const qsizetype place = open.indexOf(i);
        WallTile *t = tile(i);
        if (place < 0) {
            t->hide();
            m_pane->setViewBox(i, QSize());
            continue;
        }
        t->setGeometry(wallTileRect(m_grid, size(), static_cast<int>(place)));
        t->show();
        m_pane->setViewBox(i, deviceBox(t));
        if (t->serial() != m_pane->picture(i).serial() || t->decodedFor() != deviceBox(t))
            showPicture(i);
    }
    update(); // the empty wall's text comes and goes
}

QSize WallWindow::deviceBox(const WallTile *tile) const
{
    const QSize box = tile->pictureBox().size();
    const qreal ratio = devicePixelRatioF();
    return QSize(qRound(box.width() * ratio), qRound(box.height() * ratio));
}

void WallWindow::showPicture(int Index)
{
    WallTile *t = tile(Index);
    if (!isOpen(Index)) {
        t->setPicture(QImage(), QSize(), 0, QSize());
        return;
    }
    const SlotPicture &picture = m_pane->picture(Index);
    const QSize box = deviceBox(t);
    switch (picture.kind()) {
    case SlotPicture::Kind::Blank:
        t->setPicture(QImage(), QSize(), picture.serial(), box);
        break;
    case SlotPicture::Kind::NotFound:
        t->setPicture(picture.slotImage(), picture.naturalSize(), picture.serial(), box);
        break;
    case SlotPicture::Kind::Camera:
        if (!picture.viewImage().isNull() && picture.viewBox() == box) {
            t->setPicture(picture.viewImage(), picture.naturalSize(), picture.serial(), box);
        } else if (t->serial() != picture.serial() || t->decodedFor() != box) {
            // Decoded before the wall opened or for another size: what is at hand stands in until
            // the picture is decoded for the tile.
            const bool same = t->serial() == picture.serial() && !t->image().isNull();
            const QImage standIn = same        ? t->image()
                : picture.viewImage().isNull() ? picture.slotImage()
                                               : picture.viewImage();
            t->setPicture(standIn, picture.naturalSize(), picture.serial(), QSize());
            m_settle->start();
        }
        break;
    }
}

void WallWindow::decodeStandIns()
{
    for (int i = 0; i < SlotPane::kSlotCount; ++i) {
        WallTile *t = tile(i);
        if (!isOpen(i) || t->decodedFor() == deviceBox(t))
            continue;
        const SlotPicture picture = m_pane->picture(i);
        const QSize box = deviceBox(t);
        auto *watcher = new QFutureWatcher<QImage>(this);
        connect(watcher, &QFutureWatcherBase::finished, this,
                [this, watcher, i, box, serial = picture.serial()] {
                    watcher->deleteLater();
                    // Only for the picture the slot still shows, in a tile still of that size.
                    const SlotPicture &now = m_pane->picture(i);
                    const QImage image = watcher->result();
                    if (m_released || !isOpen(i) || now.serial() != serial || deviceBox(tile(i)) != box ||
                        image.isNull())
                        return;
                    tile(i)->setPicture(image, now.naturalSize(), serial, box);
                });
        watcher->setFuture(
            QtConcurrent::run(pictureWorkers(), [picture, box] { return picture.fittedImage(box); }));
    }
}

void WallWindow::showOutcome(int Index)
{
    const CameraSlot *s = m_pane->slot(Index);
    tile(Index)->setOutcome(s->fetchNote(), s->failuresInRow() > 0);
}

void WallWindow::showProgress(int Index)
{
    const CameraSlot *s = m_pane->slot(Index);
    tile(Index)->setProgress(s->progress(), s->isIndicatorShown());
}

void WallWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    relayout();
}

void WallWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    if (event->key() == Qt::Key_F11 && event->modifiers() == Qt::NoModifier) {
        toggleFullScreen();
        return;
    }
    QWidget::keyPressEvent(event);
}

void WallWindow::closeEvent(QCloseEvent *event)
{
    release();
    QWidget::closeEvent(event);
}

void WallWindow::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    if (m_grid.columns > 0)
        return;
    QPainter painter(this);
    painter.setPen(kEmptyText);
    painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap,
                     QStringLiteral("No camera is open. Cameras started from the list appear here."));
}

void WallWindow::release()
{
    if (m_released)
        return;
    m_released = true;
    // The slots go back to decoding for themselves alone.
    for (int i = 0; i < SlotPane::kSlotCount && !m_pane.isNull(); ++i)
        m_pane->setViewBox(i, QSize());
    SetScreenSaverActive(true, ScreenSaverHolder::CameraWall);
}

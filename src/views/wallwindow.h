#pragma once

#include "slots/slotchange.h"
#include "slots/slotpane.h"
#include "views/wallgrid.h"

#include <QPointer>
#include <QWidget>

#include <array>

class QCloseEvent;
class QKeyEvent;
class QPaintEvent;
class QResizeEvent;
class QScreen;
class QTimer;
class WallTile;

// The camera wall (objectName "frmWall", caption "Camera Wall"): every open camera at once, in
// the grid that shows their pictures largest, re-chosen as cameras open and stop and as the window
// changes size. F11 switches between full screen and a normal window, Escape closes it. While it is
// open the screen saver is kept away and the slots' replies are decoded straight to the size of
// their tiles (in device pixels). Deletes itself when closed.
class WallWindow : public QWidget
{
    Q_OBJECT

public:
    explicit WallWindow(SlotPane *pane, QWidget *parent = nullptr);
    ~WallWindow() override;

    // Full screen on screen (the window manager's own full-screen state); F11 leaves it.
    void showOn(QScreen *screen);
    void toggleFullScreen();
    // Back in front, as after the full-screen view of a tile's camera closes.
    void returnToFront();

    // A slot changed (wired to the slot pane).
    void slotChanged(int Index, SlotChange what);

    WallGrid grid() const { return m_grid; }
    // The tile of slot Index (hidden while the slot holds no camera).
    WallTile *tile(int Index) const;

signals:
    // A tile was clicked: show its camera in the detail view, then full screen.
    void tileClicked(int Index);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    bool isOpen(int Index) const;
    // The aspect ratio the grid counts slot Index's camera with: its picture's, else the one it
    // had (a camera failing now and then does not shake the grid), else 4:3.
    double layoutAspect(int Index) const;
    // The grid chosen afresh and the tiles placed; each slot learns its tile's size.
    void relayout();
    // The tile's box in device pixels: what the slot's replies are decoded to.
    QSize deviceBox(const WallTile *tile) const;
    // The slot's current picture into its tile: the one decoded for the tile when there is one,
    // else a stand-in until a decode for the tile comes back.
    void showPicture(int Index);
    void showOutcome(int Index);
    void showProgress(int Index);
    // Decodes for their tiles the pictures shown as stand-ins, once the layout has settled.
    void decodeStandIns();
    void release();

    QPointer<SlotPane> m_pane; // gone first when the main window goes
    std::array<WallTile *, SlotPane::kSlotCount> m_tiles{};
    std::array<double, SlotPane::kSlotCount> m_aspects{}; // each open slot's aspect ratio in the last layout
    WallGrid m_grid;
    QTimer *m_settle = nullptr; // timSettle: a resize in progress decodes nothing until it rests
    bool m_released = false;
};

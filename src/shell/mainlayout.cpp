#include "shell/mainlayout.h"

namespace {

// Room under the columns for the status line and the window's border, title bar and menu bar.
constexpr float kBottomReserve = 800.0f;
// The status line stops short of the window's right edge.
constexpr float kStatusRightMargin = 200.0f;
// The list box ends this far above the bottom of its column.
constexpr float kListBottomGap = 20.0f;
// The slot pane's window ends this far above the list box's bottom edge.
constexpr float kPaneWindowBottomGap = 280.0f;
// The detail picture area is this much narrower than the "Viewer" column.
constexpr float kPictureWidthMargin = 400.0f;
// The detail picture's scroll bars keep this distance from the picture area's edges.
constexpr float kScrollBarInset = 60.0f;

} // namespace

MainLayout LayoutMainWindow(float W, float H, const MainLayout &current)
{
    MainLayout g = current;
    if (W < kLayoutMinWidth || H < kLayoutMinHeight)
        return g;

    g.txtStatus.top = H - g.txtStatus.height - kBottomReserve;
    g.txtStatus.width = W - kStatusRightMargin;
    g.Frame1.height = H - g.txtStatus.height - kBottomReserve;
    g.frmCams.height = H - g.txtStatus.height - kBottomReserve;
    g.frmMain.height = H - g.txtStatus.height - kBottomReserve;
    g.frmMain.width = W - g.frmMain.left;
    g.List1.height = g.frmCams.height - g.List1.top - kListBottomGap;
    g.picWindowOuter.height = g.List1.top + g.List1.height - kPaneWindowBottomGap;
    g.VScroll1.height = g.picWindowOuter.height;
    g.Picture1.height = g.frmMain.height - g.frmDetails.height - g.txtStatus.height;
    g.Picture1.width = g.frmMain.width - kPictureWidthMargin;
    g.frmDetails.top = g.Picture1.top + g.Picture1.height;
    g.frmDetails.width = g.Picture1.width;
    g.VScroll2.height = g.Picture1.height - g.Command1.height - kScrollBarInset;
    g.VScroll2.left = g.Picture1.width - g.VScroll2.width - kScrollBarInset;
    g.HScroll1.width = g.Picture1.width - g.Command1.width - kScrollBarInset;
    g.HScroll1.top = g.Picture1.height - g.HScroll1.height - kScrollBarInset;
    g.Command1.top = g.HScroll1.top;
    g.Command1.left = g.VScroll2.left;
    return g;
}

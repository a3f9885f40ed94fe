#pragma once

#include "common/twips.h"

// The geometry of the main window's controls that LayoutMainWindow reads or moves, in twips.
// Every rectangle is relative to its own container, as the controls hold it.
struct MainLayout
{
    TwipRect txtStatus;
    TwipRect Frame1;
    TwipRect List1;
    TwipRect frmCams;
    TwipRect picWindowOuter;
    TwipRect VScroll1;
    TwipRect frmMain;
    TwipRect Picture1;
    TwipRect frmDetails;
    TwipRect VScroll2;
    TwipRect HScroll1;
    TwipRect Command1;

    friend bool operator==(const MainLayout &, const MainLayout &) = default;
};

// Below this outer size the layout leaves every control where it is.
inline constexpr float kLayoutMinWidth = 12180.0f;
inline constexpr float kLayoutMinHeight = 6000.0f;

// Fits the columns, the list box, the slot pane's window and the detail picture area to a window
// of outer size W x H twips (border, title bar and menu bar included). Each step works on the
// results of the steps before it; what no step names is returned as it came in.
MainLayout LayoutMainWindow(float W, float H, const MainLayout &current);

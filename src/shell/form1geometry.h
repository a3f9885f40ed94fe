#pragma once

#include "shell/mainlayout.h"
#include "views/viewergeometry.h"

// The main window's composition as designed (the "Viewer" column's in views/viewergeometry.h), in twips, each
// rectangle relative to its container.
namespace Form1Geometry {

// Client area the window first gets (menu bar not included).
inline constexpr float kClientWidth = 15240.0f;
inline constexpr float kClientHeight = 6975.0f;

// "Controls" column.
inline constexpr TwipRect Frame1{0, 0, 2535, 10815};
inline constexpr TwipRect cmdAdd{120, 240, 435, 435};
inline constexpr TwipRect cmdRemove{600, 240, 435, 435};
inline constexpr TwipRect cmdEdit{1080, 240, 435, 435};
inline constexpr TwipRect cmdStartCam{1560, 240, 435, 435};
inline constexpr TwipRect cmdStopAll{2040, 240, 435, 435};
inline constexpr TwipRect Command2{120, 720, 2350, 435};
inline constexpr TwipRect chkSave{120, 1150, 2355, 315};
inline constexpr TwipRect Label1{120, 1440, 1815, 195};
inline constexpr TwipRect List1{60, 1680, 2415, 9030};

// "Webcams" column; the slot pane places its own window and scroll bar inside.
inline constexpr TwipRect frmCams{2520, 0, 3915, 10815};
inline constexpr TwipRect picWindowOuter{120, 240, 3495, 10450};
inline constexpr TwipRect VScroll1{3600, 240, 255, 10455};

// Status line.
inline constexpr TwipRect txtStatus{0, 10800, 15195, 315};

// The controls the layout works on, as designed.
inline constexpr MainLayout kInitialLayout{txtStatus,
                                           Frame1,
                                           List1,
                                           frmCams,
                                           picWindowOuter,
                                           VScroll1,
                                           ViewerGeometry::frmMain,
                                           ViewerGeometry::Picture1,
                                           ViewerGeometry::frmDetails,
                                           ViewerGeometry::VScroll2,
                                           ViewerGeometry::HScroll1,
                                           ViewerGeometry::Command1};

} // namespace Form1Geometry

#pragma once

#include "shell/mainlayout.h"

// The main window's composition as designed, in twips, each rectangle relative to its container.
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

// "Viewer" column.
inline constexpr TwipRect frmMain{6480, 0, 8655, 10815};
inline constexpr TwipRect Picture1{120, 240, 8415, 8595};
inline constexpr TwipRect imgMain{0, 0, 915, 855};
inline constexpr TwipRect VScroll2{8160, 0, 195, 7380};
inline constexpr TwipRect HScroll1{0, 7380, 8175, 195};
inline constexpr TwipRect Command1{8160, 7380, 195, 195};
inline constexpr TwipRect frmDetails{120, 8760, 8475, 1995};

// Inside frmDetails.
inline constexpr TwipRect cmdSave{120, 180, 1275, 255};
inline constexpr TwipRect Command3{1440, 180, 1275, 255};
inline constexpr TwipRect Label6{2820, 220, 675, 255};
inline constexpr TwipRect Slider1{3360, 180, 2055, 255};
// The six particulars rows: caption label at the left, value label beside it.
inline constexpr float kRowFirstTop = 480.0f;
inline constexpr float kRowStep = 240.0f;
inline constexpr float kRowHeight = 255.0f;
inline constexpr float kCaptionLeft = 120.0f;
inline constexpr float kCaptionWidth = 1785.0f; // up to the value column
inline constexpr float kValueLeft = 1920.0f;
inline constexpr float kValueWidth = 3135.0f;

// Status line.
inline constexpr TwipRect txtStatus{0, 10800, 15195, 315};

// The controls the layout works on, as designed.
inline constexpr MainLayout kInitialLayout{txtStatus,      Frame1,   List1,    frmCams,
                                           picWindowOuter, VScroll1, frmMain,  Picture1,
                                           frmDetails,     VScroll2, HScroll1, Command1};

} // namespace Form1Geometry

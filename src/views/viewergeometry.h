#pragma once

#include "common/twips.h"

// The "Viewer" frame as designed, in twips, each rectangle relative to its container.
namespace ViewerGeometry {

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
// Beside the zoom slider, the size of the two buttons, in the free end of their row.
inline constexpr TwipRect cmdHistory{5520, 180, 1275, 255};
// The six particulars rows: caption label at the left, value label beside it.
inline constexpr float kRowFirstTop = 480.0f;
inline constexpr float kRowStep = 240.0f;
inline constexpr float kRowHeight = 255.0f;
inline constexpr float kCaptionLeft = 120.0f;
inline constexpr float kCaptionWidth = 1785.0f; // up to the value column
inline constexpr float kValueLeft = 1920.0f;
inline constexpr float kValueWidth = 3135.0f;

} // namespace ViewerGeometry

#pragma once

#include <QtGlobal>

// One scroll bar of the detail picture after a zoom.
struct ScrollSetting
{
    bool enabled = false;
    qint64 maximum = 0; // twips; only set on the bar when enabled (the bar keeps its value)
};

// The detail picture's size and scroll ranges at one zoom factor, in twips.
struct ZoomGeometry
{
    qint64 width = 0;
    qint64 height = 0;
    ScrollSetting horizontal; // disabled: the picture's left edge goes to 0
    ScrollSetting vertical; // disabled: the picture's top edge goes to 0
};

// The picture is zoom times its natural size (picWidth x picHeight). The visible width is the
// picture area's width less the vertical bar's width, the visible height its height less the
// horizontal bar's height (single precision). A bar is enabled when the picture is larger than
// the visible part; its maximum is the part that lies outside, to the nearest twip (halves to
// even). Ranges are not capped at 16 bits: every part of a large zoomed picture can be reached.
ZoomGeometry computeZoom(int zoom, qint64 picWidth, qint64 picHeight, float areaWidth, float areaHeight,
                         float vScrollWidth, float hScrollHeight);

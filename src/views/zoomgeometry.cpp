#include "views/zoomgeometry.h"

#include <cmath>

namespace {

ScrollSetting scrollFor(qint64 pictureExtent, float visibleExtent)
{
    ScrollSetting bar;
    if (visibleExtent < static_cast<float>(pictureExtent)) {
        bar.enabled = true;
        // std::nearbyint rounds halves to even in the default rounding mode.
        bar.maximum = static_cast<qint64>(std::nearbyint(static_cast<double>(pictureExtent) - visibleExtent));
    }
    return bar;
}

} // namespace

ZoomGeometry computeZoom(int zoom, qint64 picWidth, qint64 picHeight, float areaWidth, float areaHeight,
                         float vScrollWidth, float hScrollHeight)
{
    ZoomGeometry g;
    g.width = zoom * picWidth;
    g.height = zoom * picHeight;
    g.horizontal = scrollFor(g.width, areaWidth - vScrollWidth);
    g.vertical = scrollFor(g.height, areaHeight - hScrollHeight);
    return g;
}

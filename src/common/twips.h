#pragma once

#include <QRect>

#include <cmath>

// Window geometry is designed in twips (1/1440 inch) and shown at 96 dpi: 15 twips a pixel.
inline constexpr int kTwipsPerPixel = 15;

// A control's left, top, width and height in twips, single precision as the layout computes them.
struct TwipRect
{
    float left = 0.0F;
    float top = 0.0F;
    float width = 0.0F;
    float height = 0.0F;

    friend bool operator==(const TwipRect &, const TwipRect &) = default;
};

inline int twipsToPixels(double twips)
{
    return static_cast<int>(std::lround(twips / kTwipsPerPixel));
}

inline double pixelsToTwips(int pixels)
{
    return static_cast<double>(pixels) * kTwipsPerPixel;
}

inline QRect toPixels(const TwipRect &r)
{
    return QRect(twipsToPixels(r.left), twipsToPixels(r.top), twipsToPixels(r.width),
                 twipsToPixels(r.height));
}

inline TwipRect toTwips(const QRect &r)
{
    return TwipRect{static_cast<float>(pixelsToTwips(r.x())), static_cast<float>(pixelsToTwips(r.y())),
                    static_cast<float>(pixelsToTwips(r.width())),
                    static_cast<float>(pixelsToTwips(r.height()))};
}

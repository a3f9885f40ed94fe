#pragma once

#include <QRect>

#include <cmath>

// Window geometry is designed in twips (1/1440 inch) and shown at 96 dpi: 15 twips a pixel.
inline constexpr int kTwipsPerPixel = 15;

inline int TwipsToPixels(double twips)
{
    return static_cast<int>(std::lround(twips / kTwipsPerPixel));
}

inline double PixelsToTwips(int pixels)
{
    return static_cast<double>(pixels) * kTwipsPerPixel;
}

// Left, top, width and height in twips, as a pixel rectangle.
inline QRect TwipsRect(double left, double top, double width, double height)
{
    return QRect(TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width), TwipsToPixels(height));
}

// The same from an array of the four numbers.
inline QRect TwipsRect(const double (&twips)[4])
{
    return TwipsRect(twips[0], twips[1], twips[2], twips[3]);
}

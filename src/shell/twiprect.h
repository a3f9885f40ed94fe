#pragma once

// A control's left, top, width and height in twips, single precision as the layout computes them.
struct TwipRect
{
    float left = 0.0f;
    float top = 0.0f;
    float width = 0.0f;
    float height = 0.0f;

    friend bool operator==(const TwipRect &, const TwipRect &) = default;
};

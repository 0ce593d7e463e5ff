#pragma once

// Lengths are inches; relative values are fractions of a page's printable rectangle.
struct CRectD
{
    double left = 0, top = 0, right = 0, bottom = 0;
    double Width() const { return right - left; }
    double Height() const { return bottom - top; }
};

struct CPageGeometry
{
    double width = 8.5, height = 11.0;
    double leftMargin = 1.0, topMargin = 1.0, rightMargin = 1.0, bottomMargin = 1.0;

    double PrintableWidth() const { return width - leftMargin - rightMargin; }
    double PrintableHeight() const { return height - topMargin - bottomMargin; }
};

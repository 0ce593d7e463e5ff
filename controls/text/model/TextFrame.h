#pragma once
// The text's frame as the text layer sees it: the rectangle of the rectangular control base (a
// square from -1 to 1 under the control's linear transform) and its loading and preview states.
// The text control hands its rectangle in; tests hand in their own.
#include "geometry/FloatRecords.h"

class TextFrame {
public:
    virtual ~TextFrame() = default;
    // Half the frame's width and height in inches (signed: a negative scale mirrors).
    virtual double XScale() const = 0;
    virtual double YScale() const = 0;
    virtual double XOffset() const = 0;
    virtual double YOffset() const = 0;
    virtual void SetScales(double x, double y) = 0;
    virtual void SetOffsets(double x, double y) = 0;
    // A point of the unit frame mapped through the control's transform into document inches.
    virtual tagPointF MapUnitPoint(tagPointF unit) const = 0;
    virtual bool IsPreview() const = 0;
    virtual bool IsLoading() const = 0;
};

#pragma once
// The colour part of a shape control: two colour slots, 0 the visible fill and outline, 1 an
// opacity mask over that fill (no fill: no mask), the current slot the accessors work on, the
// slots' records (class 0x4003) and what drawing asks of them. The recorded values and their rules
// live in ColorSlotValues, shared with the viewer; a slot adds the gradient geometry derived for
// drawing. Drawing paints slot 0's solid fill and outline; gradients and the mask are not painted.
#include <windows.h>

#include "ColorValues.h"
#include "TarnControls.h"
#include "tarn/PropertyRecords.h"

struct FillInfo;

// A gradient geometry whose start point is this far away has not been computed.
const double kGradientNotComputed = 1e60;

class CColorPart {
public:
    enum FillType : long {
        FillNA = kFillNA,
        FillNone = kFillNone,
        FillSolid = kFillSolid,
        FillLinear = kFillLinear,
        FillRadial = kFillElliptic
    };
    struct Slot : ColorSlotValues {
        Slot() : ColorSlotValues(ColorSlotValues::Defaults(0)) {}
        double parentAngle = 0;  // degrees, not recorded
        long boundIndex = 0;
        // Linear geometry in document units, and in device pixels for the request being drawn.
        tagPointF gradStart{kGradientNotComputed, kGradientNotComputed};
        double gradLength = 0;
        double effectiveAngle = 0;  // degrees
        tagPointF deviceStart{0, 0};
        double deviceLength = 0;
        // Radial geometry in device pixels.
        tagPointF deviceCentre{0, 0};
        double radiusX = 0, radiusY = 0;
        double radialAngle = 0;  // degrees
    };

    CColorPart();
    virtual ~CColorPart() = default;

    // The slots' records, slot 0 first. Loading marks the part modified and its geometry changed.
    virtual HRESULT LoadProperties(CTarnPropertyBag& bag);
    virtual HRESULT SaveProperties(IStream* stream);
    // The drawing request of the fill (slot 0), in device colours.
    virtual void PrepareFill(FillInfo& fill) const;
    // The request of the outline as a second rendering of the path; false when there is none. A
    // zero outline width is one pixel wide, a hairline of 0.15 pixel in a thumbnail.
    virtual bool PrepareStroke(FillInfo& fill, double pixelsPerUnit, bool thumbnail = false) const;
    // Frees the cached fill bitmap of a pattern or gradient (none is kept by the solid fill).
    virtual void FreeCache() {}
    virtual bool IsEqual(const CColorPart& other, bool ignoreOutline) const;
    bool IsClosed() const { return closed; }
    // Marks a slot's gradient geometry as not computed.
    void ForgetGradient(int slot) { slots[slot].gradStart = tagPointF{kGradientNotComputed, kGradientNotComputed}; }

    // Setters of the current slot, by the slots' rules. Each marks the part modified (except the
    // parent angle, the gradient's parameter type and its bound points) and the geometry changed
    // where a change reshapes the drawing; the clamping ones answer true when they clamped.
    virtual void SetHasOutlineValue(long on);
    virtual bool SetOutlineWidthValue(double inches);
    virtual void SetOutlineStyleValue(long style);
    virtual void SetColorOutlineValue(COLORREF colour);
    virtual void SetColorValue(COLORREF colour);
    virtual void SetGradientAngleValue(double degrees);
    virtual void SetParentAngleValue(double degrees);
    virtual void SetBindRotationValue(long bind);
    virtual bool SetGradientDensityValue(double density);
    virtual bool SetGradientCYValue(double offset);
    virtual bool SetGradientCXValue(double offset);
    virtual void SetColor2Value(COLORREF colour);
    virtual void SetColor1Value(COLORREF colour);
    virtual void SetFillTypeValue(long fillType);
    virtual void SetGradientTypeValue(long type);
    virtual void SetGradientCyclicValue(long cyclic);
    virtual void SetGradParamTypeValue(long type);
    virtual void SetGradBoundValue(int index, const tagPointF& point);
    Slot& Current() { return slots[currentSlot == 1 ? 1 : 0]; }

    // The outline width of slot 0 in inches when the outline is on, else 0.
    double StrokeWidth() const { return slots[0].hasOutline ? slots[0].outlineWidth : 0.0; }

    Slot slots[2];
    int currentSlot = 0;
    bool closed = true;
    bool modified = false;
    bool geometryChanged = false;
};

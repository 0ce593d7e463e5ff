#pragma once
// The colour part of a shape control: two colour slots (0 fill, 1 outline), the outline flag and
// width, and what drawing asks of them. This holds the least the shape layers need (a solid fill
// in slot 0, a solid outline); gradients, patterns and the part's saved records belong to the
// colour data of the shape kinds, which complete this class.
#include <windows.h>

#include "TarnControls.h"
#include "tarn/PropertyRecords.h"

struct FillInfo;

// A gradient geometry whose start point is this far away has not been computed.
const double kGradientNotComputed = 1e60;

class CColorPart {
public:
    enum FillType : long { FillSolid = 0, FillPattern = 1, FillLinear = 2, FillRadial = 3, FillNone = -1 };
    struct Slot {
        long fillType = FillSolid;
        COLORREF color = 0;
        COLORREF color2 = 0;
        long gradParamType = 0;
        double gradAngle = 0;       // degrees
        double parentAngle = 0;     // degrees
        bool bindRotation = false;
        bool explicitBounds = false;
        tagPointF bounds[3]{};      // local coordinates of the control
        long boundIndex = 0;
        double centerX = 50, centerY = 50;  // radial centre in percent of the frame
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

    virtual ~CColorPart() = default;

    // Records of the part; the kinds' colour data reads and writes them.
    virtual HRESULT LoadProperties(CTarnPropertyBag&) { return S_OK; }
    virtual HRESULT SaveProperties(IStream*) { return S_OK; }
    // The drawing request of the fill (slot 0), in device colours.
    virtual void PrepareFill(FillInfo& fill) const;
    // The request of the outline as a second rendering of the path; false when there is none.
    virtual bool PrepareStroke(FillInfo& fill, double pixelsPerUnit) const;
    // Frees the cached fill bitmap of a pattern or gradient (none is kept by the solid fill).
    virtual void FreeCache() {}
    virtual bool IsEqual(const CColorPart& other, bool ignoreOutline) const;
    bool IsClosed() const { return closed; }
    // Marks a slot's gradient geometry as not computed.
    void ForgetGradient(int slot) { slots[slot].gradStart = tagPointF{kGradientNotComputed, kGradientNotComputed}; }

    Slot slots[2];
    int currentSlot = 0;
    bool outlineOn = false;
    double outlineWidth = 0;  // document units
    bool closed = true;
};

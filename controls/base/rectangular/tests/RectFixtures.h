#pragma once
// Two test kinds over the rectangular layer, one that shows outlines while dragged and one that
// reshapes itself live, and a view that keeps what it was asked to invalidate and can snap.
#include <windows.h>

#include <vector>

#include "ControlFixtures.h"
#include "RectControlBase.h"
#include "atlobject.h"
#include "imaging/ImagingBitmap.h"

// {7C2E1F40-3B5D-4E6A-9F81-2D4C6B8A0E11}
const CLSID CLSID_TestRectControl = {0x7c2e1f40, 0x3b5d, 0x4e6a, {0x9f, 0x81, 0x2d, 0x4c, 0x6b, 0x8a, 0x0e, 0x11}};

class CTestRectControl : public CRectControlBase {
public:
    const CLSID& GetControlClsid() const override { return CLSID_TestRectControl; }
    bool MovesDuringDrag() override { return live; }
    bool ResizesLive() override { return live; }
    bool RotatesLive() override { return live; }
    bool SkewsLive() override { return live; }
    void OnTransformChanged(const CLinearTransform& old) override {
        ++transformChanges;
        CRectControlBase::OnTransformChanged(old);
    }

    // Puts a frame as a damaged caller or an interrupted placing would leave it.
    void ForceTransform(const CLinearTransform& t) { transform_ = t; }

    bool live = false;
    int transformChanges = 0;
};

typedef CComObject<CTestRectControl> TestRectObject;

// A control with one reference, made by InitNew (idle, visible), the frame (0,0)-(2,1) by default.
TestRectObject* NewRectControl(bool live, const tagRectF& rect = tagRectF{0, 0, 2, 1});
IBaseControl* AsBase(CTestRectControl* control);
IRectangularControl* AsRect(CTestRectControl* control);
IRectangularControlDispatch* AsRectDispatch(CTestRectControl* control);

class CRecordingView : public CFakeView {
public:
    STDMETHOD(Invalidate)(RECT* rect, LONG, LONG) override {
        if (rect) invalidated.push_back(*rect);
        return S_OK;
    }
    STDMETHOD(SnapPoint)(tagPointF* point, LONG) override;
    std::vector<RECT> invalidated;
};

// Pressed keys for GetKeyState: Shift and Alt as the tests want them, everything else up.
void SetModifierKeys(bool shift, bool alt);

// Window pixel of a document point in the fake views (100 pixels an inch).
LPARAM PixelOf(const tagPointF& doc);
LPARAM PixelAt(int x, int y);

// The four corners of the control's frame.
void CornersOf(CTestRectControl* control, tagPointF out[4]);

// Connects a site to the control's events; the cookie undoes it.
DWORD AdviseSite(IUnknown* control, ITarnSiteEvents* site);
void UnadviseSite(IUnknown* control, DWORD cookie);

// A canvas of width x height pixels at `offset` (device pixels), white, one update rectangle.
class CTestCanvas : public ITarnCanvas {
public:
    CTestCanvas(int width, int height);
    ~CTestCanvas();
    STDMETHOD(QueryInterface)(REFIID iid, void** ppv) override;
    STDMETHOD_(ULONG, AddRef)() override { return 2; }
    STDMETHOD_(ULONG, Release)() override { return 1; }
    STDMETHOD(Initialize)(LONG_PTR, LONG, LONG) override { return E_NOTIMPL; }
    STDMETHOD(Resize)(LONG, LONG) override { return E_NOTIMPL; }
    STDMETHOD(GetHDC)(HDC*) override { return E_NOTIMPL; }
    STDMETHOD(GetLeadBitmap)(LONG** bitmap) override;
    STDMETHOD(GetWorkHDC)(HDC*) override { return E_NOTIMPL; }
    STDMETHOD(GetWorkLeadBitmap)(LONG** bitmap) override;
    STDMETHOD(StartDrawing)(tagDrawOptions*) override { return S_OK; }
    STDMETHOD(EndDrawing)() override { return S_OK; }
    STDMETHOD(Paint)(HDC, RECT, LONG, double, LONG, LONG) override { return E_NOTIMPL; }
    STDMETHOD(FreeBitmap)() override { return E_NOTIMPL; }
    STDMETHOD(SetOffset)(POINT newOffset, LONG) override {
        offset = newOffset;
        return S_OK;
    }
    STDMETHOD(GetOffset)(POINT* p) override {
        *p = offset;
        return S_OK;
    }
    STDMETHOD(GetWorkOffset)(POINT* p) override {
        *p = POINT{offset.x + workShift.x, offset.y + workShift.y};
        return S_OK;
    }
    STDMETHOD(InvalidateRect)(RECT*) override { return S_OK; }
    STDMETHOD(ValidateRect)(RECT*) override { return S_OK; }
    STDMETHOD(Invalidate)() override { return S_OK; }
    STDMETHOD(IsCurrentRectTheLastOne)() override { return S_FALSE; }
    STDMETHOD(SetClipPolybezier)(SegmentDesc*, LONG, RECT*) override { return E_NOTIMPL; }
    STDMETHOD(GetClippingBounds)(RECT* bounds) override;

    void Clear();
    // Draws the control into the whole canvas at 100 pixels an inch (zoom given).
    void Draw(IBaseControl* control, ITarnViewEvents* view, double zoom = 1.0);
    tagDrawOptions Options(ITarnViewEvents* view, double zoom = 1.0);
    // Largest difference of any channel between two canvases of the same size.
    int MaxDifference(const CTestCanvas& other) const;
    COLORREF Pixel(int x, int y) const;

    ImagingBitmap bitmap;
    POINT offset{0, 0};
    // Where the bitmap starts from the canvas origin: a work bitmap of part of the canvas.
    POINT workShift{0, 0};
    int width, height;
};

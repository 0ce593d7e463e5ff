#pragma once
// A canvas that keeps what the view asks of it, and a notificator that does nothing: both made
// available to this process only, so the view can be built without the controls server.
#include <windows.h>
#include <ocidl.h>

#include <string>
#include <vector>

#include "TarnControls.h"

struct CanvasCall {
    std::string name;
    RECT rect;
    POINT point;
};

class CRecordingCanvas : public ITarnCanvas {
public:
    virtual ~CRecordingCanvas() = default;
    STDMETHOD(QueryInterface)(REFIID iid, void** out) override;
    STDMETHOD_(ULONG, AddRef)() override { return ++refs; }
    STDMETHOD_(ULONG, Release)() override;

    STDMETHOD(Initialize)(LONG_PTR, long cx, long cy) override;
    STDMETHOD(Resize)(long cx, long cy) override;
    STDMETHOD(GetHDC)(HDC* hdc) override;
    STDMETHOD(GetLeadBitmap)(long**) override { return E_NOTIMPL; }
    STDMETHOD(GetWorkHDC)(HDC* hdc) override { return GetHDC(hdc); }
    STDMETHOD(GetWorkLeadBitmap)(long**) override { return E_NOTIMPL; }
    STDMETHOD(StartDrawing)(tagDrawOptions*) override { return S_OK; }
    STDMETHOD(EndDrawing)() override { return S_OK; }
    STDMETHOD(Paint)(HDC, RECT rectUpdate, long, double, long, long) override;
    STDMETHOD(FreeBitmap)() override { return S_OK; }
    STDMETHOD(SetOffset)(POINT newOffset, long docopy) override;
    STDMETHOD(GetOffset)(POINT* offset) override;
    STDMETHOD(GetWorkOffset)(POINT* offset) override { return GetOffset(offset); }
    STDMETHOD(InvalidateRect)(RECT* pRect) override;
    STDMETHOD(ValidateRect)(RECT* pRect) override;
    STDMETHOD(Invalidate)() override;
    STDMETHOD(IsCurrentRectTheLastOne)() override { return S_OK; }
    STDMETHOD(SetClipPolybezier)(SegmentDesc*, long, RECT*) override { return S_OK; }
    STDMETHOD(GetClippingBounds)(RECT*) override { return E_NOTIMPL; }

    std::vector<CanvasCall> calls;
    POINT offset = {0, 0};
    HDC memoryDC = nullptr;
    ULONG refs = 1;
};

// Registers both classes for this process; the last canvas made is the one tests read.
class ViewTestClasses {
public:
    ViewTestClasses();
    ~ViewTestClasses();
    static CRecordingCanvas* LastCanvas();

private:
    DWORD canvasCookie_ = 0;
    DWORD notificatorCookie_ = 0;
};

#pragma once
// A plain rectangular test control over the drawing-control base, a site that keeps every event it
// receives, and a view with a fixed scale of 100 window pixels per inch.
#include <windows.h>

#include <string>
#include <vector>

#include "TarnControls.h"
#include "atlobject.h"
#include "tarn/DrawControlBase.h"

// {5B0C6F0E-8E44-4C41-9A53-3C1D0E7A4B21}
const CLSID CLSID_TestDrawControl = {0x5b0c6f0e, 0x8e44, 0x4c41, {0x9a, 0x53, 0x3c, 0x1d, 0x0e, 0x7a, 0x4b, 0x21}};

class CTestDrawControl : public CDrawControlBase {
public:
    const CLSID& GetControlClsid() const override { return CLSID_TestDrawControl; }

    STDMETHOD(get_Rect)(tagRectF* pVal) override;
    STDMETHOD(get_BoundingRect)(tagRectF* pVal) override;
    STDMETHOD(get_RectForAlignment)(tagRectF* pVal) override { return get_Rect(pVal); }
    STDMETHOD(RotateBy)(double angle, tagPointF refPoint) override;
    STDMETHOD(SkewBy)(double coeff, double skewX, double skewY, tagPointF refPoint) override;
    STDMETHOD(ContainsPoint)(tagPointF DocPoint, double maxDelta, ITarnViewEvents* view) override;
    STDMETHOD(InvalidateUIShapesInView)(ITarnViewEvents*) override {
        ++uiInvalidations;
        return S_OK;
    }
    HRESULT FitToRect(const tagRectF& rect) override;
    HRESULT SaveProperties(IStream* stream) override;
    HRESULT LoadProperties(CTarnPropertyBag& bag) override;
    const PropMapEntry* GetPropertyMap() override;

    // The control's own record: the two corner points and the turn it has taken.
    tagRectF rect{0, 0, 1, 1};
    double angle = 0;
    int uiInvalidations = 0;
    bool failFit = false;
    // Like the rectangular layer: keep the rect normalised and turn a reversed rect into a mirror.
    bool normalises = false;
    bool mirroredX = false;
    bool mirroredY = false;
};

typedef CComObject<CTestDrawControl> TestControlObject;

// Makes a test control with one reference.
TestControlObject* NewTestControl();
IBaseControl* AsBase(CTestDrawControl* control);

struct CapturedUndo {
    std::string caption;
    std::wstring method;
    std::vector<VARIANT> args;  // in DISPPARAMS order (last argument first)
    IDispatch* target = nullptr;
    long extraReference = -1;
    long argumentForm = -1;
    long type = 99;
};

class CFakeSite : public ITarnSiteEvents {
public:
    CFakeSite() = default;
    ~CFakeSite();
    STDMETHOD(QueryInterface)(REFIID iid, void** ppv) override;
    STDMETHOD_(ULONG, AddRef)() override { return ++refs; }
    STDMETHOD_(ULONG, Release)() override { return --refs; }  // lives on the test's stack
    STDMETHOD(AddUndo)(tagUndoData* data) override;
    STDMETHOD(SetUndoMode)(LONG) override { return S_OK; }
    STDMETHOD(Invalidate)(tagRectF* rect, int all, int flag) override;
    STDMETHOD(SelectionChanged)(IUnknown*) override {
        ++selectionChanges;
        return S_OK;
    }
    void Clear();

    ULONG refs = 0;
    std::vector<CapturedUndo> undo;
    std::vector<tagRectF> invalidated;
    int selectionChanges = 0;
    std::vector<std::string>* order = nullptr;  // shared log of which site heard a record first
    std::string label;
};

// Replays a captured record the way a site does: by name through IDispatch.
HRESULT Replay(const CapturedUndo& record);

class CFakeView : public ITarnViewEvents {
public:
    STDMETHOD(QueryInterface)(REFIID iid, void** ppv) override;
    STDMETHOD_(ULONG, AddRef)() override { return ++refs; }
    STDMETHOD_(ULONG, Release)() override { return --refs; }
    STDMETHOD(RegisterNewControlInserter)(IControlInserter*) override { return S_OK; }
    STDMETHOD(UpdateCanvas)(RECT*) override { return S_OK; }
    STDMETHOD(TransferCoordinates)(tagPointData* point) override;
    STDMETHOD(TransferSize)(tagSizeData*) override { return E_NOTIMPL; }
    STDMETHOD(Invalidate)(RECT*, LONG, LONG) override { return S_OK; }
    STDMETHOD(GetDC)(HDC*) override { return E_NOTIMPL; }
    STDMETHOD(GetControlIndex)(IBaseControl*, LONG*) override { return E_NOTIMPL; }
    STDMETHOD(RegisterNewControl)(IBaseControl*, LONG) override { return S_OK; }
    STDMETHOD(InsertControl)(IBaseControl*, LONG) override { return S_OK; }
    STDMETHOD(InsertControlList)(IBaseControl**, LONG*, int) override { return S_OK; }
    STDMETHOD(DeleteControl)(IBaseControl*) override { return S_OK; }
    STDMETHOD(DeleteControlList)(IBaseControl**, int) override { return S_OK; }
    STDMETHOD(GetHWND)(LONG_PTR* hwnd) override {
        *hwnd = 0;
        return S_OK;
    }
    STDMETHOD(HitTestControlList)(tagPointF, LONG, IBaseControl**) override { return E_NOTIMPL; }
    STDMETHOD(SetSelMode)(LONG mode) override {
        selMode = mode;
        return S_OK;
    }
    STDMETHOD(GetSelMode)(LONG* mode) override {
        *mode = selMode;
        return S_OK;
    }
    STDMETHOD(IsControlSelected)(IBaseControl*) override { return S_FALSE; }
    STDMETHOD(SelectControl)(IBaseControl*) override { return S_OK; }
    STDMETHOD(FreezeView)(LONG) override { return S_OK; }
    STDMETHOD(SnapPoint)(tagPointF*, LONG) override { return S_OK; }
    STDMETHOD(SnapRect)(tagRectF* rect) override;
    STDMETHOD(ForceUndo)(LONG) override { return S_OK; }
    STDMETHOD(ForceRedo)(LONG) override { return S_OK; }

    ULONG refs = 0;
    LONG selMode = 0;
    double snapGrid = 0;  // 0: no snapping
};

// An inserter that converts 96 units an inch and keeps what it was asked to redraw.
class CFakeInserter : public IControlInserter {
public:
    STDMETHOD(QueryInterface)(REFIID iid, void** ppv) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IControlInserter)) {
            *ppv = static_cast<IControlInserter*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHOD_(ULONG, AddRef)() override { return ++refs; }
    STDMETHOD_(ULONG, Release)() override { return --refs; }
    STDMETHOD(put_ControlID)(LONG) override { return E_NOTIMPL; }
    STDMETHOD(get_ControlID)(LONG* id) override {
        *id = 101;
        return S_OK;
    }
    STDMETHOD(put_ControlCLSID)(GUID*) override { return E_NOTIMPL; }
    STDMETHOD(CheckInsertingState)(tagControlInsertingResult*) override { return E_NOTIMPL; }
    STDMETHOD(OnWindowMessage)(UINT, WPARAM, LPARAM, LRESULT*, ITarnViewEvents*) override { return E_NOTIMPL; }
    STDMETHOD(CancelInserting)() override { return E_NOTIMPL; }
    STDMETHOD(OnDraw)(tagDrawOptions*) override { return E_NOTIMPL; }
    STDMETHOD(DrawUIShapes)(HDC, ITarnViewEvents*, tagDrawOptions*) override { return E_NOTIMPL; }
    STDMETHOD(ForceInsertingFinish)(IBaseControl**) override { return E_NOTIMPL; }
    STDMETHOD(DCUnitsToInches)(tagPointF* inches, POINT* units) override {
        inches->x = units->x / 96.0;
        inches->y = units->y / 96.0;
        return S_OK;
    }
    STDMETHOD(Invalidate)(tagRectF* rect, LONG makeValid) override {
        invalidated.push_back(*rect);
        lastMakeValid = makeValid;
        return S_OK;
    }
    STDMETHOD(ControlInsertionIsCompleted)() override {
        ++completions;
        return S_OK;
    }
    STDMETHOD(ControlInsertionIsCompleted_ButKeepControl)() override { return E_NOTIMPL; }
    STDMETHOD(PreserveSelectionOnEvents)() override { return E_NOTIMPL; }
    STDMETHOD(ChangeControl)(IBaseControl*) override { return E_NOTIMPL; }
    STDMETHOD(SupportsSelMode)(LONG) override { return E_NOTIMPL; }
    STDMETHOD(get_Owner)(IUnknown**) override { return E_NOTIMPL; }
    STDMETHOD(put_Owner)(IUnknown*) override { return E_NOTIMPL; }
    STDMETHOD(GetCursor)(tagPointF, ITarnViewEvents*, HICON*) override { return E_NOTIMPL; }
    STDMETHOD(get_DefaultProperties)(IPropChanger**) override { return E_NOTIMPL; }
    STDMETHOD(put_DefaultProperties)(IPropChanger*) override { return E_NOTIMPL; }
    STDMETHOD(ResetToDefaultProperties)() override { return E_NOTIMPL; }

    ULONG refs = 0;
    int completions = 0;
    std::vector<tagRectF> invalidated;
    LONG lastMakeValid = -1;
};

// Loads TarnObjRes.dll so that captions resolve as in the server.
void UseServerResources();

// A control's saved bytes.
std::vector<BYTE> SavedBytes(IUnknown* control);
// Loads a control from saved bytes through IPersistStreamInit; Load's answer.
HRESULT LoadSavedBytes(IUnknown* control, const std::vector<BYTE>& bytes);
// An HGLOBAL stream holding the bytes, positioned at the start.
IStream* StreamOf(const std::vector<BYTE>& bytes);
// Everything a stream holds, read from its start.
std::vector<BYTE> StreamContents(IStream* stream);

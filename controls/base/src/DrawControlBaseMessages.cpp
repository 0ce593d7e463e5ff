// The shared message map, the base drag, hit testing, cursors, property pages and coordinates.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "geometry/NumericHelpers.h"
#include "tarn/ControlsModuleState.h"
#include "tarn/DrawControlBase.h"
#include "tarn/UndoCallRecord.h"

namespace {
const double kNoMove = 1e-10;

POINT PointFromLParam(LPARAM lParam) {
    return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

bool SamePoint(const tagPointF& a, const tagPointF& b) {
    return std::fabs(a.x - b.x) <= kNoMove && std::fabs(a.y - b.y) <= kNoMove;
}
}  // namespace

// Coordinates ----------------------------------------------------------------------------------------

HRESULT CDrawControlBase::WinToDocPoint(ITarnViewEvents* view, POINT win, tagPointF& doc) {
    if (!view) return E_POINTER;
    tagPointData data{};
    data.SourceSystem = SS_WIN;
    data.WinPoint = win;
    HRESULT hr = view->TransferCoordinates(&data);
    if (hr != S_OK) return FAILED(hr) ? hr : E_FAIL;
    doc = data.DocPoint;
    return S_OK;
}

HRESULT CDrawControlBase::ViewToDocPoint(ITarnViewEvents* view, POINT viewPoint, tagPointF& doc) {
    if (!view) return E_POINTER;
    tagPointData data{};
    data.SourceSystem = SS_VIEW;
    data.ViewPoint = viewPoint;
    HRESULT hr = view->TransferCoordinates(&data);
    if (hr != S_OK) return FAILED(hr) ? hr : E_FAIL;
    doc = data.DocPoint;
    return S_OK;
}

HRESULT CDrawControlBase::DocToViewPoint(ITarnViewEvents* view, const tagPointF& doc, POINT& viewPoint) {
    if (!view) return E_POINTER;
    tagPointData data{};
    data.SourceSystem = SS_DOC;
    data.DocPoint = doc;
    HRESULT hr = view->TransferCoordinates(&data);
    if (hr != S_OK) return FAILED(hr) ? hr : E_FAIL;
    viewPoint = data.ViewPoint;
    return S_OK;
}

HRESULT CDrawControlBase::DocToWinPoint(ITarnViewEvents* view, const tagPointF& doc, POINT& win) {
    if (!view) return E_POINTER;
    tagPointData data{};
    data.SourceSystem = SS_DOC;
    data.DocPoint = doc;
    HRESULT hr = view->TransferCoordinates(&data);
    if (hr != S_OK) return FAILED(hr) ? hr : E_FAIL;
    win = data.WinPoint;
    return S_OK;
}

HRESULT CDrawControlBase::DocToViewRect(ITarnViewEvents* view, const tagRectF& doc, RECT& viewRect) {
    POINT topLeft, bottomRight;
    HRESULT hr = DocToViewPoint(view, tagPointF{doc.left, doc.top}, topLeft);
    if (FAILED(hr)) return hr;
    hr = DocToViewPoint(view, tagPointF{doc.right, doc.bottom}, bottomRight);
    if (FAILED(hr)) return hr;
    viewRect = RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
    return S_OK;
}

HRESULT CDrawControlBase::DocToDevicePoint(const tagPointF& doc, const tagDrawOptions& options, POINT& device) {
    const double scale = options.ZoomValue * options.PixelsPerInch;
    const double x = doc.x * scale, y = doc.y * scale;
    if (!(std::fabs(x) <= 2e9) || !(std::fabs(y) <= 2e9)) return E_INVALIDARG;
    device.x = __round(x);
    device.y = __round(y);
    return S_OK;
}

HRESULT CDrawControlBase::DCUnitsToInches(POINT dcUnits, tagPointF& inches) {
    if (!inserter_) return E_POINTER;
    return inserter_->DCUnitsToInches(&inches, &dcUnits);
}

double CDrawControlBase::HitTolerance(ITarnViewEvents* view) {
    tagPointF a{}, b{};
    if (FAILED(ViewToDocPoint(view, POINT{2, 0}, a)) || FAILED(ViewToDocPoint(view, POINT{0, 0}, b))) return 0.0;
    return std::fabs(a.x - b.x);
}

// Window messages ----------------------------------------------------------------------------------------

STDMETHODIMP CDrawControlBase::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* plResult,
                                               ITarnViewEvents* view) {
    ITarnViewEvents* earlier = callingView_;
    callingView_ = view;
    GetUnknown()->AddRef();  // a handler may make the host drop the control
    LRESULT result = 0;
    const bool unhandled = RouteMessage(msg, wParam, lParam, result);
    if (earlier) callingView_ = earlier;
    if (plResult) *plResult = result;
    GetUnknown()->Release();
    return unhandled ? S_FALSE : S_OK;
}

bool CDrawControlBase::RouteMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    return !ProcessWindowMessage(nullptr, msg, wParam, lParam, result, messageMapId_);
}

BOOL CDrawControlBase::ProcessWindowMessage(HWND, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result,
                                            DWORD mapId) {
    if (mapId == kMapInserting) {
        switch (msg) {
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
        case WM_MBUTTONDBLCLK:
            result = 0;
            return TRUE;
        default:
            return FALSE;  // WM_RBUTTONUP too: the host handles it
        }
    }
    if (mapId != kMapNormal) return FALSE;
    switch (msg) {
    case WM_KEYDOWN:
        return OnKeyDown(wParam);
    case WM_SYSKEYDOWN:
        return OnSysKeyDown(wParam);
    case WM_COMMAND:
        if (LOWORD(wParam) != kCommandProperties) return FALSE;
        ShowProperties(ResolvePageCommand(kCommandProperties));
        result = 1;
        return TRUE;
    case WM_MOUSEMOVE:
        return OnMouseMove(lParam);
    case WM_LBUTTONDOWN:
        return OnLButtonDown(lParam);
    case WM_LBUTTONUP:
        return OnLButtonUp();
    case WM_LBUTTONDBLCLK:
        return OnLButtonDblClk(lParam);
    case WM_RBUTTONDOWN:
        return OnRButtonDown(lParam);
    case WM_RBUTTONUP:
        return OnRButtonUp(lParam);
    default:
        return FALSE;
    }
}

bool CDrawControlBase::PointInside(LPARAM lParam) {
    tagPointF doc;
    if (FAILED(WinToDocPoint(callingView_, PointFromLParam(lParam), doc))) return false;
    return ContainsPoint(doc, HitTolerance(callingView_), callingView_) == S_OK;
}

bool CDrawControlBase::OnLButtonDown(LPARAM lParam) {
    if (state_ != kStateIdle) return false;
    const POINT p = PointFromLParam(lParam);
    return PointInside(lParam) && BeginDrag(p.x, p.y, callingView_);
}

bool CDrawControlBase::OnMouseMove(LPARAM lParam) {
    if (state_ != kStateMoving) return false;
    const POINT p = PointFromLParam(lParam);
    return DragTo(p.x, p.y);
}

bool CDrawControlBase::OnLButtonUp() {
    if (state_ != kStateMoving) return false;
    EndDrag(true, false);
    return true;
}

bool CDrawControlBase::OnKeyDown(WPARAM key) {
    if (key != VK_ESCAPE || state_ != kStateMoving) return false;
    EndDrag(false, true);
    return true;
}

bool CDrawControlBase::OnSysKeyDown(WPARAM key) {
    if (state_ != kStateIdle || key != VK_RETURN || GetKeyState(VK_MENU) >= 0) return false;
    return ShowProperties(ResolvePageCommand(0xFFFF));
}

bool CDrawControlBase::OnLButtonDblClk(LPARAM lParam) {
    if (state_ != kStateIdle) return false;
    LONG active = 0;
    get_Active(callingView_, &active);
    if (!active) return false;
    if (!PointInside(lParam)) return true;
    if (directDataDepth_ > 0) {
        ShowProperties(ResolvePageCommand(0xFFFF));
        return true;
    }
    if (IControlOwnerHooks* hooks = OwnerHooks()) {
        int answer = 0;
        const HRESULT hr = hooks->Customize_ExecInitDialog(GetUnknown(), callingView_, &answer);
        hooks->Release();
        if (hr == S_OK) return true;
    }
    ShowProperties(ResolvePageCommand(0xFFFF));
    return true;
}

bool CDrawControlBase::OnRButtonDown(LPARAM lParam) {
    if (state_ != kStateIdle || !PointInside(lParam)) return false;
    rightPressInside_ = true;
    return true;
}

bool CDrawControlBase::OnRButtonUp(LPARAM lParam) {
    const bool pressed = rightPressInside_;
    rightPressInside_ = false;
    return state_ == kStateIdle && pressed && PointInside(lParam);
}

// Hit testing and cursor ----------------------------------------------------------------------------------

STDMETHODIMP CDrawControlBase::HitTest(tagPointF DocPoint, ITarnViewEvents* view, tagHitTestResult* result) {
    if (!result) return E_POINTER;
    const double tolerance = HitTolerance(view);
    LONG active = 0;
    if (view) get_Active(view, &active);
    if (active && HitTestUIShapes(DocPoint, tolerance, view))
        *result = HTR_UIShape;
    else if (ContainsPoint(DocPoint, tolerance, view) == S_OK)
        *result = HTR_ControlImage;
    else
        *result = HTR_NoWhere;
    return S_OK;
}

STDMETHODIMP CDrawControlBase::GetCursor(tagPointF DocPoint, ITarnViewEvents* view, HICON* cursor) {
    if (!cursor) return E_POINTER;
    *cursor = nullptr;
    if (state_ == kStateMoving && dragRecord_ && dragRecord_->view == view)
        *cursor = LoadCursor(nullptr, IDC_SIZEALL);
    else if (state_ == kStateIdle && ContainsPoint(DocPoint, HitTolerance(view), view) == S_OK)
        *cursor = LoadCursor(nullptr, IDC_SIZEALL);
    return S_OK;
}

// Base drag ---------------------------------------------------------------------------------------------------

bool CDrawControlBase::MovesDuringDrag() { return true; }

CDragRecord* CDrawControlBase::AllocDragRecord() {
    delete dragRecord_;
    dragRecord_ = new CDragRecord{nullptr, false, {0, 0}, {0, 0}};
    return dragRecord_;
}

bool CDrawControlBase::BeginDrag(int x, int y, ITarnViewEvents* view) {
    if (state_ != kStateIdle) return false;
    LONG selMode = 0;
    if (view) view->GetSelMode(&selMode);
    if (selMode != 0) return true;
    tagPointF start;
    if (FAILED(WinToDocPoint(view, POINT{x, y}, start))) return false;
    state_ = kStateMoving;
    CDragRecord* record = AllocDragRecord();
    record->view = view;
    record->moved = false;
    record->lastPoint = start;
    record->referencePoint = start;
    if (MovesDuringDrag()) get_CenterPoint(&record->referencePoint);
    return true;
}

bool CDrawControlBase::DragTo(int x, int y) {
    if (state_ != kStateMoving || !dragRecord_) return false;
    CDragRecord& record = *dragRecord_;
    tagPointF p;
    if (FAILED(WinToDocPoint(record.view, POINT{x, y}, p))) return false;
    if (!record.moved) {
        if (SamePoint(p, record.lastPoint)) return false;
        InvalidateUIShapesInView(record.view);
    }
    record.moved = true;
    const bool live = MovesDuringDrag();
    const double dx = live ? p.x - record.lastPoint.x : p.x - record.referencePoint.x;
    const double dy = live ? p.y - record.lastPoint.y : p.y - record.referencePoint.y;
    tagRectF align;
    if (SUCCEEDED(get_RectForAlignment(&align))) {
        tagRectF shifted{align.left + dx, align.top + dy, align.right + dx, align.bottom + dy};
        tagRectF snapped = shifted;
        if (record.view && SUCCEEDED(record.view->SnapRect(&snapped))) {
            p.x -= shifted.left - snapped.left;
            p.y -= shifted.top - snapped.top;
        }
    }
    if (SamePoint(p, record.lastPoint)) return false;
    if (live) {
        MoveBy(tagSizeF{p.x - record.lastPoint.x, p.y - record.lastPoint.y});
        record.lastPoint = p;
    } else {
        InvalidateUIShapesInView(record.view);
        record.lastPoint = p;
        InvalidateUIShapesInView(record.view);
    }
    return true;
}

bool CDrawControlBase::EndDrag(bool commit, bool cancel) {
    if (state_ != kStateMoving || !dragRecord_) return false;
    CDragRecord record = *dragRecord_;
    const bool live = MovesDuringDrag();
    if (record.moved) {
        if (cancel) {
            if (live) {
                tagPointF centre;
                if (SUCCEEDED(get_CenterPoint(&centre)))
                    MoveBy(tagSizeF{record.referencePoint.x - centre.x, record.referencePoint.y - centre.y});
            } else {
                InvalidateUIShapesInView(record.view);
            }
        } else {
            InvalidateUIShapesInView(record.view);
            tagPointF oldCentre = record.referencePoint;
            if (!live) {
                get_CenterPoint(&oldCentre);
                MoveBy(tagSizeF{record.lastPoint.x - record.referencePoint.x,
                                record.lastPoint.y - record.referencePoint.y});
            }
            if (commit) {
                CUndoCallRecord undo(this, 2);
                undo.AddArg(oldCentre.x);
                undo.AddArg(oldCentre.y);
                undo.Fire(L"SetCenterPoint", DispatchInterface(), 21215);
            }
        }
    }
    state_ = kStateIdle;
    InvalidateUIShapesInView(record.view);
    delete dragRecord_;
    dragRecord_ = nullptr;
    return true;
}

// Property pages ----------------------------------------------------------------------------------------------

DISPID CDrawControlBase::ResolvePageCommand(UINT commandId) {
    if (directDataDepth_ == 0) {
        if (IControlOwnerHooks* hooks = OwnerHooks()) {
            LONG dispid = 0;
            const HRESULT hr = hooks->Customize_GetDefaultProperty(GetUnknown(), static_cast<short>(commandId), &dispid);
            hooks->Release();
            if (hr == S_OK) return dispid;
        }
    }
    return GetPageForCommand(commandId);
}

bool CDrawControlBase::ShowProperties(DISPID dispid) {
    ISpecifyPropertyPages* specify = nullptr;
    if (FAILED(InternalQueryInterface(IID_ISpecifyPropertyPages, reinterpret_cast<void**>(&specify))) || !specify)
        return false;
    ITarnViewEvents* view = callingView_ ? callingView_ : (views_.empty() ? nullptr : views_.front()->view);
    if (!view) {
        specify->Release();
        return false;
    }
    LONG_PTR hwnd = 0;
    view->GetHWND(&hwnd);
    const std::string caption = LoadResourceString(GetCaptionID());
    std::wstring wideCaption(caption.begin(), caption.end());
    CAUUID pages{0, nullptr};
    specify->GetPages(&pages);
    IUnknown* object = static_cast<IBaseControl*>(this);
    OCPFIPARAMS params{};
    params.cbStructSize = sizeof params;
    params.hWndOwner = GetParent(reinterpret_cast<HWND>(hwnd));
    params.x = 0;
    params.y = 0;
    params.lpszCaption = wideCaption.c_str();
    params.cObjects = 1;
    params.lplpUnk = &object;
    params.cPages = pages.cElems;
    params.lpPages = pages.pElems;
    params.lcid = GetUserDefaultLCID();
    params.dispidInitialProperty = dispid;
    const HRESULT hr = OleCreatePropertyFrameIndirect(&params);
    CoTaskMemFree(pages.pElems);
    specify->Release();
    return SUCCEEDED(hr);
}

// Units and owner window -----------------------------------------------------------------------------------

STDMETHODIMP CDrawControlBase::FormatUnitsText(double value, char* text) {
    ITarnApp* app = GetTarnApp();
    if (!app) return S_FALSE;
    if (!text) return E_POINTER;
    MeasurementUnit* unit = nullptr;
    if (FAILED(app->GetDefaultMeasurementUnit(&unit)) || !unit || unit->InchesPerUnit == 0.0) return E_FAIL;
    char formatted[512];
    std::snprintf(formatted, sizeof formatted, "%s %s", ftoa(value / unit->InchesPerUnit, 3), unit->ShortName);
    const char* shown = formatted;
    std::string fixed;
    if (std::strncmp(formatted, "-0 ", 3) == 0) {
        fixed = formatted + 1;
        shown = fixed.c_str();
    }
    std::strncpy(text, shown, 255);
    text[255] = '\0';
    return S_OK;
}

STDMETHODIMP CDrawControlBase::GetOwnerHWND(LONG_PTR* hwnd) {
    if (!hwnd) return E_POINTER;
    *hwnd = 0;
    ITarnViewEvents* view = callingView_ ? callingView_ : (views_.empty() ? nullptr : views_.front()->view);
    if (!view) return E_FAIL;
    return view->GetHWND(hwnd);
}

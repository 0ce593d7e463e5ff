// IBaseControl as the selection answers it: everything goes to the one selected control; with
// several, the selection is one rectangle around them, and the buddy leader of a bound group
// stands for the group.
#include <algorithm>

#include "atlcomptr.h"
#include "selection/SelectionControl.h"
#include "tarn/ShapeOperationCodes.h"

namespace {
// Commands forwarded to every selected control inside one undo group, with the group's caption.
struct GroupCommand {
    UINT command;
    LONG caption;
};
const GroupCommand kGroupCommands[] = {{20009, 21241}, {20016, 21274}, {20020, 21274}, {20021, 21299},
                                       {20022, 21234}, {20023, 21234}, {20024, 21234}, {20025, 21302},
                                       {20026, 21317}, {20027, 21305}, {20033, 21300}, {20034, 21294},
                                       {20035, 21311}, {20036, 21318}};
const UINT kNotifyFillColour = 10;
const UINT kNotifyOutlineColour = 11;
const LONG kCaptionFillColour = 21301;
const LONG kCaptionOutlineColour = 21303;
const size_t kMostOutlines = 10;
const UINT kCommandToCurves = 20002;
const UINT kCommandCombine = 20003;  // to 20006: combine, add, subtract, intersect
const UINT kCommandIntersect = 20006;
const LONG kCaptionCombine = 21281;  // to 21284
const UINT kCommandAlwaysEnabled = 20021;
const UINT kCommandFitToPath = 20010;
const UINT kCommandReleaseFromPath = 20011;

LONG GroupCaptionOf(UINT command) {
    for (const GroupCommand& g : kGroupCommands)
        if (g.command == command) return g.caption;
    return 0;
}
}  // namespace

STDMETHODIMP CSelectionControl::get_BoundingRect(tagRectF* pVal) {
    if (!pVal) return E_POINTER;
    if (selected_.size() == 1) return selected_.front()->get_BoundingRect(pVal);
    *pVal = bounding_;
    return selected_.empty() ? S_FALSE : S_OK;
}

STDMETHODIMP CSelectionControl::get_FrameRect(tagRectF* pVal) {
    if (!pVal) return E_POINTER;
    if (selected_.size() == 1) return selected_.front()->get_FrameRect(pVal);
    *pVal = frame_;
    return selected_.empty() ? S_FALSE : S_OK;
}

STDMETHODIMP CSelectionControl::get_RectForAlignment(tagRectF* pVal) {
    if (!pVal) return E_POINTER;
    *pVal = tagRectF{0, 0, 0, 0};
    if (selected_.size() < 2) return S_OK;
    bool first = true;
    for (IBaseControl* control : selected_) {
        tagRectF r;
        const HRESULT hr = control->get_RectForAlignment(&r);
        if (FAILED(hr)) return hr;
        *pVal = first ? r
                      : tagRectF{std::min(pVal->left, r.left), std::min(pVal->top, r.top),
                                 std::max(pVal->right, r.right), std::max(pVal->bottom, r.bottom)};
        first = false;
    }
    return S_OK;
}

STDMETHODIMP CSelectionControl::get_ControlNameID(int* pVal) {
    if (selected_.size() == 1) return selected_.front()->get_ControlNameID(pVal);
    return CRectControlBase::get_ControlNameID(pVal);
}

STDMETHODIMP CSelectionControl::put_ControlName(BSTR) { return E_NOTIMPL; }
STDMETHODIMP CSelectionControl::get_Storable(LONG* pVal) {
    if (!pVal) return E_POINTER;
    *pVal = 0;
    return S_OK;
}
STDMETHODIMP CSelectionControl::put_Storable(LONG) { return E_NOTIMPL; }
STDMETHODIMP CSelectionControl::put_Visible(LONG) { return E_NOTIMPL; }
STDMETHODIMP CSelectionControl::ControlAdded(IBaseControl*) { return E_NOTIMPL; }
STDMETHODIMP CSelectionControl::ControlDeleted(IBaseControl*) { return E_NOTIMPL; }
STDMETHODIMP CSelectionControl::ControlChanged(IBaseControl*) { return E_NOTIMPL; }
STDMETHODIMP CSelectionControl::ControlReplaced(IBaseControl*, IBaseControl*) { return E_NOTIMPL; }
STDMETHODIMP CSelectionControl::DocumentChanged() { return E_NOTIMPL; }
STDMETHODIMP CSelectionControl::SetVisible(LONG) { return E_NOTIMPL; }
STDMETHODIMP CSelectionControl::put_ControlName_Disp(BSTR) { return E_NOTIMPL; }
STDMETHODIMP CSelectionControl::put_Storable_Disp(LONG) { return E_NOTIMPL; }
STDMETHODIMP CSelectionControl::get_Storable_Disp(LONG* pVal) { return get_Storable(pVal); }

STDMETHODIMP CSelectionControl::ContainsPoint(tagPointF DocPoint, double maxDelta, ITarnViewEvents* view) {
    for (IBaseControl* control : selected_)
        if (control->ContainsPoint(DocPoint, maxDelta, view) == S_OK) return S_OK;
    return S_FALSE;
}

STDMETHODIMP CSelectionControl::OverlapsWithRect(tagRectF docRect, ITarnViewEvents* view) {
    for (IBaseControl* control : selected_)
        if (control->OverlapsWithRect(docRect, view) == S_OK) return S_OK;
    return S_FALSE;
}

STDMETHODIMP CSelectionControl::HitTest(tagPointF DocPoint, ITarnViewEvents* view, tagHitTestResult* result) {
    if (!result) return E_POINTER;
    if (selected_.size() == 1) {
        if (selectionMode_ == 1) {
            *result = HTR_ControlImage;
            return S_OK;
        }
        return selected_.front()->HitTest(DocPoint, view, result);
    }
    if (IBaseControl* leader = FindBuddyLeader()) {
        tagHitTestResult r = HTR_NoWhere;
        if (leader->HitTest(DocPoint, view, &r) == S_OK && r != HTR_NoWhere) {
            *result = r;
            return S_OK;
        }
    }
    return CRectControlBase::HitTest(DocPoint, view, result);
}

STDMETHODIMP CSelectionControl::RegisterView(ITarnViewEvents* view) {
    if (!views_.empty()) return S_OK;  // the selection lives in one view
    return CRectControlBase::RegisterView(view);
}

STDMETHODIMP CSelectionControl::put_Active(ITarnViewEvents* view, LONG newVal) {
    if (selected_.size() < 2) return S_OK;
    return CRectControlBase::put_Active(view, newVal);
}

STDMETHODIMP CSelectionControl::Invalidate() {
    if (views_.empty()) return S_OK;
    return InvalidateUIShapesInView(views_[0]->view);
}

bool CSelectionControl::PendingDragMatrix(CAffineMatrix& pending) const {
    if (state_ == kStateMoving && dragRecord_) {
        pending = CAffineMatrix(1, 0, dragRecord_->lastPoint.x - dragRecord_->referencePoint.x, 0, 1,
                                dragRecord_->lastPoint.y - dragRecord_->referencePoint.y, 0, 0, 1);
        return true;
    }
    if ((state_ == kStateResizing || state_ == kStateRotating || state_ == kStateSkewing) && track_) {
        CLinearTransform from, to;
        from.SetFromCorners(track_->startCorners);
        to.SetFromCorners(track_->corners);
        pending = CLinearTransform::GetRelativeMatrix(from, to);
        return true;
    }
    return false;
}

STDMETHODIMP CSelectionControl::DrawUIShapes(HDC hDC, ITarnViewEvents* view, tagDrawOptions* options) {
    if (selected_.empty()) return E_FAIL;
    if (selected_.size() == 1) return selected_.front()->DrawUIShapes(hDC, view, options);
    // The drags are never live: the controls' outlines show where the drag will put them.
    CAffineMatrix pending;
    if (PendingDragMatrix(pending)) return DrawOutlineFast(hDC, options, view, pending.m);
    if (IBaseControl* leader = FindBuddyLeader()) leader->DrawUIShapes(hDC, view, options);
    return CRectControlBase::DrawUIShapes(hDC, view, options);
}

STDMETHODIMP CSelectionControl::InvalidateUIShapesInView(ITarnViewEvents* view) {
    if (selected_.empty()) return S_OK;
    if (selected_.size() == 1) return selected_.front()->InvalidateUIShapesInView(view);
    if (IBaseControl* leader = FindBuddyLeader()) leader->InvalidateUIShapesInView(view);
    return CRectControlBase::InvalidateUIShapesInView(view);
}

STDMETHODIMP CSelectionControl::DrawOutlineFast(HDC hDC, tagDrawOptions* options, ITarnViewEvents* view,
                                                double* matrix) {
    if (selected_.size() > kMostOutlines) return CRectControlBase::DrawOutlineFast(hDC, options, view, matrix);
    for (IBaseControl* control : selected_) {
        const HRESULT hr = control->DrawOutlineFast(hDC, options, view, matrix);
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

STDMETHODIMP CSelectionControl::InvalidateOutlineFast(ITarnViewEvents* view, double* matrix) {
    if (selected_.size() > kMostOutlines) return CRectControlBase::InvalidateOutlineFast(view, matrix);
    for (IBaseControl* control : selected_) {
        const HRESULT hr = control->InvalidateOutlineFast(view, matrix);
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

HRESULT CSelectionControl::ForwardInGroup(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* plResult,
                                          ITarnViewEvents* view, LONG caption) {
    // The controls are held: a forwarded message may change the selection.
    const ControlVector controls = selected_;
    for (IBaseControl* c : controls) c->AddRef();
    StartGroupUndo(FALSE, caption);
    for (IBaseControl* c : controls) {
        LRESULT ignored = 0;
        c->OnWindowMessage(msg, wParam, lParam, &ignored, view);
    }
    StartGroupUndo(TRUE, caption);
    for (IBaseControl* c : controls) c->Release();
    *plResult = 0;
    return S_OK;
}

STDMETHODIMP CSelectionControl::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* plResult,
                                                ITarnViewEvents* view) {
    if (!plResult) return E_POINTER;
    if (view) callingView_ = view;
    if (selected_.size() == 1) return selected_.front()->OnWindowMessage(msg, wParam, lParam, plResult, view);

    // Holds itself: a forwarded message may make the site let the selection go.
    CComPtr<IUnknown> self(GetUnknown());
    if (msg == WM_COMMAND && LOWORD(wParam) != 20001) {
        const UINT command = LOWORD(wParam);
        if (command == kCommandToCurves) {
            ConvertToCurves();
            *plResult = 0;
            return S_OK;
        }
        if (command >= kCommandCombine && command <= kCommandIntersect) {
            const LONG step = static_cast<LONG>(command - kCommandCombine);
            DoShapeOperation(kCombine + step, kCaptionCombine + step);
            *plResult = 0;
            return S_OK;
        }
        if (command == kCommandFitToPath || command == kCommandReleaseFromPath) {
            if (command == kCommandFitToPath)
                FitToPath();
            else
                ReleaseFromPath();
            *plResult = 0;
            return S_OK;
        }
        const LONG caption = GroupCaptionOf(LOWORD(wParam));
        if (caption && !selected_.empty()) return ForwardInGroup(msg, wParam, lParam, plResult, view, caption);
    }
    if (msg == WM_NOTIFY && lParam) {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->code == kNotifyFillColour || header->code == kNotifyOutlineColour) {
            const LONG caption = header->code == kNotifyFillColour ? kCaptionFillColour : kCaptionOutlineColour;
            return ForwardInGroup(msg, wParam, lParam, plResult, view, caption);
        }
    }
    if (IBaseControl* leader = FindBuddyLeader()) {
        bool toLeader = msg == WM_KEYDOWN || msg == WM_MOUSEMOVE || msg == WM_LBUTTONUP ||
                        (msg == WM_COMMAND && LOWORD(wParam) == 20001);
        if ((msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK) && view) {
            tagPointF doc;
            tagHitTestResult hit = HTR_NoWhere;
            const POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            if (SUCCEEDED(WinToDocPoint(view, p, doc)) && leader->HitTest(doc, view, &hit) == S_OK)
                toLeader = msg == WM_LBUTTONDOWN ? hit == HTR_UIShape : hit != HTR_NoWhere;
        }
        if (toLeader) {
            const HRESULT hr = leader->OnWindowMessage(msg, wParam, lParam, plResult, view);
            if (hr == S_OK) return hr;
        }
    }
    return CRectControlBase::OnWindowMessage(msg, wParam, lParam, plResult, view);
}

STDMETHODIMP CSelectionControl::GetCursor(tagPointF DocPoint, ITarnViewEvents* view, HICON* cursor) {
    if (selected_.size() == 1) return selected_.front()->GetCursor(DocPoint, view, cursor);
    if (IBaseControl* leader = FindBuddyLeader())
        if (leader->GetCursor(DocPoint, view, cursor) == S_OK) return S_OK;
    return CRectControlBase::GetCursor(DocPoint, view, cursor);
}

STDMETHODIMP CSelectionControl::FillClipboardData(LONG* formats, LONG* media, LONG* count) {
    if (selected_.size() == 1) return selected_.front()->FillClipboardData(formats, media, count);
    return S_FALSE;
}

STDMETHODIMP CSelectionControl::GetPopupMenu(int nSize, BYTE* buffer) {
    if (selected_.empty()) return E_FAIL;
    if (selected_.size() == 1) return selected_.front()->GetPopupMenu(nSize, buffer);
    return CRectControlBase::GetPopupMenu(nSize, buffer);
}

HRESULT CSelectionControl::DirectDataModeOfAll(HRESULT (STDMETHODCALLTYPE IControlControl::*mode)()) {
    HRESULT first = S_OK;
    for (IBaseControl* control : selected_) {
        CComPtr<IControlControl> cc;
        control->QueryInterface(IID_IControlControl, reinterpret_cast<void**>(&cc));
        if (!cc) continue;
        const HRESULT hr = (cc.p->*mode)();
        if (FAILED(hr) && SUCCEEDED(first)) first = hr;
    }
    return first;
}

STDMETHODIMP CSelectionControl::EnterDirectDataMode() {
    const HRESULT first = DirectDataModeOfAll(&IControlControl::EnterDirectDataMode);
    const HRESULT own = CRectControlBase::EnterDirectDataMode();
    return FAILED(first) ? first : own;
}

STDMETHODIMP CSelectionControl::LeaveDirectDataMode() {
    const HRESULT first = DirectDataModeOfAll(&IControlControl::LeaveDirectDataMode);
    const HRESULT own = CRectControlBase::LeaveDirectDataMode();
    return FAILED(first) ? first : own;
}

STDMETHODIMP CSelectionControl::Update(LONG_PTR lParam, LONG* enabled, LONG* checked, LONG* isRadioButton) {
    if (selected_.empty()) return S_FALSE;
    if (selected_.size() == 1) {
        CComPtr<IUIUpdater> updater;
        selected_.front()->QueryInterface(IID_IUIUpdater, reinterpret_cast<void**>(&updater));
        if (updater && updater->Update(lParam, enabled, checked, isRadioButton) == S_OK) return S_OK;
    }
    if (CRectControlBase::Update(lParam, enabled, checked, isRadioButton) == S_OK) return S_OK;
    if (!enabled || !checked || !isRadioButton) return E_POINTER;
    *enabled = 1, *checked = 0, *isRadioButton = 0;
    const UINT command = static_cast<UINT>(lParam) & 0xFFFF;
    if (command == kCommandToCurves) {
        *enabled = CanConvertToCurves() ? 1 : 0;
        return S_OK;
    }
    if (command >= kCommandCombine && command <= kCommandIntersect) {
        *enabled = CanDoShapeOperation(kCombine + static_cast<LONG>(command - kCommandCombine)) ? 1 : 0;
        return S_OK;
    }
    if (command == kCommandAlwaysEnabled) return S_OK;
    if (command == kCommandFitToPath) {
        std::vector<IBaseControl*> others;
        *enabled = FindPathFitter(others) ? 1 : 0;
        return S_OK;
    }
    if (command == kCommandReleaseFromPath) {
        *enabled = CanReleaseFromPath() ? 1 : 0;
        return S_OK;
    }
    if (!GroupCaptionOf(command)) return S_FALSE;
    *enabled = 0;
    // A group command is enabled as the first control that answers for it says.
    for (IBaseControl* control : selected_) {
        CComPtr<IUIUpdater> updater;
        control->QueryInterface(IID_IUIUpdater, reinterpret_cast<void**>(&updater));
        LONG e = 0, c = 0, r = 0;
        if (updater && updater->Update(lParam, &e, &c, &r) == S_OK) {
            *enabled = e, *checked = c, *isRadioButton = r;
            return S_OK;
        }
    }
    return S_OK;
}

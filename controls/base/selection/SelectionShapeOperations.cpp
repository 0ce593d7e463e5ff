// The shape commands of a selection of several controls: convert to curves, and combine, add,
// subtract and intersect across the selection in view order. Each runs inside undo groups that
// are closed on every path out.
#include <algorithm>
#include <memory>

#include "atlcomptr.h"
#include "selection/SelectionControl.h"
#include "tarn/ControlsModuleState.h"
#include "tarn/ShapeOperationCodes.h"

namespace {
const LONG kCaptionToCurves = 21280;
const LONG kCaptionFitToPath = 21289;
const LONG kCaptionReleaseFromPath = 21291;
const UINT kFailureCaption = 21287;
const UINT kFailureText = 21288;

// Opens an undo group on a control and closes it when it goes out of scope, whatever happens.
class CUndoGroup {
public:
    CUndoGroup(IUnknown* control, LONG caption) : caption_(caption) {
        if (control) control->QueryInterface(IID_IBaseControlDispatch, reinterpret_cast<void**>(&dispatch_));
        if (dispatch_) dispatch_->StartGroupUndo(FALSE, caption_);
    }
    ~CUndoGroup() {
        if (dispatch_) dispatch_->StartGroupUndo(TRUE, caption_);
    }
    CUndoGroup(const CUndoGroup&) = delete;
    CUndoGroup& operator=(const CUndoGroup&) = delete;

private:
    CComPtr<IBaseControlDispatch> dispatch_;
    LONG caption_;
};

struct Indexed {
    IBaseControl* control;
    long index;
};

// The controls in view order (a stable sort: equal indexes keep selection order).
std::vector<Indexed> InViewOrder(const std::vector<IBaseControl*>& controls, ITarnViewEvents* view) {
    std::vector<Indexed> sorted;
    for (IBaseControl* c : controls) {
        long index = 0;
        if (view) view->GetControlIndex(c, &index);
        sorted.push_back(Indexed{c, index});
    }
    std::stable_sort(sorted.begin(), sorted.end(), [](const Indexed& a, const Indexed& b) { return a.index < b.index; });
    return sorted;
}
}  // namespace

ITarnViewEvents* CSelectionControl::OperationView() const { return callingView_ ? callingView_ : FirstView(); }

void CSelectionControl::ReportShapeOperationFailure() {
    LONG_PTR hwnd = 0;
    if (ITarnViewEvents* view = OperationView()) view->GetHWND(&hwnd);
    const std::string caption = LoadResourceString(kFailureCaption), text = LoadResourceString(kFailureText);
    MessageBoxA(reinterpret_cast<HWND>(hwnd), text.c_str(), caption.c_str(), MB_OK);
}

bool CSelectionControl::CanConvertToCurves() {
    if (selected_.empty()) return false;
    if (IBaseControl* leader = FindBuddyLeader()) return leader->SupportsShapeOperation(kToCurves, nullptr, 0) == S_OK;
    for (IBaseControl* c : selected_)
        if (c->SupportsShapeOperation(kToCurves, nullptr, 0) != S_OK) return false;
    return true;
}

bool CSelectionControl::CanDoShapeOperation(LONG op) {
    ITarnViewEvents* view = OperationView();
    if (selected_.size() < 2 || !view) return false;
    const std::vector<Indexed> sorted = InViewOrder(selected_, view);
    std::vector<IBaseControl*> operands;
    for (size_t i = 1; i < sorted.size(); ++i) operands.push_back(sorted[i].control);
    return sorted[0].control->SupportsShapeOperation(op, operands.data(), static_cast<LONG>(operands.size())) == S_OK;
}

HRESULT CSelectionControl::DoShapeOperation(LONG op, LONG caption) {
    ITarnViewEvents* view = OperationView();
    if (selected_.size() < 2 || !view) return S_FALSE;
    CComPtr<IUnknown> self(GetUnknown());  // the view may let the selection go meanwhile
    HCURSOR previous = SetCursor(LoadCursor(nullptr, IDC_WAIT));
    const std::vector<Indexed> sorted = InViewOrder(selected_, view);
    std::vector<CComPtr<IBaseControl>> held(selected_.begin(), selected_.end());
    IBaseControl* target = sorted[0].control;
    std::vector<IBaseControl*> operands;
    for (size_t i = 1; i < sorted.size(); ++i) operands.push_back(sorted[i].control);

    CComPtr<ISelectionControlDispatch> undoTarget;
    HRESULT hr = CreateUndoSelection(&undoTarget);
    if (SUCCEEDED(hr)) {
        CComPtr<ISelectionControl> undoSelection;
        CComPtr<IControlArray> array;
        undoTarget->QueryInterface(IID_ISelectionControl, reinterpret_cast<void**>(&undoSelection));
        if (undoSelection && SUCCEEDED(GetArray(&array))) undoSelection->AddArray(array);
        CUndoGroup group(undoTarget, caption);
        IBaseControl* result = nullptr;
        hr = target->ShapeOperation(op, operands.data(), static_cast<LONG>(operands.size()), 0, &result);
        CComPtr<IBaseControl> made;
        made.Attach(result);
        if (hr == S_OK && made) {
            const bool isNew = made.p != target;
            std::unique_ptr<CUndoGroup> targetGroup(isNew ? new CUndoGroup(target, caption) : nullptr);
            std::vector<IBaseControl*> usedUp = operands;
            if (isNew) usedUp.push_back(target);
            replacing_ = 1;
            RemoveAll();
            view->DeleteControlList(usedUp.data(), static_cast<int>(usedUp.size()));
            replacing_ = 0;
            if (isNew) {
                long index = sorted[0].index;
                IBaseControl* inserted = made;
                view->InsertControlList(&inserted, &index, 1);
            } else {
                Add(made);
            }
            targetGroup.reset();
            CUndoGroup closing(made, caption);
        } else if (hr == S_OK) {
            std::vector<IBaseControl*> all;
            for (const Indexed& i : sorted) all.push_back(i.control);
            RemoveAll();
            view->DeleteControlList(all.data(), static_cast<int>(all.size()));
        } else if (hr == E_FAIL) {
            ReportShapeOperationFailure();
        }
        // S_FALSE and other answers change nothing.
    }
    SetCursor(previous);
    return hr;
}

HRESULT CSelectionControl::ConvertToCurves() {
    ITarnViewEvents* view = OperationView();
    if (selected_.empty() || !view) return S_FALSE;
    CComPtr<IUnknown> self(GetUnknown());
    std::vector<IBaseControl*> candidates = selected_;
    if (IBaseControl* leader = FindBuddyLeader()) candidates.assign(1, leader);
    struct Replacement {
        CComPtr<IBaseControl> made, old;
        long index;
    };
    std::vector<Replacement> replacements;
    for (IBaseControl* c : candidates) {
        if (c->SupportsShapeOperation(kToCurves, nullptr, 0) != S_OK) continue;
        IBaseControl* result = nullptr;
        if (c->ShapeOperation(kToCurves, nullptr, 0, 0, &result) != S_OK || !result) continue;
        Replacement r;
        r.made.Attach(result);
        r.old = c;
        r.index = 0;
        view->GetControlIndex(c, &r.index);
        if (r.made.p != c) replacements.push_back(r);
    }
    if (replacements.empty()) return S_OK;
    std::stable_sort(replacements.begin(), replacements.end(),
                     [](const Replacement& a, const Replacement& b) { return a.index < b.index; });
    {
        CUndoGroup group(GetUnknown(), kCaptionToCurves);
        RemoveAll();
        replacing_ = 1;
        std::vector<IBaseControl*> made, old;
        std::vector<long> indices;
        for (Replacement& r : replacements) {
            made.push_back(r.made);
            old.push_back(r.old);
            indices.push_back(r.index);
        }
        view->InsertControlList(made.data(), indices.data(), static_cast<int>(made.size()));
        for (Replacement& r : replacements) {
            CComPtr<IRectCtrlSmartCacheDispatch> cache;
            r.old->QueryInterface(IID_IRectCtrlSmartCacheDispatch, reinterpret_cast<void**>(&cache));
            if (cache) cache->DelegateClientsToCtrl_Disp(r.made);
        }
        view->DeleteControlList(old.data(), static_cast<int>(old.size()));
        replacing_ = 0;
    }
    // A group answers no to selection mode 1 of its own accord.
    if (replacements[0].made->SupportsSelMode(1) == S_OK) view->SetSelMode(1);
    return S_OK;
}

IBaseControl* CSelectionControl::FindPathFitter(std::vector<IBaseControl*>& others) {
    if (selected_.size() < 2) return nullptr;
    for (IBaseControl* first : selected_) {
        others.clear();
        for (IBaseControl* c : selected_)
            if (c != first) others.push_back(c);
        if (first->SupportsShapeOperation(kFitToPath, others.data(), static_cast<LONG>(others.size())) == S_OK)
            return first;
    }
    others.clear();
    return nullptr;
}

HRESULT CSelectionControl::FitToPath() {
    std::vector<IBaseControl*> others;
    IBaseControl* first = FindPathFitter(others);
    if (!first) return S_FALSE;
    CComPtr<IUnknown> self(GetUnknown());
    std::vector<CComPtr<IBaseControl>> held(selected_.begin(), selected_.end());
    CUndoGroup group(GetUnknown(), kCaptionFitToPath);
    IBaseControl* result = nullptr;
    first->ShapeOperation(kFitToPath, others.data(), static_cast<LONG>(others.size()), 0, &result);
    if (result) result->Release();
    for (IBaseControl* other : others) {
        IBaseControl* operand = first;
        IBaseControl* r = nullptr;
        other->ShapeOperation(kFitToPath, &operand, 1, 0, &r);
        if (r) r->Release();
    }
    SetControlActive(first, true);
    UpdateSelectionFrame();
    InvalidateUIShapesInAllViews();
    return S_OK;
}

bool CSelectionControl::CanReleaseFromPath() {
    if (selected_.size() < 2) return false;
    for (IBaseControl* c : selected_)
        if (c->SupportsShapeOperation(kFitToPath, nullptr, -1) == S_OK) return true;
    return false;
}

HRESULT CSelectionControl::ReleaseFromPath() {
    if (selected_.size() < 2) return S_FALSE;
    CComPtr<IUnknown> self(GetUnknown());
    std::vector<CComPtr<IBaseControl>> held(selected_.begin(), selected_.end());
    std::unique_ptr<CUndoGroup> group;
    for (CComPtr<IBaseControl>& c : held) {
        if (c->SupportsShapeOperation(kFitToPath, nullptr, -1) != S_OK) continue;
        if (!group) group.reset(new CUndoGroup(c, kCaptionReleaseFromPath));
        IBaseControl* result = nullptr;
        c->ShapeOperation(kFitToPath, nullptr, -1, 0, &result);
        if (result) result->Release();
        SetControlActive(c, true);
    }
    return S_OK;
}

// The shape operations of IBaseControl on a smart-cache control: convert to curves, combine, add,
// subtract, intersect, fit to path, and breaking a path apart into one control per sub-path.
#include <vector>

#include "RectCtrlSmartCache.h"
#include "ScopedLock.h"
#include "tarn/ControlsModuleState.h"
#include "tarn/ShapeOperationCodes.h"

namespace {

typedef std::vector<std::vector<SegmentDesc>> SubPaths;

void AppendPath(const CHeapArray& path, SubPaths& out) {
    for (int i = 0; i < path.Count(); ++i)
        if (path[i].segmentCount > 0) out.emplace_back(path[i].segments, path[i].segments + path[i].segmentCount);
}

// Pointers and counts of sub-paths for the engine's Boolean entry.
struct CPathLists {
    explicit CPathLists(SubPaths& paths) {
        for (auto& p : paths) {
            pointers.push_back(p.data());
            counts.push_back(static_cast<int>(p.size()));
        }
    }
    std::vector<SegmentDesc*> pointers;
    std::vector<int> counts;
};
}  // namespace

HRESULT CRectCtrlSmartCache::CreateCurveControl(const SubPaths&, bool, IBaseControl** result) {
    // The poly-Bezier kind supplies the new control; without it no shape operation has a result.
    if (result) *result = nullptr;
    return E_NOTIMPL;
}

int CRectCtrlSmartCache::AskAfterFailedBoolean(HWND owner) {
    const std::string text = LoadResourceString(kTextBooleanFailed);
    const std::string caption = LoadResourceString(kCaptionBooleanFailed);
    return MessageBoxA(owner, text.c_str(), caption.c_str(), MB_OKCANCEL | MB_DEFBUTTON2 | MB_ICONWARNING);
}

STDMETHODIMP CRectCtrlSmartCache::ShapeOperation(LONG opcode, IBaseControl** operands, LONG count, LONG hint,
                                                 IBaseControl** result) {
    if (result) *result = nullptr;
    if (count < 0 || (count > 0 && !operands)) return E_INVALIDARG;
    switch (opcode) {
    case kToCurves: {
        CScopedLock lock(SmartCacheLock());
        if (path_.Count() == 0) return E_FAIL;
        SubPaths paths;
        AppendPath(path_, paths);
        return CreateCurveControl(paths, true, result);
    }
    case kCombine: {
        CScopedLock lock(SmartCacheLock());
        SubPaths paths;
        AppendPath(path_, paths);
        for (LONG i = 0; i < count; ++i) {
            CRectCtrlSmartCache* other = Implementation(operands[i]);
            if (!other || !other->colorPart_->IsClosed() || other->path_.Count() == 0) continue;
            AppendPath(other->path_, paths);
        }
        const HRESULT hr = CreateCurveControl(paths, true, result);
        return FAILED(hr) ? hr : S_OK;
    }
    case kAdd:
    case kSubtract:
    case kIntersect:
        return RunBoolean(opcode, operands, count, hint, result);
    case kFitToPath:
        if (count == 1) {
            AttachPathClient_Disp(operands[0], 1);
            return S_OK;
        }
        if (count > 1) return S_FALSE;
        ReleaseClients(nullptr);
        return S_OK;
    default:
        return CShapeControlBase::ShapeOperation(opcode, operands, count, hint, result);
    }
}

HRESULT CRectCtrlSmartCache::RunBoolean(LONG opcode, IBaseControl** operands, LONG count, LONG hint,
                                        IBaseControl** result) {
    CScopedLock lock(SmartCacheLock());
    // Until the engine offers Boolean operations they fail, without the box that offers a retry.
    if (!engine_->pathBooleanOperation) return E_FAIL;
    SubPaths current;
    AppendPath(path_, current);
    const int operation = static_cast<int>(opcode - kAdd);
    for (LONG n = 0; n < count; ++n) {
        CRectCtrlSmartCache* other = Implementation(operands[n]);
        if (!other) continue;
        SubPaths second;
        AppendPath(other->path_, second);
        const int hints[3] = {static_cast<int>(hint), static_cast<int>(hint ^ 3), static_cast<int>((hint & ~2) | 9)};
        bool done = false;
        for (int attempt = 0; attempt < 3 && !done; ++attempt) {
            CPathLists a(current), b(second);
            SegmentDesc** out = nullptr;
            int* outCounts = nullptr;
            int outCount = 0;
            if (!engine_->pathBooleanOperation(a.pointers.data(), a.counts.data(), static_cast<int>(a.counts.size()),
                                               b.pointers.data(), b.counts.data(), static_cast<int>(b.counts.size()),
                                               operation, hints[attempt], &out, &outCounts, &outCount))
                continue;
            SubPaths next;
            for (int i = 0; i < outCount; ++i) next.emplace_back(out[i], out[i] + outCounts[i]);
            if (engine_->freeBooleanResult) engine_->freeBooleanResult(out, outCounts, outCount);
            current.swap(next);
            done = true;
        }
        if (!done) {
            // The box is modal: drawing on other threads must not wait for the user.
            lock.Unlock();
            if (views_.empty()) return E_FAIL;
            LONG_PTR hwnd = 0;
            views_.front()->view->GetHWND(&hwnd);
            return AskAfterFailedBoolean(reinterpret_cast<HWND>(hwnd)) == IDCANCEL ? S_FALSE : S_OK;
        }
    }
    return CreateCurveControl(current, true, result);
}

STDMETHODIMP CRectCtrlSmartCache::SupportsShapeOperation(LONG opcode, IBaseControl** operands, LONG count) {
    if (opcode < kToCurves || opcode > kFitToPath) return CShapeControlBase::SupportsShapeOperation(opcode, operands, count);
    if (count < 0 || (count > 0 && !operands)) return E_INVALIDARG;
    switch (opcode) {
    case kToCurves:
        return path_.Count() >= 1 ? S_OK : S_FALSE;
    case kFitToPath:
        return S_FALSE;
    case kCombine:
        if (count == 0) return path_.Count() > 1 && colorPart_->IsClosed() ? S_OK : S_FALSE;
        // fall through: with operands, as the Boolean operations
    default:
        if (!colorPart_->IsClosed()) return S_FALSE;
        for (LONG i = 0; i < count; ++i) {
            CRectCtrlSmartCache* other = Implementation(operands[i]);
            if (!other || !other->colorPart_->IsClosed()) return S_FALSE;
        }
        return S_OK;
    }
}

int CRectCtrlSmartCache::BreakApart(ITarnViewEvents* view) {
    SubPaths pieces;
    for (int i = 0; i < path_.Count(); ++i) {
        const CHeapArrayItem& item = path_[i];
        int start = 0;
        for (int s = 0; s < item.segmentCount; ++s)
            if (item.segments[s].kind == kSegmentEnd) {
                pieces.emplace_back(item.segments + start, item.segments + s + 1);
                start = s + 1;
            }
    }
    if (pieces.empty()) return 0;
    std::vector<IBaseControl*> made;
    for (const auto& piece : pieces) {
        IBaseControl* control = nullptr;
        const SubPaths single(1, piece);
        if (SUCCEEDED(CreateCurveControl(single, colorPart_->IsClosed(), &control)) && control)
            made.push_back(control);
    }
    if (made.empty()) return 0;
    GetUnknown()->AddRef();  // the view lets this control go
    StartGroupUndo(0, kCaptionBreakApart);
    if (view) {
        LONG first = 0;
        view->GetControlIndex(static_cast<IBaseControl*>(this), &first);
        std::vector<LONG> indices;
        for (size_t i = 0; i < made.size(); ++i) indices.push_back(first + static_cast<LONG>(i));
        IBaseControl* self = static_cast<IBaseControl*>(this);
        view->DeleteControlList(&self, 1);
        view->InsertControlList(made.data(), indices.data(), static_cast<int>(made.size()));
    }
    // The group closes on the first new control: this one may be gone from the site by now.
    IBaseControlDispatch* closing = nullptr;
    if (SUCCEEDED(made[0]->QueryInterface(IID_IBaseControlDispatch, reinterpret_cast<void**>(&closing)))) {
        closing->StartGroupUndo(1, kCaptionBreakApart);
        closing->Release();
    }
    const int n = static_cast<int>(made.size());
    for (IBaseControl* control : made) control->Release();
    GetUnknown()->Release();
    return n;
}

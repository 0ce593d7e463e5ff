#pragma once
// A shape kind over the smart cache for the tests (ellipses in its frame, or a path given in document
// coordinates), a canvas over a plain 24-bit bitmap, and an engine wrapper that counts and can fail.
#include <windows.h>

#include <functional>
#include <vector>

#include "RectCtrlSmartCache.h"
#include "RectFixtures.h"

// {2D6A8E51-7F03-4B9C-A1E4-58C0B3D7E912}
const CLSID CLSID_TestShapeControl = {0x2d6a8e51, 0x7f03, 0x4b9c, {0xa1, 0xe4, 0x58, 0xc0, 0xb3, 0xd7, 0xe9, 0x12}};

class CTestShape : public CRectCtrlSmartCache {
public:
    const CLSID& GetControlClsid() const override { return CLSID_TestShapeControl; }
    void BuildLocalPath(CHeapArray& path) override;
    HRESULT CreateCurveControl(const std::vector<std::vector<SegmentDesc>>& paths, bool closed,
                               IBaseControl** result) override;
    int AskAfterFailedBoolean(HWND) override {
        ++boxes;
        return boxAnswer;
    }
    bool OutlineIsFrame() override { return frameOutline; }
    bool MovesDuringDrag() override { return true; }
    void OnTransformChanged(const CLinearTransform& old) override {
        ++changes_;
        CRectCtrlSmartCache::OnTransformChanged(old);
    }
    int transformChanges() const { return changes_; }
    int changes_ = 0;
    // Holds document coordinates from now on.
    void SetDocumentPath(const std::vector<std::vector<SegmentDesc>>& paths);
    void ForceTransform(const CLinearTransform& t) { transform_ = t; }

    // Ellipses: a grid of rows x columns sub-ellipses filling the frame (1 x 1: the frame's ellipse).
    int rows = 1, columns = 1;
    int builds = 0;
    int boxes = 0;
    int boxAnswer = IDOK;
    bool frameOutline = false;
    std::vector<std::vector<SegmentDesc>> documentPath;
    ITarnSiteEvents* siteForNew = nullptr;  // new controls tell this site their undo records
    const CShapeEngine* engineForNew = nullptr;
};

typedef CComObject<CTestShape> TestShapeObject;

TestShapeObject* NewShape(const tagRectF& rect, COLORREF fill = RGB(200, 30, 40));
IBaseControl* AsBase(CTestShape* shape);
IRectCtrlSmartCache* AsRectCache(CTestShape* shape);
IRectangularControl* AsRect(CTestShape* shape);


// The index of the controls being saved or loaded: control i answers i + 1.
class CFakeSerializer : public IControlSerializer {
public:
    STDMETHOD(QueryInterface)(REFIID iid, void** ppv) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IControlSerializer)) {
            *ppv = static_cast<IControlSerializer*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHOD_(ULONG, AddRef)() override { return ++refs; }
    STDMETHOD_(ULONG, Release)() override { return --refs; }
    STDMETHOD(IndexOf)(IUnknown* control, LONG* index) override {
        for (size_t i = 0; i < controls.size(); ++i)
            if (static_cast<IUnknown*>(controls[i]) == control) {
                *index = static_cast<LONG>(i + 1);
                return S_OK;
            }
        return E_FAIL;
    }
    STDMETHOD(ControlAt)(LONG index, IBaseControl** control) override {
        *control = nullptr;
        if (index < 1 || index > static_cast<LONG>(controls.size())) return E_INVALIDARG;
        *control = controls[index - 1];
        (*control)->AddRef();
        return S_OK;
    }
    std::vector<IBaseControl*> controls;
    ULONG refs = 0;
};

// Wraps the default engine: counts what the cache asks and can fail the Boolean operation.
struct CCountingEngine {
    CCountingEngine();
    CShapeEngine table;
    static CCountingEngine* current;
    int draws = 0;
    int fills = 0;
    int polyDraws = 0;
    std::vector<int> booleanFlags;
    bool booleanSucceeds = false;
};

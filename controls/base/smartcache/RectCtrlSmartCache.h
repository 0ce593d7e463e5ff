#pragma once
// The layer over the shape base shared by the figure, poly-Bezier and text kinds: per-view caching
// of the rendered coverage (a redraw after a whole-pixel move repaints the kept coverage and renders
// only the strips newly exposed), hit tests on that coverage, path clients that follow the path,
// and the shape operations of IBaseControl.
#include <vector>

#include "ShapeControlBase.h"

// Coverage of one view: where it was made and what it covers, in canvas pixels.
class CSmartCacheViewData : public CRectViewData {
public:
    explicit CSmartCacheViewData(ITarnViewEvents* view) : CRectViewData(view) {}
    ~CSmartCacheViewData() override { FreeCoverage(); }
    void FreeCoverage();

    RECT cached{0, 0, 0, 0};
    POINT offset{0, 0};
    double scale = 0;
    CAffineMatrix matrix;
    void* coverage = nullptr;  // CoverageMaskList nodes in a process-heap block, or null
};

// Bytes of the module scratch buffer, and where a new node may still start.
const size_t kScratchBytes = 4194304;
const size_t kScratchNodeLimit = 4128768;
const UINT kCaptionEditPath = 21242;
const UINT kTextBooleanFailed = 21286;
const UINT kCaptionBooleanFailed = 21285;
const UINT kCaptionBreakApart = 21299;
const int kOutlineFramePaths = 32;  // more sub-paths than this draw the frame as their fast outline

class CRectCtrlSmartCache : public CShapeControlBase,
                            public IRectCtrlSmartCache,
                            public IDispatchFromTypeLib<IRectCtrlSmartCacheDispatch, &IID_IRectCtrlSmartCacheDispatch> {
public:
    CRectCtrlSmartCache();
    ~CRectCtrlSmartCache() override;

    HRESULT QueryControlInterface(REFIID iid, void** ppv) override;

    // IRectCtrlSmartCache
    STDMETHOD(AttachPathClient)(IBaseControl* client, LONG attach) override;
    STDMETHOD(EnableCache)(LONG newVal) override;
    STDMETHOD(CacheEnabled)() override;
    STDMETHOD(GetDocData)(LONG** rawData) override;
    STDMETHOD(ClientMoveBy)(tagSizeF offset) override;
    STDMETHOD(DelegateClientsToCtrl)(IBaseControl* newOwner) override;
    STDMETHOD(GetClientControlsList)(IUnknown* list) override;
    // IRectCtrlSmartCacheDispatch
    STDMETHOD(AttachPathClient_Disp)(IUnknown* client, LONG attach) override;
    STDMETHOD(DelegateClientsToCtrl_Disp)(IUnknown* newOwner) override;

    // IBaseControl
    STDMETHOD(get_RectForAlignment)(tagRectF* pVal) override;
    STDMETHOD(MoveBy)(tagSizeF offset) override;
    STDMETHOD(ContainsPoint)(tagPointF point, double maxDelta, ITarnViewEvents* view) override;
    STDMETHOD(OverlapsWithRect)(tagRectF rect, ITarnViewEvents* view) override;
    STDMETHOD(ControlDeleted)(IBaseControl* control) override;
    STDMETHOD(FreeTemporaryData)() override;
    STDMETHOD(Invalidate)() override;
    STDMETHOD(Draw)(tagDrawOptions* options) override;
    STDMETHOD(DrawOutlineFast)(HDC hDC, tagDrawOptions* options, ITarnViewEvents* view, double* matrix) override;
    STDMETHOD(ShapeOperation)(LONG opcode, IBaseControl** operands, LONG count, LONG hint,
                              IBaseControl** result) override;
    STDMETHOD(SupportsShapeOperation)(LONG opcode, IBaseControl** operands, LONG count) override;
    STDMETHOD(put_Serializer)(IUnknown* newVal) override;
    STDMETHOD(IsEqualTo)(IUnknown* other) override;
    STDMETHOD(Update)(LONG_PTR command, LONG* enabled, LONG* checked, LONG* isRadioButton) override;

    // Virtual operations of the layer.
    virtual bool IsPathModified() override { return CShapeControlBase::IsPathModified() || coverageStale_; }
    virtual void FreeCaches();
    virtual bool BeginRenderPass();
    virtual int GetTileRect(int i, RECT* rect);
    virtual unsigned char* GetScratchNode();
    virtual void EndRenderPass(const tagDrawOptions& options);
    virtual int PrepareCachedDraw(const tagDrawOptions& options);
    virtual bool OutlineIsFrame() { return true; }
    virtual bool PrepareStrokeFill(FillInfo& fill, const tagDrawOptions& options);
    // The per-control flag that command 20037 shows checked; the kinds answer.
    virtual bool UpdateCheckFlag() { return false; }
    // A new poly-Bezier control from sub-paths in document coordinates, with this control's
    // placement, colour and effect; the kinds' poly-Bezier class supplies it.
    virtual HRESULT CreateCurveControl(const std::vector<std::vector<SegmentDesc>>& paths, bool closed,
                                       IBaseControl** result);
    // The box shown after three failed Boolean attempts: IDOK or IDCANCEL.
    virtual int AskAfterFailedBoolean(HWND owner);
    // Makes one control per sub-path in place of this one, in one undo group; the count made.
    int BreakApart(ITarnViewEvents* view);

    void OnChanged(bool propertiesChanged) override;
    void OnTransformChanged(const CLinearTransform& old) override;
    HRESULT LoadProperties(CTarnPropertyBag& bag) override;
    HRESULT SaveProperties(IStream* stream) override;
    CControlViewData* CreateViewData(ITarnViewEvents* view) override;

    // After the effect part took a new effect number: the path is warped anew and the clients,
    // nudged, follow it.
    void OnEffectNumberChanged();

    const std::vector<IBaseControl*>& Clients() const { return clients_; }
    const std::vector<long>& PendingClientIndices() const { return pendingIndices_; }
    CSmartCacheViewData* CacheRecord(ITarnViewEvents* view);
    CSmartCacheViewData& OwnRecord() { return ownRecord_; }
    bool IsCacheEnabled() const { return cacheEnabled_; }
    int TileCount() const { return tileCount_; }
    const RECT* Tiles() const { return tiles_; }
    // Tests shrink the scratch buffer this control may use, to force the overflow that switches
    // caching off (at least 512 bytes; new nodes start only before the buffer's last 64th).
    void SetScratchSize(size_t bytes) {
        scratchSize_ = bytes < 512 ? 512 : bytes < kScratchBytes ? bytes : kScratchBytes;
        scratchNodeLimit_ = scratchSize_ - scratchSize_ / 64;
    }

protected:
    void ReleaseClients(ITarnViewEvents* view);
    void UseCacheEffectPart();
    // Whether a record's coverage can answer hit tests now, and by how many pixels to shift them.
    bool CoverageServesTests(const CSmartCacheViewData* record, POINT& moved);
    void DetachFromOwners();
    void ForgetOwner(CRectCtrlSmartCache* owner);
    // The smart-cache class behind an object of this server, or null; no reference is kept.
    static CRectCtrlSmartCache* Implementation(IUnknown* object);
    HRESULT QueryImplementation(REFIID iid, void** ppv);
    void LinkClient(IBaseControl* client);
    HRESULT RunBoolean(LONG opcode, IBaseControl** operands, LONG count, LONG hint, IBaseControl** result);
    void DrawTiles(const tagDrawOptions& options, ImagingBitmap* bitmap, POINT shift);

    bool cacheEnabled_ = true;
    bool coverageStale_ = true;
    std::vector<IBaseControl*> clients_;       // no references: a client leaves the list when destroyed
    std::vector<long> pendingIndices_;         // stored client indices until the serializer goes
    std::vector<CRectCtrlSmartCache*> owners_;  // the controls this one is a path client of
    RECT tiles_[4]{};
    int tileCount_ = 0;
    size_t scratchUsed_ = 0;
    bool scratchAtStart_ = true;
    size_t scratchSize_ = kScratchBytes;
    size_t scratchNodeLimit_ = kScratchNodeLimit;
    RECT accumulated_{0, 0, 0, 0};
    bool lastRect_ = false;
    bool invalidating_ = false;
    bool passingTransform_ = false;
    POINT passShift_{0, 0};
    ImagingBitmap* passBitmap_ = nullptr;
    CSmartCacheViewData* passRecord_ = nullptr;
    CSmartCacheViewData ownRecord_{nullptr};
};

// The lock of the smart-cache drawing, outline drawing, coverage tests, shape operations and the
// module scratch buffer, and that buffer.
CRITICAL_SECTION& SmartCacheLock();
unsigned char* SmartCacheScratch();

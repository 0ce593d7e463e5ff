#pragma once
// The base of the filled and outlined controls whose outline is a path of Bezier segments. Over the
// rectangular layer it keeps a colour part, an effect part and the path in document coordinates
// with its bounds; a move shifts the kept path, any other change of the placement rebuilds it.
#include "ColorPart.h"
#include "EffectPart.h"
#include "RectControlBase.h"
#include "ShapeEngine.h"
#include "tarn/HeapArray.h"

class CShapeControlBase : public CRectControlBase {
public:
    CShapeControlBase();
    ~CShapeControlBase() override;

    // IBaseControl
    STDMETHOD(get_FilledRect)(tagRectF* pVal) override;
    STDMETHOD(Draw)(tagDrawOptions* options) override;

    // Virtual operations of the layer.
    // Brings the path up to date with the placement; force rebuilds it whatever changed.
    virtual void RebuildPath(bool force);
    virtual CHeapArray& GetPathArray() { return path_; }
    // Device-space gradient geometry of the colour slots, then hands the request to the colour part.
    virtual void PrepareGradients(const tagDrawOptions& options);
    // The path scaled to device pixels for a drawing request; S_FALSE when there is nothing to draw.
    virtual HRESULT MakeDevicePath(const tagDrawOptions& options);
    virtual HRESULT HasPathData();
    // The colour slots' parent angles refreshed from the placement; the current slot's, in degrees.
    double ParentAngle();
    // A gradient bound point of the current slot, kept in local coordinates, in document ones.
    tagPointF GradBound(int index);
    void SetGradBound(int index, const tagPointF& document);
    void SetGradBoundIndex(long index);
    // The path in the control's local frame coordinates; kinds fill `path` here on a full rebuild.
    virtual void BuildLocalPath(CHeapArray& path);
    // Whether the path must be rebuilt even for a pure move (its shape or effect changed).
    virtual bool IsPathModified() { return pathChanged_; }

    void OnChanged(bool propertiesChanged) override;
    HRESULT LoadProperties(CTarnPropertyBag& bag) override;
    HRESULT SaveProperties(IStream* stream) override;

    void ClearPath() { path_.SetCount(0, 1); }
    void MarkPathChanged() { pathChanged_ = true; }
    const CHeapArray& Path() const { return path_; }
    const CHeapArray& DevicePath() const { return devicePath_; }
    const tagRectF& PathBounds() const { return pathBounds_; }
    const tagRectF& StrokeBounds() const { return strokeBounds_; }
    // The device origin of the last MakeDevicePath: device x = k * document x - origin.x.
    POINT DeviceOrigin() const { return deviceOrigin_; }
    double DeviceScale() const { return deviceScale_; }
    CColorPart& ColorPart() { return *colorPart_; }
    CEffectPart& EffectPart() { return *effectPart_; }
    const CShapeEngine& Engine() const { return *engine_; }
    // Tests hand in a fake engine; the table must outlive the control.
    void UseEngine(const CShapeEngine& engine) { engine_ = &engine; }

protected:
    // The view origin of a request: the canvas offset, or the calling view's, or none.
    static POINT RequestOrigin(const tagDrawOptions& options);

    std::unique_ptr<CColorPart> colorPart_;
    std::unique_ptr<CEffectPart> effectPart_;
    double gradientCache_[6];
    bool gradientForce_ = true;
    tagPointF gradientOffset_{0, 0};
    bool outlineFlag_ = true;    // passed to the stroke-bounds computation
    bool transformFlag_ = true;  // the path is local and mapped by the placement on a full rebuild
    tagRectF strokeBounds_{0, 0, 0, 0};
    tagRectF pathBounds_{0, 0, 0, 0};
    CAffineMatrix pathMatrix_;
    bool pathBuilt_ = false;
    bool pathChanged_ = true;
    CHeapArray path_;
    CHeapArray devicePath_;
    POINT deviceOrigin_{0, 0};
    double deviceScale_ = 0;
    const CShapeEngine* engine_;
};

// The module-wide lock of path rebuilds.
CRITICAL_SECTION& ShapePathLock();

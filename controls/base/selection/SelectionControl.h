#pragma once
// The drawing control that stands for a view's selection. With one control selected it is
// transparent: calls and messages go to that control. With several it is a rectangular control of
// its own whose frame encloses them all; its drags, setters and list methods move every selected
// control by one transform of the whole group and record one undoable list transform.
#include <windows.h>

#include <vector>

#include "RectControlBase.h"
#include "TarnControls.h"
#include "atlbase.h"
#include "atlcom.h"
#include "tarn/TypeLibDispatch.h"

// Captions of the selection's undo records and messages.
const UINT kCaptionMoveList = 21215;
const UINT kCaptionScaleList = 21216;
const UINT kCaptionRotateList = 21217;
const UINT kCaptionSkewList = 21218;
const UINT kCaptionListRotationPoint = 21219;
const UINT kSelectionMenu = 21123;

class CSelectionControl : public CRectControlBase,
                          public CComCoClass<CSelectionControl, &CLSID_SelectionControl>,
                          public ISelectionControl,
                          public ISpecifyPropertyPages,
                          public IDispatchFromTypeLib<ISelectionControlDispatch, &IID_ISelectionControlDispatch> {
public:
    DECLARE_REGISTRY_RESOURCEID(21007)
    DECLARE_NOT_AGGREGATABLE(CSelectionControl)

    CSelectionControl();
    ~CSelectionControl() override;

    const CLSID& GetControlClsid() const override { return CLSID_SelectionControl; }
    HRESULT QueryControlInterface(REFIID iid, void** ppv) override;

    // ISelectionControl
    STDMETHOD(Add)(IBaseControl* control) override;
    STDMETHOD(Remove)(IBaseControl* control) override;
    STDMETHOD(Find)(IBaseControl* control) override;
    STDMETHOD(Count)(long* count) override;
    STDMETHOD(RemoveAll)() override;
    STDMETHOD(GetControlList)(IUnknown* pList) override;
    STDMETHOD(Update)() override;
    STDMETHOD(AddArray)(IControlArray* array) override;
    STDMETHOD(GetArray)(IControlArray** array) override;
    STDMETHOD(RemoveArray)() override;
    STDMETHOD(SetSelectionMode)(long selMode, ITarnViewEvents* view) override;
    STDMETHOD(CreateNewSelectionControl)(ISelectionControlDispatch** selection) override;

    // ISpecifyPropertyPages: the owner's choice first, else the pages of the property map.
    STDMETHOD(GetPages)(CAUUID* pages) override;

    // ISelectionControlDispatch: the list transforms, each recording its exact inverse.
    STDMETHOD(MoveListBy)(IUnknown* pList, double offsetCX, double offsetCY) override;
    STDMETHOD(ScaleListBy)(IUnknown* pList, double scaleX, double scaleY, double offsetCX, double offsetCY,
                           double fRotateAngle) override;
    STDMETHOD(RotateListBy)(IUnknown* pList, double fRotateAngle, double fRotatePointX, double fRotatePointY) override;
    STDMETHOD(SetListRotationPoint)(IUnknown* pList, double fRotatePointX, double fRotatePointY) override;
    STDMETHOD(SkewListBy)(IUnknown* pList, double coeff, double skewX, double skewY, double refPointX,
                          double refPointY) override;
    STDMETHOD(SetListCenterPoint)(IUnknown* pList, double CenterX, double CenterY) override;
    STDMETHOD(SetListRect)(IUnknown* pList, double left, double top, double right, double bottom) override;

    // IBaseControl as the selection answers it.
    STDMETHOD(get_BoundingRect)(tagRectF* pVal) override;
    STDMETHOD(get_FrameRect)(tagRectF* pVal) override;
    STDMETHOD(put_Rect)(tagRectF newVal) override;
    STDMETHOD(get_RectForAlignment)(tagRectF* pVal) override;
    STDMETHOD(get_ControlNameID)(int* pVal) override;
    STDMETHOD(put_ControlName)(BSTR newVal) override;
    STDMETHOD(get_Storable)(LONG* pVal) override;
    STDMETHOD(put_Storable)(LONG newVal) override;
    STDMETHOD(put_Visible)(LONG newVal) override;
    STDMETHOD(ControlAdded)(IBaseControl* control) override;
    STDMETHOD(ControlDeleted)(IBaseControl* control) override;
    STDMETHOD(ControlChanged)(IBaseControl* control) override;
    STDMETHOD(ControlReplaced)(IBaseControl* oldControl, IBaseControl* newControl) override;
    STDMETHOD(DocumentChanged)() override;
    STDMETHOD(RotateBy)(double angle, tagPointF refPoint) override;
    STDMETHOD(RotateBy180)() override;
    STDMETHOD(SkewBy)(double coeff, double skewX, double skewY, tagPointF refPoint) override;
    STDMETHOD(MoveBy)(tagSizeF offset) override;
    STDMETHOD(ScaleBy)(double scaleX, double scaleY) override;
    STDMETHOD(FlipHorizontally)() override;
    STDMETHOD(FlipVertically)() override;
    STDMETHOD(ContainsPoint)(tagPointF DocPoint, double maxDelta, ITarnViewEvents* view) override;
    STDMETHOD(OverlapsWithRect)(tagRectF docRect, ITarnViewEvents* view) override;
    STDMETHOD(HitTest)(tagPointF DocPoint, ITarnViewEvents* view, tagHitTestResult* result) override;
    STDMETHOD(RegisterView)(ITarnViewEvents* view) override;
    STDMETHOD(put_Active)(ITarnViewEvents* view, LONG newVal) override;
    STDMETHOD(Invalidate)() override;
    STDMETHOD(DrawUIShapes)(HDC hDC, ITarnViewEvents* view, tagDrawOptions* options) override;
    STDMETHOD(InvalidateUIShapesInView)(ITarnViewEvents* view) override;
    STDMETHOD(DrawOutlineFast)(HDC hDC, tagDrawOptions* options, ITarnViewEvents* view, double* matrix) override;
    STDMETHOD(InvalidateOutlineFast)(ITarnViewEvents* view, double* matrix) override;
    STDMETHOD(OnWindowMessage)(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* plResult,
                               ITarnViewEvents* view) override;
    STDMETHOD(GetCursor)(tagPointF DocPoint, ITarnViewEvents* view, HICON* cursor) override;
    STDMETHOD(FillClipboardData)(LONG* formats, LONG* media, LONG* count) override;
    STDMETHOD(GetPopupMenu)(int nSize, BYTE* buffer) override;

    // IBaseControlDispatch
    STDMETHOD(SetCenterPoint)(double x, double y) override;
    STDMETHOD(SetRect)(double left, double top, double right, double bottom) override;
    STDMETHOD(SetVisible)(LONG visible) override;
    STDMETHOD(put_ControlName_Disp)(BSTR newVal) override;
    STDMETHOD(put_Storable_Disp)(LONG newVal) override;
    STDMETHOD(get_Storable_Disp)(LONG* pVal) override;

    // IRectangularControl and its twin
    STDMETHOD(put_XScale)(double newVal) override;
    STDMETHOD(put_YScale)(double newVal) override;
    STDMETHOD(put_RotateAngle)(double newVal) override;
    STDMETHOD(put_SkewAngle)(double newVal) override;
    STDMETHOD(put_RotationPoint)(tagPointF newVal) override;
    STDMETHOD(SetLinearTransformParams)(double xScale, double yScale, tagPointF offset, double rotateAngle,
                                        double skewAngle) override;
    STDMETHOD(SetXScale)(double newVal) override;
    STDMETHOD(SetYScale)(double newVal) override;
    STDMETHOD(SetRotateAngle)(double newVal) override;
    STDMETHOD(SetSkewAngle)(double newVal) override;

    // IControlControl
    STDMETHOD(EnterDirectDataMode)() override;
    STDMETHOD(LeaveDirectDataMode)() override;

    // IUIUpdater
    STDMETHOD(Update)(LONG_PTR lParam, LONG* enabled, LONG* checked, LONG* isRadioButton) override;

    // IPersistStream
    STDMETHOD(Save)(IStream* stream, BOOL clearDirty) override;
    STDMETHOD(Load)(IStream* stream) override;

    // The selection's drags are never live: the controls follow when the drag ends.
    bool MovesDuringDrag() override { return false; }
    bool ResizesLive() override { return false; }
    bool RotatesLive() override { return false; }
    bool SkewsLive() override { return false; }
    bool EndDrag(bool commit, bool cancel) override;
    bool EndResize(bool commit, bool cancel) override;
    bool EndRotate(bool commit, bool cancel) override;
    bool EndSkew(bool commit, bool cancel) override;
    bool EndMoveRotationPoint(bool commit, bool cancel) override;

    // The list workers, applied to the controls of a list head to tail; bound buddies are skipped
    // and every transformed control records nothing of its own.
    typedef std::vector<IBaseControl*> ControlVector;
    virtual void ApplyListRect(const ControlVector& list, const tagRectF& newRect);
    virtual void ApplyListMove(const ControlVector& list, const tagSizeF& offset);
    virtual void ApplyListRotate(const ControlVector& list, double angle, const tagPointF& ref);
    virtual void ApplyListRotate180(const ControlVector& list);
    virtual void ApplyListScale(const ControlVector& list, double scaleX, double scaleY, double offsetX,
                                double offsetY, double angle);
    virtual void ApplyListSkew(const ControlVector& list, double coeff, double skewX, double skewY,
                               const tagPointF& ref);
    virtual void ResetSelectionList();
    virtual void UpdateSelectionFrame();
    virtual void GetListRects(const ControlVector& list, tagRectF* frame, tagRectF* bounding);
    virtual HRESULT CreateUndoSelection(ISelectionControlDispatch** selection);

    // The shape commands across the selection; their view is the calling view, else the first.
    virtual HRESULT ConvertToCurves();
    virtual HRESULT DoShapeOperation(LONG op, LONG caption);
    virtual bool CanDoShapeOperation(LONG op);
    virtual bool CanConvertToCurves();
    // Fits the other controls to the first that takes them as its path; releases path clients.
    virtual HRESULT FitToPath();
    virtual HRESULT ReleaseFromPath();
    virtual bool CanReleaseFromPath();
    // Tells the user that a shape operation failed (a message box on the view's window).
    virtual void ReportShapeOperationFailure();

    // The selected controls, head first (no references handed out).
    const ControlVector& Selected() const { return selected_; }
    bool HasList() const { return hasList_; }
    double AppliedRotation() const { return appliedRotation_; }

private:
    ITarnViewEvents* FirstView() const;
    ITarnViewEvents* OperationView() const;
    // The first selected control that takes all the others as its path, with those others.
    IBaseControl* FindPathFitter(std::vector<IBaseControl*>& others);
    // The transform a running move, resize, rotate or skew drag would apply; false without one.
    bool PendingDragMatrix(CAffineMatrix& pending) const;
    void SetControlActive(IBaseControl* control, bool active);
    void SetSelfActive(bool active);
    IBaseControl* FindBuddyLeader() const;
    void AddBuddiesToSelection();
    bool IsSelected(IBaseControl* control) const;
    void DeleteList();
    void ResetAngles();
    // Invalidate, recompute the frame, mark modified, invalidate.
    HRESULT StandardFinish();
    // The rotation point in local coordinates of the frame (the frame centre is (0, 0)).
    void StoreDocRotationPoint(const tagPointF& doc);
    // Adopts the controls of a list as the selection, appended in list order.
    void AdoptList(const ControlVector& list);
    // Records a list transform whose target is `target` and whose list is `list` (with a reference).
    void RecordList(IUnknown* list, const wchar_t* method, const double* numbers, int count, UINT caption,
                    IDispatch* target);
    // Records an interactive change: a new list of the selected controls, at a fresh undo selection.
    void RecordInteractive(const wchar_t* method, const double* numbers, int count, UINT caption);
    // Sends a message to every selected control inside one undo group.
    HRESULT ForwardInGroup(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* plResult, ITarnViewEvents* view,
                           LONG caption);
    // Enters or leaves the direct data mode on every selected control; the first failure.
    HRESULT DirectDataModeOfAll(HRESULT (STDMETHODCALLTYPE IControlControl::*mode)());
    IDispatch* SelfDispatch() { return static_cast<ISelectionControlDispatch*>(this); }

    ControlVector selected_;  // each entry holds one reference
    bool hasList_ = false;
    tagRectF bounding_{0, 0, 0, 0};
    tagRectF frame_{0, 0, 0, 0};
    long selectionMode_ = 0;
    long replacing_ = 0;
    double appliedRotation_ = 0;
    double appliedSkew_ = 0;
    CLinearTransform dragStart_;
};

// The controls of a CComControlList handed over as IUnknown, head to tail (no references taken).
std::vector<IBaseControl*> ControlsOfList(IUnknown* list);

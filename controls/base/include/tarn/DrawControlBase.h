#pragma once
// The common base of every drawing control: IBaseControl and its dispatch twin, the outgoing
// ITarnSiteEvents connection point, persistence of the common records, per-view records, the
// parameter map, the base drag and the shared message map. Kinds override the virtual operations.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <map>
#include <string>
#include <vector>

#include "TarnControls.h"
#include "atlobjectroot.h"
#include "tarn/PropertyMap.h"
#include "tarn/PropertyRecords.h"
#include "tarn/SingleConnectionPoint.h"
#include "tarn/TypeLibDispatch.h"

// Record ids of the base's saved properties.
const long kRecordVisible = 0x40010001;
const long kRecordControlName = 0x40010002;
const long kRecordTypeID = 0x40010003;

// Interaction states of a control.
enum : short {
    kStateIdle = 0,
    kStateFresh = 1,
    kStateMoving = 2,
};
// Message maps: the normal one and the one used while the control is being placed.
const DWORD kMapNormal = 0;
const DWORD kMapInserting = 101;
// The properties command of the controls' menus.
const UINT kCommandProperties = 20001;

// One record per view that shows the control; kinds make larger records through CreateViewData.
class CControlViewData {
public:
    explicit CControlViewData(ITarnViewEvents* view);
    virtual ~CControlViewData();
    CControlViewData(const CControlViewData&) = delete;
    CControlViewData& operator=(const CControlViewData&) = delete;

    ITarnViewEvents* view;  // holds a reference
    bool active = false;
};

struct CDragRecord {
    ITarnViewEvents* view;  // no reference: the view outlives the drag
    bool moved;
    tagPointF lastPoint;
    tagPointF referencePoint;
};

class CDrawControlBase;
// The name the line and image controls know their base by.
typedef CDrawControlBase CDrawControl;

class CDrawControlBase : public CComObjectRoot,
                         public IProvideClassInfo2,
                         public ISupportErrorInfo,
                         public IPersistStreamInit,
                         public IDispatchFromTypeLib<IBaseControlDispatch, &IID_IBaseControlDispatch>,
                         public CSingleConnectionPoint<CDrawControlBase, ITarnSiteEvents, &IID_ITarnSiteEvents>,
                         public ISelfInserter,
                         public IPerPropertyBrowsing,
                         public IBaseControl,
                         public IControlControl,
                         public IPropChanger,
                         public IUIUpdater {
public:
    CDrawControlBase();
    virtual ~CDrawControlBase();

    // The object's identity; kinds answer their own interfaces first and then ask the base.
    IUnknown* GetUnknown() { return static_cast<IBaseControl*>(this); }
    HRESULT InternalQueryInterface(REFIID iid, void** ppv);
    virtual HRESULT QueryControlInterface(REFIID iid, void** ppv);
    virtual const CLSID& GetControlClsid() const = 0;

    // IProvideClassInfo2
    STDMETHOD(GetClassInfo)(ITypeInfo** info) override;
    STDMETHOD(GetGUID)(DWORD kind, GUID* guid) override;
    // ISupportErrorInfo
    STDMETHOD(InterfaceSupportsErrorInfo)(REFIID iid) override;

    // IPersistStreamInit (IPersistStream is served by the same table)
    STDMETHOD(GetClassID)(CLSID* clsid) override;
    STDMETHOD(IsDirty)() override;
    STDMETHOD(Load)(IStream* stream) override;
    STDMETHOD(Save)(IStream* stream, BOOL clearDirty) override;
    STDMETHOD(GetSizeMax)(ULARGE_INTEGER* size) override;
    STDMETHOD(InitNew)() override;

    // ISelfInserter
    STDMETHOD(OnMessage)(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* plResult, ITarnViewEvents* view) override;
    STDMETHOD(CheckInsertingState)(tagControlInsertingResult* result) override;
    STDMETHOD(SetInserterInterface)(IControlInserter* inserter) override;
    STDMETHOD(GetInsertingControl)(IBaseControl** control) override;

    // IPerPropertyBrowsing
    STDMETHOD(GetDisplayString)(DISPID dispid, BSTR* text) override;
    STDMETHOD(MapPropertyToPage)(DISPID dispid, CLSID* page) override;
    STDMETHOD(GetPredefinedStrings)(DISPID dispid, CALPOLESTR* strings, CADWORD* cookies) override;
    STDMETHOD(GetPredefinedValue)(DISPID dispid, DWORD cookie, VARIANT* value) override;

    // IControlControl
    STDMETHOD(EnterDirectDataMode)() override;
    STDMETHOD(LeaveDirectDataMode)() override;
    // IPropChanger
    STDMETHOD(Copy)(IUnknown* source) override;
    // IUIUpdater
    STDMETHOD(Update)(LONG_PTR lParam, LONG* enabled, LONG* checked, LONG* isRadioButton) override;

    // IBaseControl
    STDMETHOD(get_CenterPoint)(tagPointF* pVal) override;
    STDMETHOD(put_CenterPoint)(tagPointF newVal) override;
    STDMETHOD(get_BoundingRect)(tagRectF* pVal) override;
    STDMETHOD(get_Rect)(tagRectF* pVal) override;
    STDMETHOD(put_Rect)(tagRectF newVal) override;
    STDMETHOD(get_FilledRect)(tagRectF* pVal) override;
    STDMETHOD(get_RectForAlignment)(tagRectF* pVal) override;
    STDMETHOD(get_FrameRect)(tagRectF* pVal) override;
    STDMETHOD(get_Size)(tagSizeF* pVal) override;
    STDMETHOD(put_Size)(tagSizeF newVal) override;
    STDMETHOD(get_Width)(double* pVal) override;
    STDMETHOD(put_Width)(double newVal) override;
    STDMETHOD(get_Height)(double* pVal) override;
    STDMETHOD(put_Height)(double newVal) override;
    STDMETHOD(get_Visible)(LONG* pVal) override;
    STDMETHOD(put_Visible)(LONG newVal) override;
    STDMETHOD(get_ControlNameID)(int* pVal) override;
    STDMETHOD(get_ControlName)(BSTR* pVal) override;
    STDMETHOD(put_ControlName)(BSTR newVal) override;
    STDMETHOD(get_Storable)(LONG* pVal) override;
    STDMETHOD(put_Storable)(LONG newVal) override;
    STDMETHOD(RotateBy)(double angle, tagPointF refPoint) override;
    STDMETHOD(RotateBy180)() override;
    STDMETHOD(SkewBy)(double coeff, double skewX, double skewY, tagPointF refPoint) override;
    STDMETHOD(MoveBy)(tagSizeF offset) override;
    STDMETHOD(ScaleBy)(double scaleX, double scaleY) override;
    STDMETHOD(FlipHorizontally)() override;
    STDMETHOD(FlipVertically)() override;
    STDMETHOD(ContainsPoint)(tagPointF DocPoint, double maxDelta, ITarnViewEvents* view) override;
    STDMETHOD(HitTest)(tagPointF DocPoint, ITarnViewEvents* view, tagHitTestResult* result) override;
    STDMETHOD(OverlapsWithRect)(tagRectF docRect, ITarnViewEvents* view) override;
    STDMETHOD(GetObjectMenu)(int nSize, BYTE* buffer) override;
    STDMETHOD(GetPopupMenu)(int nSize, BYTE* buffer) override;
    STDMETHOD(GetObjectToolbar)(int nSize, BYTE* buffer) override;
    STDMETHOD(ControlAdded)(IBaseControl* control) override;
    STDMETHOD(ControlDeleted)(IBaseControl* control) override;
    STDMETHOD(ControlDeleting)(IBaseControl* control) override;
    STDMETHOD(ControlChanged)(IBaseControl* control) override;
    STDMETHOD(ControlReplaced)(IBaseControl* oldControl, IBaseControl* newControl) override;
    STDMETHOD(DocumentChanged)() override;
    STDMETHOD(Validate)() override;
    STDMETHOD(FreeTemporaryData)() override;
    STDMETHOD(Invalidate)() override;
    STDMETHOD(Inserter_Redraw)() override;
    STDMETHOD(Draw)(tagDrawOptions* options) override;
    STDMETHOD(DrawUIShapes)(HDC hDC, ITarnViewEvents* view, tagDrawOptions* options) override;
    STDMETHOD(InvalidateUIShapesInView)(ITarnViewEvents* view) override;
    STDMETHOD(DrawOutlineFast)(HDC hDC, tagDrawOptions* options, ITarnViewEvents* view, double* matrix) override;
    STDMETHOD(InvalidateOutlineFast)(ITarnViewEvents* view, double* matrix) override;
    STDMETHOD(get_Active)(ITarnViewEvents* view, LONG* pVal) override;
    STDMETHOD(put_Active)(ITarnViewEvents* view, LONG newVal) override;
    STDMETHOD(OnWindowMessage)(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* plResult,
                               ITarnViewEvents* view) override;
    STDMETHOD(RegisterView)(ITarnViewEvents* view) override;
    STDMETHOD(UnregisterView)(ITarnViewEvents* view) override;
    STDMETHOD(UnregisterAllViews)() override;
    STDMETHOD(get_UseSetDirty)(LONG* pVal) override;
    STDMETHOD(put_UseSetDirty)(LONG newVal) override;
    STDMETHOD(ParseUnitsText)(LPSTR text, LONG bUseRatio, double* value) override;
    STDMETHOD(FormatUnitsText)(double value, char* text) override;
    STDMETHOD(GetOwnerHWND)(LONG_PTR* hwnd) override;
    STDMETHOD(get_ResID)(LONG* pVal) override;
    STDMETHOD(put_ResID)(LONG newVal) override;
    STDMETHOD(get_PreviewMode)(LONG* pVal) override;
    STDMETHOD(put_PreviewMode)(LONG newVal) override;
    STDMETHOD(GetCursor)(tagPointF DocPoint, ITarnViewEvents* view, HICON* cursor) override;
    STDMETHOD(GetInserterCursor)(HICON* cursor) override;
    STDMETHOD(get_PropMapEntries)(IUnknown** pVal) override;
    STDMETHOD(get_TypeID)(LONG* pVal) override;
    STDMETHOD(put_TypeID)(LONG newVal) override;
    STDMETHOD(SetParam)(BSTR name, int nSize, BYTE* data) override;
    STDMETHOD(GetParam)(BSTR name, int nSize, BYTE* buffer) override;
    STDMETHOD(GetParamSize)(BSTR name, int* size) override;
    STDMETHOD(GetParamCount)(int* count) override;
    STDMETHOD(GetParamName)(int index, BSTR* name) override;
    STDMETHOD(get_Owner)(IUnknown** pVal) override;
    STDMETHOD(put_Owner)(IUnknown* newVal) override;
    STDMETHOD(SetSelMode)(LONG selMode, ITarnViewEvents* view) override;
    STDMETHOD(SupportsSelMode)(LONG selMode) override;
    STDMETHOD(SupportsInserterSelMode)(LONG selMode) override;
    STDMETHOD(CustomHitTest)(tagPointF DocPoint, LONG idHitTest, ITarnViewEvents* view) override;
    STDMETHOD(get_SaveForViewer)(LONG* pVal) override;
    STDMETHOD(put_SaveForViewer)(LONG newVal) override;
    STDMETHOD(ShapeOperation)(LONG opcode, IBaseControl** operands, LONG count, LONG hint,
                              IBaseControl** result) override;
    STDMETHOD(SupportsShapeOperation)(LONG opcode, IBaseControl** operands, LONG count) override;
    STDMETHOD(GetNextBuddy)(IBaseControl** buddy) override;
    STDMETHOD(get_Serializer)(IUnknown** pVal) override;
    STDMETHOD(put_Serializer)(IUnknown* newVal) override;
    STDMETHOD(DuplicateTo)(LONG bForPropPages, IBaseControl** ppDest) override;
    STDMETHOD(IsEqualTo)(IUnknown* other) override;
    STDMETHOD(IgnoreInvalidate)(LONG newVal) override;
    STDMETHOD(FillClipboardData)(LONG* formats, LONG* media, LONG* count) override;

    // IBaseControlDispatch
    STDMETHOD(SetCenterPoint)(double x, double y) override;
    STDMETHOD(SetRect)(double left, double top, double right, double bottom) override;
    STDMETHOD(SetSize)(double cx, double cy) override;
    STDMETHOD(SetWidth)(double width) override;
    STDMETHOD(SetHeight)(double height) override;
    STDMETHOD(SetLeft)(double left) override;
    STDMETHOD(SetRight)(double right) override;
    STDMETHOD(SetTop)(double top) override;
    STDMETHOD(SetBottom)(double bottom) override;
    STDMETHOD(SetVisible)(LONG visible) override;
    STDMETHOD(get_ControlName_Disp)(BSTR* pVal) override;
    STDMETHOD(put_ControlName_Disp)(BSTR newVal) override;
    STDMETHOD(get_Storable_Disp)(LONG* pVal) override;
    STDMETHOD(put_Storable_Disp)(LONG newVal) override;
    STDMETHOD(RotateBy_Disp)(double angle, double refPointX, double refPointY) override;
    STDMETHOD(RotateBy180_Disp)() override;
    STDMETHOD(SkewBy_Disp)(double coeff, double skewX, double skewY, double refPointX, double refPointY) override;
    STDMETHOD(MoveBy_Disp)(double offsetCX, double offsetCY) override;
    STDMETHOD(ScaleBy_Disp)(double scaleX, double scaleY) override;
    STDMETHOD(FlipHorizontally_Disp)() override;
    STDMETHOD(FlipVertically_Disp)() override;
    STDMETHOD(StartGroupUndo)(LONG bStart, LONG idDescription) override;
    STDMETHOD(get_TypeID_Disp)(LONG* pVal) override;
    STDMETHOD(put_TypeID_Disp)(LONG newVal) override;
    STDMETHOD(SetControlName)(BSTR name) override;

    // Hands an undo record to every advised site, in advise order, under the object's lock.
    void FireAddUndo(tagUndoData* data);
    void FireInvalidate(const tagRectF& rect, int makeValid);
    void FireSelectionChanged();

    IBaseControlDispatch* DispatchInterface() { return static_cast<IBaseControlDispatch*>(this); }
    short State() const { return state_; }
    bool IsVisibleFlag() const { return visible_; }
    const std::wstring& Name() const { return name_; }
    ITarnViewEvents* CallingView() const { return callingView_; }

    // Coordinate helpers shared by the layers; each fails when the view cannot convert.
    static HRESULT WinToDocPoint(ITarnViewEvents* view, POINT win, tagPointF& doc);
    static HRESULT ViewToDocPoint(ITarnViewEvents* view, POINT viewPoint, tagPointF& doc);
    static HRESULT DocToViewPoint(ITarnViewEvents* view, const tagPointF& doc, POINT& viewPoint);
    static HRESULT DocToWinPoint(ITarnViewEvents* view, const tagPointF& doc, POINT& win);
    static HRESULT DocToViewRect(ITarnViewEvents* view, const tagRectF& doc, RECT& viewRect);
    static HRESULT DocToDevicePoint(const tagPointF& doc, const tagDrawOptions& options, POINT& device);
    HRESULT DCUnitsToInches(POINT dcUnits, tagPointF& inches);
    // Two view pixels in document units: the tolerance of every mouse test of the base.
    static double HitTolerance(ITarnViewEvents* view);

    // Virtual operations the layers override.
    virtual BOOL ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result,
                                      DWORD mapId);
    virtual double GetLeft();
    virtual HRESULT PutLeft(double value);
    virtual double GetRight();
    virtual HRESULT PutRight(double value);
    virtual double GetTop();
    virtual HRESULT PutTop(double value);
    virtual double GetBottom();
    virtual HRESULT PutBottom(double value);
    virtual HRESULT GetMenuResource(int nSize, BYTE* buffer);
    virtual bool RouteMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    virtual HRESULT FitToRect(const tagRectF& rect);
    virtual void OnChanged(bool propertiesChanged);
    virtual const PropMapEntry* GetPropertyMap();
    // Error information for dispatch callers; the result is hr, or E_FAIL when hr is 0.
    virtual HRESULT ReportError(UINT textId, const IID& iid, HRESULT hr = 0);
    virtual HRESULT ReportError(const char* text, const IID& iid, HRESULT hr = 0);
    virtual HRESULT ReportError(const wchar_t* text, const IID& iid, HRESULT hr = 0);
    virtual HRESULT ReportError(UINT textId, DWORD helpContext, const wchar_t* helpFile, const IID& iid,
                                HRESULT hr = 0);
    virtual HRESULT ReportError(const char* text, DWORD helpContext, const wchar_t* helpFile, const IID& iid,
                                HRESULT hr = 0);
    virtual HRESULT ReportError(const wchar_t* text, DWORD helpContext, const wchar_t* helpFile, const IID& iid,
                                HRESULT hr = 0);
    virtual HRESULT LoadProperties(CTarnPropertyBag& bag);
    virtual HRESULT SaveProperties(IStream* stream);
    virtual UINT GetResourceID();
    virtual void SetModified(bool modified);
    virtual bool IsModified();
    virtual CControlViewData* CreateViewData(ITarnViewEvents* view);
    virtual bool MovesDuringDrag();
    virtual bool BeginDrag(int x, int y, ITarnViewEvents* view);
    virtual bool EndDrag(bool commit, bool cancel);
    virtual bool DragTo(int x, int y);
    virtual CDragRecord* AllocDragRecord();
    virtual bool ShowProperties(DISPID dispid);
    virtual UINT GetCaptionID();
    virtual DISPID GetPageForCommand(UINT commandId);
    virtual bool HitTestUIShapes(const tagPointF& point, double tolerance, ITarnViewEvents* view);

    void InvalidateUIShapesInAllViews();
    DISPID ResolvePageCommand(UINT commandId);

protected:
    // Message handlers of the shared map; each returns whether it handled the message.
    bool OnLButtonDown(LPARAM lParam);
    bool OnMouseMove(LPARAM lParam);
    bool OnLButtonUp();
    bool OnKeyDown(WPARAM key);
    bool OnSysKeyDown(WPARAM key);
    bool OnLButtonDblClk(LPARAM lParam);
    bool OnRButtonDown(LPARAM lParam);
    bool OnRButtonUp(LPARAM lParam);
    bool PointInside(LPARAM lParam);

    CControlViewData* FindViewData(ITarnViewEvents* view, bool create);
    IControlOwnerHooks* OwnerHooks();  // with a reference, or null
    static void RectOrientedLike(const tagRectF& oldRect, const tagRectF& newRect, tagRectF& inverse);

    IUnknown* owner_ = nullptr;
    IUnknown* serializer_ = nullptr;
    short state_ = kStateFresh;
    CDragRecord* dragRecord_ = nullptr;
    short directDataDepth_ = 0;
    bool visible_ = false;
    bool saveForViewer_ = false;
    std::wstring name_;
    std::string narrowName_;
    bool useSetDirty_ = true;
    bool ignoreInvalidate_ = false;
    bool rightPressInside_ = false;
    bool previewMode_ = false;
    bool beingDeleted_ = false;
    DWORD messageMapId_ = kMapNormal;
    LONG typeId_ = -1;
    LONG resId_ = 0;
    IControlInserter* inserter_ = nullptr;
    LONG insertState_ = Cir_InProgress;
    std::vector<CControlViewData*> views_;
    ITarnViewEvents* callingView_ = nullptr;
    std::map<std::wstring, std::vector<BYTE>> parameters_;
    bool modified_ = false;
    LONG duplicatingForPages_ = 0;
};

#pragma once
// One design surface of a card: its background, its records and the ordered drawing controls it
// hosts. Controls reach the site through three host interfaces: events (undo, invalidation,
// selection), owner hooks (customised menus and dialogs) and the serializer (indexes of the
// controls while they are stored or loaded).
#include <windows.h>
#include <objbase.h>

#include <vector>

#include "ClArchive.h"
#include "ClCmdTarget.h"
#include "TarnApi.h"
#include "RectF.h"
#include "SegmentDesc.h"
#include "TarnControls.h"

class CTarnDoc;
class CTarnBackground;
class CTarnSiteProperties;
class CSiteStartData;
class CSiteFinishData;
class CUndoData;
class CUndoManager;
class CPageSetupData;
class CViewUpdateHint;
class CDrawOptions;

class TARN_API CTarnSite : public CCmdTarget {
    DECLARE_SERIAL(CTarnSite)
public:
    CTarnSite();
    ~CTarnSite() override;

    // The site's own lifetime, apart from the references controls hold on its host interfaces:
    // the count starts at 0 and its last release deletes the site.
    ULONG AddRef();
    ULONG Release();
    void OnFinalRelease() override {}

    // Set while a template is loaded: stored images are then kept as they are.
    static int m_bIsTemplate;

    void Serialize(CArchive& ar) override;

    virtual void InitNew();
    virtual CTarnSiteProperties* CreateSiteProperties();
    virtual CSiteStartData* CreateStartData();
    virtual CSiteFinishData* CreateFinishData();
    virtual CTarnBackground* CreateBackground();
    // Becomes a copy of other: its records, a background of the same class, and copies of its
    // stored controls made through their stored form.
    virtual CTarnSite& operator=(const CTarnSite& other);
    virtual void SetMaster(CTarnDoc* document, int id);
    CTarnDoc* GetMaster() const { return m_master; }
    virtual void SetID(int id);
    virtual int GetID() const;

    // Control list, bottom (index 0) to top.
    virtual int GetControlCount() const { return static_cast<int>(m_controls.size()); }
    virtual IBaseControl* GetControlAt(int index) const;  // no new reference
    virtual int GetControlPosition(IBaseControl* control) const;
    // Appends (position -1) or inserts the control; the site takes its own reference, advises
    // its events and becomes the control's owner.
    virtual void InsertControlWOUndo(IBaseControl* control, long position);
    virtual void DeleteControlWOUndo(IBaseControl* control);
    virtual void DeleteAllControlsWOUndo();
    virtual int GetWritableControlsNumber();
    virtual void SetFlag_SaveForViewer(int on);
    // Geometry in inches: the sheet's area, optionally with the room around it for drawing.
    virtual CRectF GetTotalArea(int withExtra, int visibleOnly, int unused);
    virtual CRectF GetExtraSpace();
    // The farthest point of the site in an arrow-key direction (37 left, 38 up, 39 right, 40 down).
    virtual double GetExtremeSitePoint(unsigned direction, int visibleOnly, int withControls);
    // The sheet's outline (a new array), with the centre lines when asked; 0 without background.
    virtual int GetContourLines(SegmentDesc*& out, int withCentreLines);
    // The paper and margins of the page the site is placed on: the background follows them.
    virtual void ProcessPageSetupData(const CPageSetupData& setup);
    // Takes a site style of the style library: its icon and name, then its id. An unknown style
    // changes nothing.
    virtual void SetStyle(int style);
    // "<width> x <height> <unit>": the visible total area in the default measurement unit.
    virtual CString GetBriefDescription();

    // Undo: records of the site's controls and of its background land in one manager.
    virtual void AddUndoItem(CUndoData* record);
    CUndoManager* GetUndoManager() const { return m_undoManager; }
    // Drops every undo and redo record of the site.
    virtual void ClearUndoStacks();
    virtual BOOL IsModified();
    virtual void AfterSave();

    // Stored controls. count -1 saves every storable control; otherwise count records are read.
    // Returns the number of entries handled.
    virtual long SerializeControls(IStream* stream, long count, int convert);
    virtual void SaveControlToStreamFile(IStream* stream, IBaseControl* control);
    // One control with a reference, or null when the record can't be turned into one.
    virtual IBaseControl* LoadControlFromStreamFile(IStream* stream, int convert);
    // A hook for derived sites; nonzero keeps the control out of the stored controls.
    virtual int SpecialControlProcessing(IStream* stream, IBaseControl* control, int saving);
    // A counted list of controls: the number of records that follow, then the records. Only
    // controls of this site that can be stored are written, in the site's order.
    virtual void SaveCtrlListToStreamFile(IStream* stream, const std::vector<IBaseControl*>& list);
    // The controls of a counted list, one reference each. Damaged records throw.
    virtual std::vector<IBaseControl*> LoadCtrlListFromStreamFile(IStream* stream);

    virtual void SerializeProperties(CArchive& ar);
    virtual void SerializePageSetupData(CArchive& ar);
    virtual void SerializeBackground(CArchive& ar);
    virtual void SerializeStartData(CArchive& ar);
    virtual void SerializeFinishData(CArchive& ar);

    CTarnSiteProperties* GetProperties() const { return m_properties; }
    CTarnBackground* GetBackground() const { return m_background; }
    int GetFactoryCacheSize() const { return static_cast<int>(m_factories.size()); }

    ITarnSiteEvents* GetISiteEvents() { return reinterpret_cast<ITarnSiteEvents*>(&m_xSiteEvents); }
    IControlOwnerHooks* GetIOwnerHooks() { return reinterpret_cast<IControlOwnerHooks*>(&m_xOwnerHooks); }
    IControlSerializer* GetISerializer() { return reinterpret_cast<IControlSerializer*>(&m_xSerializer); }
    BOOL BindConnectionPoint(IUnknown* control, DWORD* cookie);
    BOOL UnbindConnectionPoint(IUnknown* control, DWORD cookie);

    // Tells the document's views showing this site (through the document's update of its views).
    virtual void UpdateDocument(CViewUpdateHint& hint);
    // A control's request to redraw: a rectangle in inches, or everything; flag: the views'
    // canvases are concerned too.
    virtual void Invalidate(const CRectF* rect, int all, int flag);
    // Draws the sheet and the controls, bottom to top, from a snapshot of the list. Until the
    // background's fill control exists the sheet shows its stored colour; a control that cannot
    // draw shows a grey dashed frame of its bounding rectangle.
    virtual void OnDraw(HDC dc, CDrawOptions* options);

    // Counter of selection changes controls reported, for the site's views.
    int m_selectionChanges = 0;

protected:
    BEGIN_INTERFACE_PART(SiteEvents, ITarnSiteEvents)
        STDMETHOD(AddUndo)(tagUndoData* data) override;
        STDMETHOD(SetUndoMode)(long on) override;
        STDMETHOD(Invalidate)(tagRectF* rect, int all, int flag) override;
        STDMETHOD(SelectionChanged)(IUnknown* unused) override;
    END_INTERFACE_PART(SiteEvents)

    BEGIN_INTERFACE_PART(OwnerHooks, IControlOwnerHooks)
        STDMETHOD(Customize_GetText)(IUnknown* control, LPCWSTR text, BSTR* result) override;
        STDMETHOD(Customize_GetObjectMenu)(IUnknown* control, int size, BYTE* buffer) override;
        STDMETHOD(Customize_GetPopupMenu)(IUnknown* control, int size, BYTE* buffer) override;
        STDMETHOD(Customize_GetPages)(IUnknown* control, CAUUID* pages) override;
        STDMETHOD(Customize_GetDefaultProperty)(IUnknown* control, short command, long* dispid) override;
        STDMETHOD(Customize_ExecInitDialog)(IUnknown* control, IUnknown* viewEvents, int* result) override;
    END_INTERFACE_PART(OwnerHooks)

    BEGIN_INTERFACE_PART(Serializer, IControlSerializer)
        STDMETHOD(IndexOf)(IUnknown* control, long* index) override;
        STDMETHOD(ControlAt)(long index, IBaseControl** control) override;
    END_INTERFACE_PART(Serializer)

    DECLARE_INTERFACE_MAP()

private:
    struct HeldControl {
        IBaseControl* control;
        DWORD cookie;
    };
    struct CachedFactory {
        CLSID clsid;
        IClassFactory* factory;
    };

    IClassFactory* FactoryFor(REFCLSID clsid);
    // Second pass of a load: buddies first, then each control, each once.
    void AppendLoaded(std::vector<IBaseControl*>& target, bool toSite);
    void ClearSerializationArray();
    // Fills the serialisation array with the controls a save stores, asking the hook once each.
    void ChooseControlsToStore(IStream* stream);

    CTarnSiteProperties* m_properties = nullptr;
    CSiteFinishData* m_finishData = nullptr;
    CSiteStartData* m_startData = nullptr;
    std::vector<IBaseControl*> m_serialization;
    // Set between the count and the records of a site save: the array already holds the controls.
    bool m_controlsChosen = false;
    CTarnBackground* m_background = nullptr;
    std::vector<HeldControl> m_controls;
    CTarnDoc* m_master = nullptr;
    std::vector<CachedFactory> m_factories;
    CUndoManager* m_undoManager = nullptr;
    int m_controlUndoMode = 0;
    int m_controlUndoNesting = 0;
    int m_controlUndoRecorded = 0;
    LONG m_siteRefs = 0;
};

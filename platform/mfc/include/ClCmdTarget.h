#pragma once
// CCmdTarget: the base of objects that receive commands through message maps, answer COM
// interfaces through interface maps and expose automation through dispatch maps.
#include "ClCmdUI.h"
#include "ClDispatchMap.h"
#include "ClInterfaceMap.h"
#include "ClMessageMap.h"
#include "ClObject.h"

struct AFX_MODULE_STATE;

class CLASSLIB_API CCmdTarget : public CObject
{
    DECLARE_DYNAMIC(CCmdTarget)
public:
    CCmdTarget();
    ~CCmdTarget() override;

    // Commands: the object's message map, then its bases'. With pHandlerInfo the handler is
    // only looked up and reported, not called.
    virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo);

    // Automation: IDispatch over the dispatch map. Call EnableAutomation in the constructor.
    void EnableAutomation();
    BOOL IsAutomationEnabled() const { return m_bAutomation; }
    // The object's IDispatch (null when automation is not enabled).
    LPDISPATCH GetIDispatch(BOOL bAddRef);
    // The command target behind an IDispatch that GetIDispatch gave out; null for any other.
    static CCmdTarget* PASCAL FromIDispatch(LPDISPATCH lpDispatch);

    // Reference counting of the COM face. The count starts at 1 for the creator; the last
    // release calls OnFinalRelease, which deletes the object.
    DWORD InternalQueryInterface(const void* iid, LPVOID* ppvObj);
    DWORD InternalAddRef();
    DWORD InternalRelease();
    // The same, delegated to the controlling unknown when the object is aggregated.
    DWORD ExternalQueryInterface(const void* iid, LPVOID* ppvObj);
    DWORD ExternalAddRef();
    DWORD ExternalRelease();
    // The part answering iid, without a reference; null when none.
    LPUNKNOWN GetInterface(const void* iid);
    virtual void OnFinalRelease();

    // Automation names and member ids over the dispatch map (case-insensitive names).
    HRESULT GetIDsOfNames(LPOLESTR* rgszNames, UINT cNames, DISPID* rgDispId);
    HRESULT Invoke(DISPID dispid, WORD wFlags, DISPPARAMS* pDispParams, VARIANT* pVarResult,
                   EXCEPINFO* pExcepInfo, UINT* puArgErr);

    void BeginWaitCursor();
    void EndWaitCursor();
    void RestoreWaitCursor();

    LONG m_dwRef;
    LPUNKNOWN m_pOuterUnknown;
    AFX_MODULE_STATE* m_pModuleState;   // state of the module that made the object

protected:
    DECLARE_MESSAGE_MAP()
    DECLARE_DISPATCH_MAP()
    DECLARE_INTERFACE_MAP()

    const AFX_DISPMAP_ENTRY* FindDispatchEntry(DISPID dispid) const;

    BOOL m_bAutomation;

public:
    // The object's IDispatch part.
    class CLASSLIB_API XDispatch : public IDispatch
    {
    public:
        STDMETHOD_(ULONG, AddRef)() override;
        STDMETHOD_(ULONG, Release)() override;
        STDMETHOD(QueryInterface)(REFIID iid, LPVOID* ppvObj) override;
        STDMETHOD(GetTypeInfoCount)(UINT* pctinfo) override;
        STDMETHOD(GetTypeInfo)(UINT itinfo, LCID lcid, ITypeInfo** pptinfo) override;
        STDMETHOD(GetIDsOfNames)(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid, DISPID* rgdispid) override;
        STDMETHOD(Invoke)(DISPID dispid, REFIID riid, LCID lcid, WORD wFlags, DISPPARAMS* pdispparams,
                          VARIANT* pvarResult, EXCEPINFO* pexcepinfo, UINT* puArgErr) override;
    } m_xDispatch;
    friend class XDispatch;
};

// The common wait-cursor count: the wait cursor shows while it is above zero.
CLASSLIB_API void AFXAPI AfxDoWaitCursor(int nCode);

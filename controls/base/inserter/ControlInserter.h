#pragma once
// Places new drawing controls with the mouse: makes a control of the tool's class, gives it the
// tool's default properties, hands it the view's mouse messages until it reports that it is placed,
// announces it to every advised view and at once prepares the next control of the same class.
#include <windows.h>

#include "TarnControls.h"
#include "atlbase.h"
#include "atlcom.h"
#include "tarn/SingleConnectionPoint.h"

class CControlInserter
    : public CComObjectRoot,
      public CComCoClass<CControlInserter, &CLSID_ControlInserter>,
      public IControlInserter,
      public IUIUpdater,
      public ISupportErrorInfo,
      public CSingleConnectionPoint<CControlInserter, ITarnViewEvents, &IID_ITarnViewEvents> {
public:
    DECLARE_REGISTRY_RESOURCEID(21003)
    DECLARE_NOT_AGGREGATABLE(CControlInserter)

    BEGIN_COM_MAP(CControlInserter)
    COM_INTERFACE_ENTRY_IID(IID_IControlInserter, IControlInserter)
    COM_INTERFACE_ENTRY_IID(IID_IUIUpdater, IUIUpdater)
    COM_INTERFACE_ENTRY_IID(IID_ISupportErrorInfo, ISupportErrorInfo)
    COM_INTERFACE_ENTRY_IID(IID_IConnectionPointContainer, IConnectionPointContainer)
    END_COM_MAP()

    ~CControlInserter();

    // IControlInserter
    STDMETHOD(put_ControlID)(long id) override;
    STDMETHOD(get_ControlID)(long* id) override;
    STDMETHOD(put_ControlCLSID)(GUID* clsid) override;
    STDMETHOD(CheckInsertingState)(tagControlInsertingResult* result) override;
    STDMETHOD(OnWindowMessage)(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* plResult,
                               ITarnViewEvents* view) override;
    STDMETHOD(CancelInserting)() override;
    STDMETHOD(OnDraw)(tagDrawOptions* options) override;
    STDMETHOD(DrawUIShapes)(HDC hdc, ITarnViewEvents* view, tagDrawOptions* options) override;
    STDMETHOD(ForceInsertingFinish)(IBaseControl** control) override;
    STDMETHOD(DCUnitsToInches)(tagPointF* pInches, POINT* pDCUnits) override;
    STDMETHOD(Invalidate)(tagRectF* pDocRect, long MakeValid) override;
    STDMETHOD(ControlInsertionIsCompleted)() override;
    STDMETHOD(ControlInsertionIsCompleted_ButKeepControl)() override;
    STDMETHOD(PreserveSelectionOnEvents)() override;
    STDMETHOD(ChangeControl)(IBaseControl* another) override;
    STDMETHOD(SupportsSelMode)(long mode) override;
    STDMETHOD(get_Owner)(IUnknown** pOwner) override;
    STDMETHOD(put_Owner)(IUnknown* newOwner) override;
    STDMETHOD(GetCursor)(tagPointF pt, ITarnViewEvents* view, HICON* cursor) override;
    STDMETHOD(get_DefaultProperties)(IPropChanger** props) override;
    STDMETHOD(put_DefaultProperties)(IPropChanger* props) override;
    STDMETHOD(ResetToDefaultProperties)() override;

    // IUIUpdater
    STDMETHOD(Update)(LONG_PTR LParam, long* pbEnabled, long* pbChecked, long* pbIsRadioButton) override;

    // ISupportErrorInfo
    STDMETHOD(InterfaceSupportsErrorInfo)(REFIID iid) override;

    // What the tests read besides the interface.
    IBaseControl* PendingControl() const { return control_; }

private:
    // Makes the pending control when there is none and a class is known; false when it fails.
    bool EnsureControl();
    // Forgets the pending control (releasing it only when asked) and lets its inserter side go.
    void Reset(bool release);
    // The pending object takes the tool's defaults without drawing itself meanwhile.
    void ApplyDefaults(IUnknown* target);
    void AnnounceToViews();
    // Ends a finished or cancelled placing and prepares the next control.
    void FinishPlacing();

    IBaseControl* control_ = nullptr;
    ISelfInserter* self_ = nullptr;
    long controlId_ = -1;
    CLSID class_ = {};  // a copy: the caller's identifier may not outlive the call
    bool hasClass_ = false;
    IPropChanger* defaults_ = nullptr;
    IUnknown* owner_ = nullptr;
    bool announced_ = false;
};

#include "inserter/ControlInserter.h"

#include <cmath>

namespace {
template <class T>
void Replace(T*& slot, T* value) {
    if (value) value->AddRef();
    T* old = slot;
    slot = value;
    if (old) old->Release();
}
}  // namespace

CControlInserter::~CControlInserter() {
    Reset(true);
    Replace<IPropChanger>(defaults_, nullptr);
    Replace<IUnknown>(owner_, nullptr);
}

void CControlInserter::ApplyDefaults(IUnknown* target) {
    if (!defaults_ || !target) return;
    CComPtr<IPropChanger> changer;
    CComPtr<IBaseControl> control;
    target->QueryInterface(IID_IPropChanger, reinterpret_cast<void**>(&changer));
    target->QueryInterface(IID_IBaseControl, reinterpret_cast<void**>(&control));
    if (!changer) return;
    if (control) control->IgnoreInvalidate(1);
    changer->Copy(defaults_);
    if (control) control->IgnoreInvalidate(0);
}

bool CControlInserter::EnsureControl() {
    if (self_) return true;
    if (!hasClass_) return true;
    ISelfInserter* made = nullptr;
    if (FAILED(CoCreateInstance(class_, nullptr, CLSCTX_INPROC_SERVER, IID_ISelfInserter,
                                reinterpret_cast<void**>(&made))) ||
        !made)
        return false;
    self_ = made;
    ApplyDefaults(self_);
    announced_ = false;
    self_->SetInserterInterface(this);
    self_->GetInsertingControl(&control_);
    if (control_) {
        if (owner_) control_->put_Owner(owner_);
        control_->put_ResID(controlId_);
    }
    return true;
}

void CControlInserter::Reset(bool release) {
    IBaseControl* control = control_;
    control_ = nullptr;
    if (control && release) control->Release();
    ISelfInserter* self = self_;
    self_ = nullptr;
    if (self) {
        self->SetInserterInterface(nullptr);
        self->Release();
    }
}

STDMETHODIMP CControlInserter::put_ControlID(long id) {
    if (self_ && id == controlId_) return S_OK;
    Reset(true);
    controlId_ = id;
    if (id != -1 && !EnsureControl()) return S_FALSE;
    return S_OK;
}

STDMETHODIMP CControlInserter::get_ControlID(long* id) {
    if (!id) return E_POINTER;
    *id = controlId_;
    return S_OK;
}

STDMETHODIMP CControlInserter::put_ControlCLSID(GUID* clsid) {
    hasClass_ = clsid != nullptr;
    class_ = clsid ? *clsid : CLSID{};
    return S_OK;
}

STDMETHODIMP CControlInserter::CheckInsertingState(tagControlInsertingResult* result) {
    if (!self_) return S_FALSE;
    return self_->CheckInsertingState(result);
}

STDMETHODIMP CControlInserter::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* plResult,
                                               ITarnViewEvents* view) {
    if (!self_) return S_FALSE;
    CComPtr<ISelfInserter> self(self_);  // the control may finish and be replaced meanwhile
    CComPtr<IBaseControl> control(control_);
    const HRESULT hr = self->OnMessage(msg, wParam, lParam, plResult, view);
    if (hr == S_OK && plResult && *plResult && defaults_ && control) {
        CComPtr<IPropChanger> source;
        control->QueryInterface(IID_IPropChanger, reinterpret_cast<void**>(&source));
        if (source) defaults_->Copy(source);
    }
    return hr;
}

STDMETHODIMP CControlInserter::CancelInserting() {
    if (!self_) return S_OK;
    Reset(true);
    EnsureControl();
    return S_OK;
}

STDMETHODIMP CControlInserter::OnDraw(tagDrawOptions* options) {
    if (!control_ || announced_) return S_FALSE;
    return control_->Draw(options);
}

STDMETHODIMP CControlInserter::DrawUIShapes(HDC hdc, ITarnViewEvents* view, tagDrawOptions* options) {
    if (!control_) return S_FALSE;
    return control_->DrawUIShapes(hdc, view, options);
}

STDMETHODIMP CControlInserter::ForceInsertingFinish(IBaseControl** control) {
    if (!control) return E_POINTER;
    *control = nullptr;
    if (!self_) return S_FALSE;
    *control = control_;  // its reference goes with it
    Reset(false);
    EnsureControl();
    return S_OK;
}

STDMETHODIMP CControlInserter::DCUnitsToInches(tagPointF* pInches, POINT* pDCUnits) {
    if (!pInches || !pDCUnits) return E_POINTER;
    bool answered = false;
    ForEachSink([&](ITarnViewEvents* view) {
        tagPointData data = {};
        data.SourceSystem = SS_WIN;
        data.WinPoint = *pDCUnits;
        if (SUCCEEDED(view->TransferCoordinates(&data))) {
            *pInches = data.DocPoint;
            answered = true;
        }
    });
    return answered ? S_OK : E_FAIL;
}

STDMETHODIMP CControlInserter::Invalidate(tagRectF* pDocRect, long MakeValid) {
    if (!pDocRect) return E_POINTER;
    ForEachSink([&](ITarnViewEvents* view) {
        tagPointData corners[2] = {};
        corners[0].SourceSystem = corners[1].SourceSystem = SS_DOC;
        corners[0].DocPoint = tagPointF{pDocRect->left, pDocRect->top};
        corners[1].DocPoint = tagPointF{pDocRect->right, pDocRect->bottom};
        if (FAILED(view->TransferCoordinates(&corners[0])) || FAILED(view->TransferCoordinates(&corners[1])))
            return;
        const POINT& a = corners[0].ViewPoint;
        const POINT& b = corners[1].ViewPoint;
        RECT area = {a.x < b.x ? a.x : b.x, a.y < b.y ? a.y : b.y, a.x < b.x ? b.x : a.x, a.y < b.y ? b.y : a.y};
        InflateRect(&area, 1, 1);
        view->Invalidate(&area, MakeValid, 1);
    });
    return S_OK;
}

void CControlInserter::AnnounceToViews() {
    IBaseControl* control = control_;
    if (!control) return;
    ForEachSink([&](ITarnViewEvents* view) { view->RegisterNewControl(control, 1); });
}

void CControlInserter::FinishPlacing() {
    if (control_) control_->Inserter_Redraw();
    Reset(true);
    EnsureControl();
}

STDMETHODIMP CControlInserter::ControlInsertionIsCompleted() {
    if (!self_) return E_POINTER;
    tagControlInsertingResult state = Cir_InProgress;
    self_->CheckInsertingState(&state);
    if (state == Cir_Completed) {
        if (!announced_) AnnounceToViews();
        FinishPlacing();
    } else if (state == Cir_Cancelled) {
        FinishPlacing();
    }
    return S_OK;
}

STDMETHODIMP CControlInserter::ControlInsertionIsCompleted_ButKeepControl() {
    if (!self_) return E_POINTER;
    if (announced_) return S_OK;
    tagControlInsertingResult state = Cir_InProgress;
    self_->CheckInsertingState(&state);
    if (state == Cir_Completed) {
        announced_ = true;
        AnnounceToViews();
    } else if (state == Cir_Cancelled) {
        FinishPlacing();
    }
    return S_OK;
}

STDMETHODIMP CControlInserter::PreserveSelectionOnEvents() { return control_ && announced_ ? S_OK : S_FALSE; }

STDMETHODIMP CControlInserter::ChangeControl(IBaseControl* another) {
    Reset(true);
    if (!another) {
        EnsureControl();
        return S_OK;
    }
    ISelfInserter* self = nullptr;
    if (FAILED(another->QueryInterface(IID_ISelfInserter, reinterpret_cast<void**>(&self))) || !self) {
        EnsureControl();
        return S_OK;
    }
    self_ = self;
    announced_ = false;
    another->put_ResID(controlId_);
    self_->SetInserterInterface(this);
    control_ = another;
    control_->AddRef();
    announced_ = true;
    return S_OK;
}

STDMETHODIMP CControlInserter::SupportsSelMode(long mode) {
    if (!control_) return S_FALSE;
    return control_->SupportsInserterSelMode(mode);
}

STDMETHODIMP CControlInserter::get_Owner(IUnknown** pOwner) {
    if (!pOwner) return E_POINTER;
    *pOwner = owner_;
    if (owner_) owner_->AddRef();
    return S_OK;
}

STDMETHODIMP CControlInserter::put_Owner(IUnknown* newOwner) {
    Replace(owner_, newOwner);
    if (control_) control_->put_Owner(owner_);
    return S_OK;
}

STDMETHODIMP CControlInserter::GetCursor(tagPointF, ITarnViewEvents*, HICON* cursor) {
    if (!cursor) return E_POINTER;
    *cursor = nullptr;
    if (control_) control_->GetInserterCursor(cursor);
    return S_OK;
}

STDMETHODIMP CControlInserter::get_DefaultProperties(IPropChanger** props) {
    if (!props) return E_POINTER;
    *props = defaults_;
    if (defaults_) defaults_->AddRef();
    return S_OK;
}

STDMETHODIMP CControlInserter::put_DefaultProperties(IPropChanger* props) {
    Replace(defaults_, props);
    return S_OK;
}

STDMETHODIMP CControlInserter::ResetToDefaultProperties() {
    if (defaults_) ApplyDefaults(self_);
    return S_OK;
}

STDMETHODIMP CControlInserter::Update(LONG_PTR LParam, long* pbEnabled, long* pbChecked, long* pbIsRadioButton) {
    if (!control_) return S_FALSE;
    CComPtr<IUIUpdater> updater;
    control_->QueryInterface(IID_IUIUpdater, reinterpret_cast<void**>(&updater));
    if (!updater) return S_FALSE;
    return updater->Update(LParam, pbEnabled, pbChecked, pbIsRadioButton);
}

STDMETHODIMP CControlInserter::InterfaceSupportsErrorInfo(REFIID iid) {
    return IsEqualIID(iid, IID_IControlInserter) ? S_OK : S_FALSE;
}

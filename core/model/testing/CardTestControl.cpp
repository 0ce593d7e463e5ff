#include "CardTestControl.h"

#include "tarn/PropertyRecords.h"

namespace {
constexpr long kLabelId = 0x40030001;
constexpr long kReferenceId = 0x40030002;
constexpr long kBuddyId = 0x40030003;

template <class T>
class Factory : public IClassFactory {
public:
    STDMETHOD(QueryInterface)(REFIID iid, void** ppv) override
    {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
            *ppv = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHOD_(ULONG, AddRef)() override { return 2; }
    STDMETHOD_(ULONG, Release)() override { return 1; }
    STDMETHOD(CreateInstance)(IUnknown* outer, REFIID iid, void** ppv) override
    {
        if (outer)
            return CLASS_E_NOAGGREGATION;
        CComObject<T>* object = nullptr;
        HRESULT hr = CComObject<T>::CreateInstance(&object);
        if (FAILED(hr))
            return hr;
        object->AddRef();
        hr = object->QueryInterface(iid, ppv);
        object->Release();
        return hr;
    }
    STDMETHOD(LockServer)(BOOL) override { return S_OK; }
};

Factory<CCardTestControl> g_plainFactory;
Factory<CCardUnreadableControl> g_unreadableFactory;
}  // namespace

TestControlClasses::TestControlClasses()
{
    CoRegisterClassObject(CLSID_CardTestControl, &g_plainFactory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                          &m_cookies[0]);
    CoRegisterClassObject(CLSID_CardUnreadableControl, &g_unreadableFactory, CLSCTX_INPROC_SERVER,
                          REGCLS_MULTIPLEUSE, &m_cookies[1]);
}

TestControlClasses::~TestControlClasses()
{
    for (DWORD cookie : m_cookies) {
        if (cookie)
            CoRevokeClassObject(cookie);
    }
}

CCardTestControl::~CCardTestControl()
{
    if (m_referred)
        m_referred->Release();
    if (m_pendingSerializer)
        m_pendingSerializer->Release();
}

void CCardTestControl::Refer(IBaseControl* other, bool asBuddy)
{
    if (other)
        other->AddRef();
    if (m_referred)
        m_referred->Release();
    m_referred = other;
    buddy = asBuddy;
}

HRESULT CCardTestControl::SaveProperties(IStream* stream)
{
    HRESULT hr = CDrawControlBase::SaveProperties(stream);
    get_SaveForViewer(&savedForViewer);
    long index = 0;
    IUnknown* serializerUnknown = nullptr;
    if (m_referred && SUCCEEDED(get_Serializer(&serializerUnknown)) && serializerUnknown) {
        IControlSerializer* serializer = nullptr;
        if (SUCCEEDED(serializerUnknown->QueryInterface(IID_IControlSerializer, reinterpret_cast<void**>(&serializer)))) {
            serializer->IndexOf(m_referred, &index);
            serializer->Release();
        }
        serializerUnknown->Release();
    }
    const long isBuddy = buddy ? 1 : 0;
    if (SUCCEEDED(hr))
        hr = __SaveProp(stream, kLabelId, &label, sizeof label);
    if (SUCCEEDED(hr))
        hr = __SaveProp(stream, kReferenceId, &index, sizeof index);
    if (SUCCEEDED(hr))
        hr = __SaveProp(stream, kBuddyId, &isBuddy, sizeof isBuddy);
    return hr;
}

HRESULT CCardTestControl::LoadProperties(CTarnPropertyBag& bag)
{
    bag.LoadPropVar(nullptr, kLabelId, label);
    bag.LoadPropVar(nullptr, kReferenceId, referredIndex);
    long isBuddy = 0;
    bag.LoadPropVar(nullptr, kBuddyId, isBuddy);
    buddy = isBuddy != 0;
    return CDrawControlBase::LoadProperties(bag);
}

STDMETHODIMP CCardTestControl::put_Serializer(IUnknown* newVal)
{
    // The reference is resolved when the site ends the pass for this control: by then every
    // control of the pass is in the site's array.
    if (!newVal && m_pendingSerializer && referredIndex > 0) {
        IBaseControl* other = nullptr;
        if (SUCCEEDED(m_pendingSerializer->ControlAt(referredIndex, &other)) && other) {
            Refer(other, buddy);
            other->Release();
        }
        referredIndex = 0;
    }
    if (m_pendingSerializer) {
        m_pendingSerializer->Release();
        m_pendingSerializer = nullptr;
    }
    if (newVal)
        newVal->QueryInterface(IID_IControlSerializer, reinterpret_cast<void**>(&m_pendingSerializer));
    return CDrawControlBase::put_Serializer(newVal);
}

STDMETHODIMP CCardTestControl::GetNextBuddy(IBaseControl** result)
{
    if (!result)
        return E_POINTER;
    *result = buddy ? m_referred : nullptr;
    if (*result)
        (*result)->AddRef();
    return *result ? S_OK : E_FAIL;
}

IBaseControl* NewCardControl(long label)
{
    IBaseControl* control = nullptr;
    if (FAILED(CoCreateInstance(CLSID_CardTestControl, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseControl,
                                reinterpret_cast<void**>(&control))))
        return nullptr;
    AsCardControl(control)->label = label;
    return control;
}

CCardTestControl* AsCardControl(IBaseControl* control) { return static_cast<CCardTestControl*>(control); }

long LabelOf(IBaseControl* control) { return control ? AsCardControl(control)->label : -1; }

void SetLabel(IBaseControl* control, long label) { AsCardControl(control)->label = label; }

void ReferTo(IBaseControl* from, IBaseControl* to, bool asBuddy) { AsCardControl(from)->Refer(to, asBuddy); }

IBaseControl* ReferredOf(IBaseControl* control) { return AsCardControl(control)->Referred(); }

LONG SavedForViewerOf(IBaseControl* control) { return AsCardControl(control)->savedForViewer; }

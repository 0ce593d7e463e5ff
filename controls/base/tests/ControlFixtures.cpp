#include "ControlFixtures.h"

#include <cmath>
#include <cstring>
#include <utility>

#include "tarn/ControlsModuleState.h"

STDMETHODIMP CTestDrawControl::get_Rect(tagRectF* pVal) {
    if (!pVal) return E_POINTER;
    *pVal = rect;
    return S_OK;
}

STDMETHODIMP CTestDrawControl::get_BoundingRect(tagRectF* pVal) {
    if (!pVal) return E_POINTER;
    *pVal = tagRectF{std::fmin(rect.left, rect.right), std::fmin(rect.top, rect.bottom),
                     std::fmax(rect.left, rect.right), std::fmax(rect.top, rect.bottom)};
    return S_OK;
}

STDMETHODIMP CTestDrawControl::RotateBy(double a, tagPointF ref) {
    // Both corners turn about the reference point.
    const double c = std::cos(a), s = std::sin(a);
    auto turn = [&](double& x, double& y) {
        const double dx = x - ref.x, dy = y - ref.y;
        x = ref.x + dx * c - dy * s;
        y = ref.y + dx * s + dy * c;
    };
    turn(rect.left, rect.top);
    turn(rect.right, rect.bottom);
    angle += a;
    SetModified(true);
    return S_OK;
}

STDMETHODIMP CTestDrawControl::SkewBy(double coeff, double kx, double ky, tagPointF ref) {
    auto skew = [&](double& x, double& y) {
        const double dx = x - ref.x, dy = y - ref.y;
        x = ref.x + coeff * (dx + dy * kx);
        y = ref.y + coeff * (dy + dx * ky);
    };
    skew(rect.left, rect.top);
    skew(rect.right, rect.bottom);
    SetModified(true);
    return S_OK;
}

STDMETHODIMP CTestDrawControl::ContainsPoint(tagPointF p, double maxDelta, ITarnViewEvents*) {
    tagRectF b;
    get_BoundingRect(&b);
    return p.x >= b.left - maxDelta && p.x <= b.right + maxDelta && p.y >= b.top - maxDelta &&
                   p.y <= b.bottom + maxDelta
               ? S_OK
               : S_FALSE;
}

HRESULT CTestDrawControl::FitToRect(const tagRectF& r) {
    if (failFit) return E_FAIL;
    rect = r;
    if (normalises) {
        if (rect.left > rect.right) {
            std::swap(rect.left, rect.right);
            mirroredX = !mirroredX;
        }
        if (rect.top > rect.bottom) {
            std::swap(rect.top, rect.bottom);
            mirroredY = !mirroredY;
        }
    }
    return S_OK;
}

HRESULT CTestDrawControl::SaveProperties(IStream* stream) {
    HRESULT hr = CDrawControlBase::SaveProperties(stream);
    if (SUCCEEDED(hr)) hr = __SaveProp(stream, 0x40020001, &rect, sizeof rect);
    if (SUCCEEDED(hr)) hr = __SaveProp(stream, "Angle", &angle, sizeof angle);
    return hr;
}

HRESULT CTestDrawControl::LoadProperties(CTarnPropertyBag& bag) {
    // The layer reads its own records first, so only unknown named records become parameters.
    bag.LoadPropVar(nullptr, 0x40020001, rect);
    bag.LoadPropVar("Angle", 0, angle);
    return CDrawControlBase::LoadProperties(bag);
}

namespace {
// {6A1B2C3D-0000-4000-8000-00000000A001} and a second page
const CLSID kPageA = {0x6a1b2c3d, 0, 0x4000, {0x80, 0, 0, 0, 0, 0, 0xa0, 0x01}};
const CLSID kPageB = {0x6a1b2c3d, 0, 0x4000, {0x80, 0, 0, 0, 0, 0, 0xa0, 0x02}};
}  // namespace

const PropMapEntry* CTestDrawControl::GetPropertyMap() {
    static const PropMapEntry table[] = {
        {L"Name", 11, &kPageA, &IID_IBaseControlDispatch, 0, 0, VT_BSTR},
        {L"Type", 21, &kPageB, &IID_IBaseControlDispatch, 0, 0, VT_I4},
        {nullptr, 0, nullptr, nullptr, 0, 0, 0}};
    return table;
}

TestControlObject* NewTestControl() {
    CComObject<CTestDrawControl>* object = nullptr;
    if (FAILED(CComObject<CTestDrawControl>::CreateInstance(&object))) return nullptr;
    object->AddRef();
    return object;
}

IBaseControl* AsBase(CTestDrawControl* control) { return static_cast<IBaseControl*>(control); }

// Site -------------------------------------------------------------------------------------------------

CFakeSite::~CFakeSite() { Clear(); }

void CFakeSite::Clear() {
    for (CapturedUndo& record : undo) {
        for (VARIANT& v : record.args) VariantClear(&v);
        if (record.target) record.target->Release();
    }
    undo.clear();
    invalidated.clear();
    selectionChanges = 0;
}

STDMETHODIMP CFakeSite::QueryInterface(REFIID iid, void** ppv) {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_ITarnSiteEvents)) {
        *ppv = static_cast<ITarnSiteEvents*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP CFakeSite::AddUndo(tagUndoData* data) {
    // A site copies everything it keeps: the record lives only during this call.
    CapturedUndo record;
    record.caption = data->Description ? data->Description : "";
    record.method = data->Method ? data->Method : L"";
    for (UINT i = 0; data->Arguments && i < data->Arguments->cArgs; ++i) {
        VARIANT copy;
        VariantInit(&copy);
        VariantCopy(&copy, &data->Arguments->rgvarg[i]);
        record.args.push_back(copy);
    }
    record.target = data->Target;
    if (record.target) record.target->AddRef();
    record.extraReference = data->ExtraReference;
    record.argumentForm = data->ArgumentForm;
    record.type = data->Type;
    undo.push_back(record);
    if (order) order->push_back(label);
    return S_OK;
}

STDMETHODIMP CFakeSite::Invalidate(tagRectF* rect, int, int) {
    if (rect) invalidated.push_back(*rect);
    return S_OK;
}

HRESULT Replay(const CapturedUndo& record) {
    if (!record.target) return E_POINTER;
    LPOLESTR name = const_cast<LPOLESTR>(record.method.c_str());
    DISPID id = 0;
    HRESULT hr = record.target->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr)) return hr;
    std::vector<VARIANT> args = record.args;  // Invoke may coerce in place; the record stays as it was
    DISPPARAMS params{args.empty() ? nullptr : args.data(), nullptr, static_cast<UINT>(args.size()), 0};
    VARIANT result;
    VariantInit(&result);
    hr = record.target->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, &result, nullptr,
                               nullptr);
    VariantClear(&result);
    return hr;
}

// View ----------------------------------------------------------------------------------------------------

STDMETHODIMP CFakeView::QueryInterface(REFIID iid, void** ppv) {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_ITarnViewEvents)) {
        *ppv = static_cast<ITarnViewEvents*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP CFakeView::TransferCoordinates(tagPointData* p) {
    // Window and view points coincide; 100 pixels make one inch.
    switch (p->SourceSystem) {
    case SS_WIN:
        p->ViewPoint = p->WinPoint;
        p->DocPoint = tagPointF{p->WinPoint.x / 100.0, p->WinPoint.y / 100.0};
        return S_OK;
    case SS_VIEW:
        p->WinPoint = p->ViewPoint;
        p->DocPoint = tagPointF{p->ViewPoint.x / 100.0, p->ViewPoint.y / 100.0};
        return S_OK;
    case SS_DOC:
        p->WinPoint = POINT{static_cast<LONG>(std::lround(p->DocPoint.x * 100)),
                            static_cast<LONG>(std::lround(p->DocPoint.y * 100))};
        p->ViewPoint = p->WinPoint;
        return S_OK;
    default:
        return E_INVALIDARG;
    }
}

STDMETHODIMP CFakeView::SnapRect(tagRectF* rect) {
    if (snapGrid > 0) {
        const double w = rect->right - rect->left, h = rect->bottom - rect->top;
        rect->left = std::round(rect->left / snapGrid) * snapGrid;
        rect->top = std::round(rect->top / snapGrid) * snapGrid;
        rect->right = rect->left + w;
        rect->bottom = rect->top + h;
    }
    return S_OK;
}

// Helpers -------------------------------------------------------------------------------------------------

void UseServerResources() {
    static HMODULE resources = LoadLibraryA("TarnObjRes.dll");
    SetControlsResourceInstance(resources);
}

HRESULT LoadSavedBytes(IUnknown* control, const std::vector<BYTE>& bytes) {
    IStream* stream = StreamOf(bytes);
    IPersistStreamInit* persist = nullptr;
    control->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&persist));
    const HRESULT hr = persist->Load(stream);
    persist->Release();
    stream->Release();
    return hr;
}

std::vector<BYTE> SavedBytes(IUnknown* control) {
    std::vector<BYTE> bytes;
    IPersistStream* persist = nullptr;
    if (FAILED(control->QueryInterface(IID_IPersistStream, reinterpret_cast<void**>(&persist)))) return bytes;
    IStream* stream = nullptr;
    CreateStreamOnHGlobal(nullptr, TRUE, &stream);
    if (SUCCEEDED(persist->Save(stream, FALSE))) {
        STATSTG stat{};
        stream->Stat(&stat, STATFLAG_NONAME);
        bytes.resize(static_cast<size_t>(stat.cbSize.QuadPart));
        LARGE_INTEGER zero{};
        stream->Seek(zero, STREAM_SEEK_SET, nullptr);
        ULONG read = 0;
        if (!bytes.empty()) stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read);
    }
    stream->Release();
    persist->Release();
    return bytes;
}

std::vector<BYTE> StreamContents(IStream* stream) {
    STATSTG stat{};
    stream->Stat(&stat, STATFLAG_NONAME);
    std::vector<BYTE> bytes(static_cast<size_t>(stat.cbSize.QuadPart));
    LARGE_INTEGER zero{};
    stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    ULONG read = 0;
    if (!bytes.empty()) stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read);
    bytes.resize(read);
    return bytes;
}

IStream* StreamOf(const std::vector<BYTE>& bytes) {
    IStream* stream = nullptr;
    CreateStreamOnHGlobal(nullptr, TRUE, &stream);
    ULONG written = 0;
    if (!bytes.empty()) stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written);
    LARGE_INTEGER zero{};
    stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    return stream;
}

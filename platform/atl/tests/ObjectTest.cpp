// Objects, aggregation, creators, class factories and the module's object map, on a small class.
#include <gtest/gtest.h>
#include <atlcom.h>
#include <oaidl.h>

namespace {

const CLSID CLSID_Thing = {0x5a1e0001, 0x7e57, 0x4a7a, {0x80, 0, 0, 0, 0, 0, 0, 1}};
const CLSID CLSID_Solitary = {0x5a1e0002, 0x7e57, 0x4a7a, {0x80, 0, 0, 0, 0, 0, 0, 2}};
const CLSID CLSID_Unknown = {0x5a1e0003, 0x7e57, 0x4a7a, {0x80, 0, 0, 0, 0, 0, 0, 3}};

int g_finalReleases = 0;

class CThing : public CComObjectRoot,
               public CComCoClass<CThing, &CLSID_Thing>,
               public IPersistStream,
               public ISupportErrorInfo {
public:
    DECLARE_REGISTRY_RESOURCEID(201)
    DECLARE_AGGREGATABLE(CThing)
    BEGIN_COM_MAP(CThing)
        COM_INTERFACE_ENTRY(IPersistStream)
        COM_INTERFACE_ENTRY(IPersist)
        COM_INTERFACE_ENTRY(ISupportErrorInfo)
    END_COM_MAP()

    void FinalRelease() { ++g_finalReleases; }

    STDMETHOD(GetClassID)(CLSID* clsid) override {
        *clsid = CLSID_Thing;
        return S_OK;
    }
    STDMETHOD(IsDirty)() override { return S_FALSE; }
    STDMETHOD(Load)(IStream*) override { return S_OK; }
    STDMETHOD(Save)(IStream*, BOOL) override { return S_OK; }
    STDMETHOD(GetSizeMax)(ULARGE_INTEGER*) override { return E_NOTIMPL; }
    STDMETHOD(InterfaceSupportsErrorInfo)(REFIID) override { return S_FALSE; }
};

class CSolitary : public CComObjectRoot, public CComCoClass<CSolitary, &CLSID_Solitary>, public IPersist {
public:
    DECLARE_NO_REGISTRY()
    DECLARE_NOT_AGGREGATABLE(CSolitary)
    BEGIN_COM_MAP(CSolitary)
        COM_INTERFACE_ENTRY(IPersist)
    END_COM_MAP()
    STDMETHOD(GetClassID)(CLSID* clsid) override {
        *clsid = CLSID_Solitary;
        return S_OK;
    }
};

BEGIN_OBJECT_MAP(g_objectMap)
    OBJECT_ENTRY(CLSID_Thing, CThing)
    OBJECT_ENTRY(CLSID_Solitary, CSolitary)
END_OBJECT_MAP()

// An outer object that counts its references and hands unknown interfaces to its inner part.
struct Outer : IUnknown {
    LONG count = 1;
    IUnknown* inner = nullptr;
    STDMETHOD(QueryInterface)(REFIID iid, void** ppv) override {
        if (IsEqualIID(iid, IID_IUnknown)) {
            *ppv = this;
            AddRef();
            return S_OK;
        }
        return inner ? inner->QueryInterface(iid, ppv) : E_NOINTERFACE;
    }
    STDMETHOD_(ULONG, AddRef)() override { return ++count; }
    STDMETHOD_(ULONG, Release)() override { return --count; }
};

class ModuleTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(::CoInitialize(nullptr)));
        ASSERT_EQ(S_OK, module.Init(g_objectMap, ::GetModuleHandleW(nullptr)));
        g_finalReleases = 0;
    }
    void TearDown() override {
        module.Term();
        ::CoUninitialize();
    }
    CComPtr<IClassFactory> Factory(REFCLSID clsid) {
        CComPtr<IClassFactory> factory;
        EXPECT_EQ(S_OK, module.GetClassObject(clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory)));
        return factory;
    }
    CComModule module;
};

}  // namespace

TEST_F(ModuleTest, ObjectsAnswerTheirMapWithOneIdentity) {
    CComPtr<IPersistStream> thing;
    ASSERT_EQ(S_OK, Factory(CLSID_Thing)->CreateInstance(nullptr, IID_IPersistStream, reinterpret_cast<void**>(&thing)));
    EXPECT_EQ(1, module.GetLockCount());
    CComPtr<IUnknown> identity;
    ASSERT_EQ(S_OK, thing.QueryInterface(&identity));
    const IID* iids[] = {&IID_IPersistStream, &IID_IPersist, &IID_ISupportErrorInfo};
    for (const IID* iid : iids) {
        CComPtr<IUnknown> part, back;
        ASSERT_EQ(S_OK, thing->QueryInterface(*iid, reinterpret_cast<void**>(&part)));
        ASSERT_EQ(S_OK, part.QueryInterface(&back));
        EXPECT_EQ(identity.p, back.p);
    }
    void* none = reinterpret_cast<void*>(1);
    EXPECT_EQ(E_NOINTERFACE, thing->QueryInterface(IID_IStream, &none));
    EXPECT_EQ(nullptr, none);
    EXPECT_EQ(E_POINTER, thing->QueryInterface(IID_IPersist, nullptr));
    identity.Release();
    thing.Release();
    EXPECT_EQ(1, g_finalReleases);
    EXPECT_EQ(0, module.GetLockCount());
    EXPECT_EQ(S_OK, module.CanUnloadNow());
}

TEST_F(ModuleTest, AggregationDelegatesToTheOuterObject) {
    Outer outer;
    CComPtr<IClassFactory> factory = Factory(CLSID_Thing);
    IUnknown* refused = nullptr;
    EXPECT_EQ(CLASS_E_NOAGGREGATION, factory->CreateInstance(&outer, IID_IPersist, reinterpret_cast<void**>(&refused)));
    ASSERT_EQ(S_OK, factory->CreateInstance(&outer, IID_IUnknown, reinterpret_cast<void**>(&outer.inner)));
    EXPECT_EQ(1, outer.count);
    IPersist* persist = nullptr;
    ASSERT_EQ(S_OK, outer.QueryInterface(IID_IPersist, reinterpret_cast<void**>(&persist)));
    EXPECT_EQ(2, outer.count);
    IUnknown* identity = nullptr;
    ASSERT_EQ(S_OK, persist->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)));
    EXPECT_EQ(static_cast<IUnknown*>(&outer), identity);
    identity->Release();
    persist->Release();
    EXPECT_EQ(1, outer.count);
    EXPECT_EQ(0, g_finalReleases);
    EXPECT_EQ(0u, outer.inner->Release());
    EXPECT_EQ(1, g_finalReleases);
    EXPECT_EQ(0, module.GetLockCount());
}

TEST_F(ModuleTest, ClassesThatRefuseAggregation) {
    Outer outer;
    IUnknown* inner = nullptr;
    EXPECT_EQ(CLASS_E_NOAGGREGATION, Factory(CLSID_Solitary)->CreateInstance(&outer, IID_IUnknown, reinterpret_cast<void**>(&inner)));
    EXPECT_EQ(nullptr, inner);
    CComPtr<IPersist> solitary;
    ASSERT_EQ(S_OK, Factory(CLSID_Solitary)->CreateInstance(nullptr, IID_IPersist, reinterpret_cast<void**>(&solitary)));
    CLSID clsid;
    ASSERT_EQ(S_OK, solitary->GetClassID(&clsid));
    EXPECT_TRUE(IsEqualCLSID(CLSID_Solitary, clsid));
}

TEST_F(ModuleTest, FactoriesAreCachedAndUnknownClassesRefused) {
    CComPtr<IClassFactory> first = Factory(CLSID_Thing), second = Factory(CLSID_Thing);
    EXPECT_EQ(first.p, second.p);
    // Cached factories do not hold the module; LockServer does.
    EXPECT_EQ(S_OK, module.CanUnloadNow());
    ASSERT_EQ(S_OK, first->LockServer(TRUE));
    EXPECT_EQ(S_FALSE, module.CanUnloadNow());
    ASSERT_EQ(S_OK, first->LockServer(FALSE));
    EXPECT_EQ(S_OK, module.CanUnloadNow());
    void* none = reinterpret_cast<void*>(1);
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, module.GetClassObject(CLSID_Unknown, IID_IClassFactory, &none));
    EXPECT_EQ(nullptr, none);
    EXPECT_EQ(E_POINTER, module.GetClassObject(CLSID_Thing, IID_IClassFactory, nullptr));
    EXPECT_EQ(E_POINTER, first->CreateInstance(nullptr, IID_IPersist, nullptr));
}

TEST_F(ModuleTest, RegisterServerRunsTheResourceScriptsWithTheModulePath) {
    wchar_t path[MAX_PATH];
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    ASSERT_EQ(S_OK, module.RegisterServer(FALSE));
    wchar_t value[MAX_PATH] = {};
    DWORD size = sizeof value;
    ASSERT_EQ(ERROR_SUCCESS, ::RegGetValueW(HKEY_CURRENT_USER, L"Software\\TarnModuleTest\\Thing\\InprocServer32",
                                            nullptr, RRF_RT_REG_SZ, nullptr, value, &size));
    EXPECT_STREQ(path, value);
    ASSERT_EQ(S_OK, module.UnregisterServer(FALSE));
    HKEY key = nullptr;
    EXPECT_NE(ERROR_SUCCESS, ::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\TarnModuleTest\\Thing", 0, KEY_READ, &key));
    ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\TarnModuleTest");
}

TEST(SmartPointers, CountReferencesExactly) {
    struct Counted : IUnknown {
        LONG count = 1;
        STDMETHOD(QueryInterface)(REFIID iid, void** ppv) override {
            if (!IsEqualIID(iid, IID_IUnknown)) return E_NOINTERFACE;
            *ppv = this;
            AddRef();
            return S_OK;
        }
        STDMETHOD_(ULONG, AddRef)() override { return ++count; }
        STDMETHOD_(ULONG, Release)() override { return --count; }
    } object;
    {
        CComPtr<IUnknown> a(&object);
        EXPECT_EQ(2, object.count);
        CComPtr<IUnknown> b = a;
        EXPECT_EQ(3, object.count);
        CComPtr<IUnknown> c(std::move(b));
        EXPECT_EQ(3, object.count);
        EXPECT_FALSE(b);
        a = a;  // self-assignment keeps the reference
        EXPECT_EQ(3, object.count);
        IUnknown** out = &c;  // an out-argument drops what was held
        EXPECT_EQ(2, object.count);
        *out = nullptr;
        CComQIPtr<IUnknown> q(static_cast<IUnknown*>(&object));
        EXPECT_EQ(3, object.count);
        EXPECT_TRUE(q.IsEqualObject(a));
    }
    EXPECT_EQ(1, object.count);
}

TEST(BstrAndVariant, OwnAndCopyTheirValues) {
    CComBSTR text(L"fold");
    EXPECT_EQ(4u, text.Length());
    ASSERT_EQ(S_OK, text.Append(L" line"));
    EXPECT_TRUE(text == L"fold line");
    CComBSTR copy = text;
    EXPECT_NE(copy.m_str, text.m_str);
    EXPECT_TRUE(copy == L"fold line");
    CComBSTR ansi("card");
    EXPECT_TRUE(ansi == L"card");
    CComBSTR empty;
    EXPECT_TRUE(empty == L"");
    EXPECT_EQ(0u, empty.Length());

    CComVariant number(42);
    EXPECT_EQ(VT_I4, number.vt);
    CComVariant same(42L);
    EXPECT_TRUE(number == same);
    CComVariant words(L"card");
    CComVariant wordsCopy = words;
    EXPECT_NE(words.bstrVal, wordsCopy.bstrVal);
    EXPECT_TRUE(words == wordsCopy);
    ASSERT_EQ(S_OK, number.ChangeType(VT_BSTR));
    EXPECT_STREQ(L"42", number.bstrVal);
    VARIANT raw;
    VariantInit(&raw);
    ASSERT_EQ(S_OK, words.Detach(&raw));
    EXPECT_EQ(VT_EMPTY, words.vt);
    EXPECT_EQ(VT_BSTR, raw.vt);
    VariantClear(&raw);
}

TEST_F(ModuleTest, ErrorInformationReachesTheCaller) {
    ::SetErrorInfo(0, nullptr);
    EXPECT_EQ(E_INVALIDARG, CThing::Error(L"The fold type is unknown.", IID_IPersist, E_INVALIDARG));
    IErrorInfo* info = nullptr;
    ASSERT_EQ(S_OK, ::GetErrorInfo(0, &info));
    ASSERT_TRUE(info);
    BSTR description = nullptr;
    ASSERT_EQ(S_OK, info->GetDescription(&description));
    EXPECT_STREQ(L"The fold type is unknown.", description);
    ::SysFreeString(description);
    GUID iid;
    ASSERT_EQ(S_OK, info->GetGUID(&iid));
    EXPECT_TRUE(IsEqualIID(IID_IPersist, iid));
    info->Release();
    // Taken once: the information does not linger for the next failure.
    EXPECT_EQ(S_FALSE, ::GetErrorInfo(0, &info));
}

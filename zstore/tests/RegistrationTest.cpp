// Registration of the server: regsvr32 and the exported entry points write and remove the keys of
// both classes and the type library; the type library describes the interfaces slot by slot.
#include "MoskFixture.h"
#include <functional>

namespace {

const wchar_t kZStreamClsid[] = L"{9DEA5AE7-4CD1-4922-ADED-216AE1727DB3}";
const wchar_t kZStorageClsid[] = L"{8A22656D-3F49-4561-B6E6-F1E6967E1527}";
const wchar_t kLibid[] = L"{AE4B3340-B64F-466A-B935-35655614620B}";

bool KeyExists(const std::wstring& path) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    ::RegCloseKey(key);
    return true;
}

// The text value name of key path, or "<missing>".
std::wstring Value(const std::wstring& path, const wchar_t* name = L"") {
    wchar_t buffer[1024];
    DWORD size = sizeof buffer;
    DWORD type = 0;
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return L"<missing>";
    LONG status = ::RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    ::RegCloseKey(key);
    if (status != ERROR_SUCCESS || type != REG_SZ) return L"<missing>";
    return std::wstring(buffer);
}

std::wstring Lower(std::wstring text) {
    for (auto& c : text) c = static_cast<wchar_t>(::towlower(c));
    return text;
}

std::wstring ModulePath(HMODULE module) {
    wchar_t buffer[MAX_PATH];
    DWORD length = ::GetModuleFileNameW(module, buffer, MAX_PATH);
    return std::wstring(buffer, length);
}

DWORD RunRegsvr32(const std::wstring& arguments) {
    std::wstring command = L"regsvr32.exe " + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!::CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return 0xFFFFFFFF;
    ::WaitForSingleObject(process.hProcess, 60000);
    DWORD code = 0xFFFFFFFF;
    ::GetExitCodeProcess(process.hProcess, &code);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return code;
}

struct Expected {
    std::wstring key;
    const wchar_t* name;
    std::wstring value;
};

class RegistrationTest : public ComTest {
protected:
    std::vector<Expected> Table() const {
        const std::wstring module = ModulePath(server.Module());
        std::vector<Expected> rows;
        struct Class {
            const wchar_t* clsid;
            const wchar_t* name;
        } classes[] = {{kZStreamClsid, L"ZStream"}, {kZStorageClsid, L"ZStorage"}};
        for (const Class& c : classes) {
            const std::wstring description = std::wstring(c.name) + L" Class";
            const std::wstring progId = std::wstring(L"Mosk.") + c.name;
            const std::wstring classKey = std::wstring(L"CLSID\\") + c.clsid;
            rows.push_back({progId + L".1", L"", description});
            rows.push_back({progId + L".1\\CLSID", L"", c.clsid});
            rows.push_back({progId, L"", description});
            rows.push_back({progId + L"\\CLSID", L"", c.clsid});
            rows.push_back({progId + L"\\CurVer", L"", progId + L".1"});
            rows.push_back({classKey, L"", description});
            rows.push_back({classKey + L"\\ProgID", L"", progId + L".1"});
            rows.push_back({classKey + L"\\VersionIndependentProgID", L"", progId});
            rows.push_back({classKey + L"\\InprocServer32", L"", module});
            rows.push_back({classKey + L"\\InprocServer32", L"ThreadingModel", L"both"});
        }
        rows.push_back({std::wstring(L"TypeLib\\") + kLibid + L"\\1.0", L"", L"Mosk 1.0 Type Library"});
        // The type library is registered for the server's own platform.
#ifdef _WIN64
        const wchar_t* platform = L"win64";
#else
        const wchar_t* platform = L"win32";
#endif
        rows.push_back({std::wstring(L"TypeLib\\") + kLibid + L"\\1.0\\0\\" + platform, L"", module});
        return rows;
    }

    void ExpectRegistered() const {
        for (const Expected& row : Table()) {
            EXPECT_EQ(Lower(row.value), Lower(Value(row.key, row.name))) << "HKCR\\" << std::string(row.key.begin(), row.key.end());
        }
    }

    void ExpectUnregistered() const {
        for (const Expected& row : Table()) {
            EXPECT_FALSE(KeyExists(row.key)) << "HKCR\\" << std::string(row.key.begin(), row.key.end());
        }
        EXPECT_TRUE(KeyExists(L"CLSID"));
    }

    MoskServer server;
};

}  // namespace

TEST_F(RegistrationTest, RegisterAndUnregisterWriteAndRemoveTheTable) {
    const std::wstring quoted = L"\"" + ModulePath(server.Module()) + L"\"";
    typedef HRESULT(WINAPI * Entry)();
    auto entry = [&](const char* name) {
        return reinterpret_cast<Entry>(reinterpret_cast<void*>(::GetProcAddress(server.Module(), name)));
    };
    ASSERT_TRUE(entry("DllRegisterServer"));
    ASSERT_TRUE(entry("DllUnregisterServer"));
    struct Way {
        const char* what;
        std::function<bool()> registerServer;
        std::function<bool()> unregisterServer;
    } ways[] = {
        {"regsvr32", [&] { return RunRegsvr32(L"/s " + quoted) == 0; },
         [&] { return RunRegsvr32(L"/u /s " + quoted) == 0; }},
        {"exported entry points", [&] { return entry("DllRegisterServer")() == S_OK; },
         [&] { return entry("DllUnregisterServer")() == S_OK; }},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.what);
        ASSERT_TRUE(way.registerServer());
        ExpectRegistered();
        // Registering again replaces the class keys whole and leaves the same table.
        ASSERT_TRUE(way.registerServer());
        ExpectRegistered();
        ASSERT_TRUE(way.unregisterServer());
        ExpectUnregistered();
    }
    // Leave the server registered for whoever runs after.
    ASSERT_TRUE(ways[1].registerServer());
}

TEST_F(RegistrationTest, RegisteredClassesAreCreatableByIdentifierAndProgId) {
    typedef HRESULT(WINAPI * Entry)();
    auto registerServer =
        reinterpret_cast<Entry>(reinterpret_cast<void*>(::GetProcAddress(server.Module(), "DllRegisterServer")));
    ASSERT_EQ(S_OK, registerServer());
    struct Case {
        const wchar_t* progId;
        CLSID clsid;
        IID iid;
    } cases[] = {
        {L"Mosk.ZStream", CLSID_ZStream, IID_IZStream},
        {L"Mosk.ZStream.1", CLSID_ZStream, IID_IZStream},
        {L"Mosk.ZStorage", CLSID_ZStorage, IID_IZStorage},
        {L"Mosk.ZStorage.1", CLSID_ZStorage, IID_IZStorage},
    };
    for (const Case& c : cases) {
        CLSID clsid;
        ASSERT_EQ(S_OK, ::CLSIDFromProgID(c.progId, &clsid));
        EXPECT_TRUE(IsEqualCLSID(c.clsid, clsid));
        CComPtr<IUnknown> object;
        EXPECT_EQ(S_OK, ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, c.iid, reinterpret_cast<void**>(&object)));
    }
    CComPtr<IClassFactory> factory;
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, server.Factory(IID_IZStream, &factory));
}

TEST_F(RegistrationTest, TypeLibraryDescribesTheInterfacesSlotBySlot) {
    typedef HRESULT(WINAPI * Entry)();
    auto registerServer =
        reinterpret_cast<Entry>(reinterpret_cast<void*>(::GetProcAddress(server.Module(), "DllRegisterServer")));
    ASSERT_EQ(S_OK, registerServer());
    CComPtr<ITypeLib> library;
    ASSERT_EQ(S_OK, ::LoadRegTypeLib(LIBID_MOSKLib, 1, 0, 0, &library));
    CComBSTR name, doc;
    ASSERT_EQ(S_OK, library->GetDocumentation(-1, &name, &doc, nullptr, nullptr));
    EXPECT_EQ(std::wstring(L"MOSKLib"), std::wstring(name));
    EXPECT_EQ(std::wstring(L"Mosk 1.0 Type Library"), std::wstring(doc));
    struct Case {
        IID iid;
        const wchar_t* help;
        int slots;
    } cases[] = {
        {IID_IZStream, L"IZStream Interface", 16},
        {IID_IZStorage, L"IZStorage Interface", 20},
    };
    for (const Case& c : cases) {
        CComPtr<ITypeInfo> info;
        ASSERT_EQ(S_OK, library->GetTypeInfoOfGuid(c.iid, &info));
        TYPEATTR* attributes = nullptr;
        ASSERT_EQ(S_OK, info->GetTypeAttr(&attributes));
        EXPECT_EQ(TKIND_INTERFACE, attributes->typekind);
        EXPECT_EQ(c.slots * static_cast<int>(sizeof(void*)), attributes->cbSizeVft);
        EXPECT_EQ(2, attributes->cFuncs);
        info->ReleaseTypeAttr(attributes);
        for (UINT index = 0; index < 2; ++index) {
            FUNCDESC* function = nullptr;
            ASSERT_EQ(S_OK, info->GetFuncDesc(index, &function));
            CComBSTR functionName;
            info->GetDocumentation(function->memid, &functionName, nullptr, nullptr, nullptr);
            EXPECT_EQ(std::wstring(L"Donor"), std::wstring(functionName));
            EXPECT_EQ((c.slots - 2 + static_cast<int>(index)) * static_cast<int>(sizeof(void*)), function->oVft);
            EXPECT_EQ(index == 0 ? INVOKE_PROPERTYGET : INVOKE_PROPERTYPUT, function->invkind);
            info->ReleaseFuncDesc(function);
        }
        CComBSTR help;
        ASSERT_EQ(S_OK, info->GetDocumentation(MEMBERID_NIL, nullptr, &help, nullptr, nullptr));
        EXPECT_EQ(std::wstring(c.help), std::wstring(help));
    }
    const CLSID classes[] = {CLSID_ZStream, CLSID_ZStorage};
    for (const CLSID& clsid : classes) {
        CComPtr<ITypeInfo> info;
        EXPECT_EQ(S_OK, library->GetTypeInfoOfGuid(clsid, &info));
    }
}

TEST_F(RegistrationTest, ServerResourcesCarryTheStringsAndScripts) {
    struct Case {
        UINT id;
        const wchar_t* text;
    } strings[] = {{100, L"Mosk"}, {101, L"ZStream Class"}, {103, L"ZStorage Class"}};
    for (const Case& c : strings) {
        wchar_t buffer[64] = {};
        ASSERT_GT(::LoadStringW(server.Module(), c.id, buffer, 64), 0) << c.id;
        EXPECT_STREQ(c.text, buffer);
    }
    for (UINT script : {102u, 104u}) EXPECT_TRUE(::FindResourceW(server.Module(), MAKEINTRESOURCEW(script), L"REGISTRY"));
    EXPECT_TRUE(::FindResourceW(server.Module(), MAKEINTRESOURCEW(1), L"TYPELIB"));
}

TEST(ServerLifetime, CanUnloadOnlyWithoutLiveObjects) {
    ASSERT_TRUE(SUCCEEDED(::CoInitialize(nullptr)));
    {
        MoskServer server;
        auto canUnload = reinterpret_cast<HRESULT(WINAPI*)()>(
            reinterpret_cast<void*>(::GetProcAddress(server.Module(), "DllCanUnloadNow")));
        ASSERT_TRUE(canUnload);
        EXPECT_EQ(S_OK, canUnload());
        {
            CComPtr<IZStorage> storage = server.NewStorage();
            EXPECT_EQ(S_FALSE, canUnload());
        }
        EXPECT_EQ(S_OK, canUnload());
        CComPtr<IClassFactory> factory;
        ASSERT_EQ(S_OK, server.Factory(CLSID_ZStream, &factory));
        ASSERT_EQ(S_OK, factory->LockServer(TRUE));
        EXPECT_EQ(S_FALSE, canUnload());
        ASSERT_EQ(S_OK, factory->LockServer(FALSE));
        EXPECT_EQ(S_OK, canUnload());
    }
    ::CoUninitialize();
}

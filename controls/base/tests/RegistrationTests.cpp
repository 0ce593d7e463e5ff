// regsvr32 on TarnControls.dll writes the per-class key table under HKEY_CLASSES_ROOT, and
// unregistration takes it away again; the server's class objects follow its object map.
#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "ServerRegistration.h"
#include "TarnControls.h"

namespace {
const wchar_t kLibrary[] = L"{06618E99-6403-11D2-A38D-4854E827BD45}";

struct ClassRow {
    const wchar_t* name;
    const wchar_t* clsid;
    int script;
    const wchar_t* progId;
    const wchar_t* threading;  // null: no ThreadingModel value
    bool programmable;
    bool typeLib;
};

// Written from the server's documented object map and script table.
const ClassRow kClasses[] = {
    {L"ControlArray", L"{59441C66-0796-11D3-9BBA-4854E8283514}", 21026, L"TarnControls.Misc.ControlArray.1", nullptr, false, true},
    {L"FillPropControl", L"{A29A4F8A-6205-11D4-896E-00A0C99136BE}", 22140, L"TarnControls.FillPropControl.1", nullptr, false, false},
    {L"ResourceBrowser", L"{696DC432-67F6-11D2-A391-4854E827BD45}", 21001, L"TarnControls.Misc.ResourceBrowser.1", L"Apartment", false, false},
    {L"TarnCanvas", L"{8F4C01C3-731B-11D2-97FB-4854E827E1F5}", 21005, L"TarnControls.Misc.TarnCanvas.1", nullptr, true, true},
    {L"TarnRendering", L"{7627C150-A27F-11D3-A6D1-00A0C943F4D3}", 21177, L"TarnControls.Misc.TarnRendering.1", nullptr, true, true},
    {L"NewControlNotificator", L"{0DCCC2D2-681F-11D2-A391-4854E827BD45}", 21002, L"TarnControls.Misc.NewControlNotificator.1", L"Apartment", false, false},
    {L"ControlInserter", L"{17EBF352-698A-11D2-A394-4854E827BD45}", 21003, L"TarnControls.Misc.ControlInserter.1", nullptr, false, false},
    {L"LineControl", L"{CBEFDE7E-6FE2-11D2-8B83-4854E8283514}", 21004, L"TarnControls.DrawObjects.LineControl.1", L"Apartment", true, true},
    {L"ImageControl", L"{CBEFDE84-6FE2-11D2-8B83-4854E8283514}", 21006, L"TarnControls.DrawObjects.ImageControl.1", L"Apartment", true, true},
    {L"TextControl", L"{C01F877F-BF39-11D2-B771-4854E827E1F5}", 21008, L"TarnControls.DrawObjects.TextControl.1", L"Apartment", true, true},
    {L"TextAlongCurveControl", L"{005DDF94-E81F-11D2-9B6B-4854E8283514}", 21008, L"TarnControls.DrawObjects.TextAlongCurveControl.1", nullptr, false, true},
    {L"FigureControl", L"{FCA18D84-E068-11D2-8EB7-4854E827C132}", 21018, L"TarnControls.DrawObjects.FigureControl.1", L"Apartment", true, true},
    {L"PolybezierControl", L"{B96C5972-ED9E-11D3-A724-00A0C943F4D3}", 21186, L"TarnControls.DrawObjects.PolybezierControl.1", L"Apartment", true, true},
    {L"GroupControl", L"{BD7E5A56-E73F-11D2-9B67-4854E8283514}", 21023, L"TarnControls.DrawObjects.GroupControl.1", nullptr, false, true},
    {L"SelectionControl", L"{DFFE6334-B5BF-11D2-972B-00A0C91772B5}", 21007, L"TarnControls.Misc.SelectionControl.1", nullptr, false, true},
    {L"ImageData", L"{98F53807-D867-11D2-9B48-4854E8283514}", 21017, L"TarnControls.Misc.ImageData.1", nullptr, false, true},
    {L"TextData", L"{D7806960-F1BE-11D2-B7BB-4854E827E1F5}", 21009, L"TarnControls.Misc.TextData.1", nullptr, false, true},
    {L"ColorData", L"{AC737DD0-F1AF-11D2-B7BB-4854E827E1F5}", 21010, L"TarnControls.Misc.ColorData.1", nullptr, false, true},
    {L"EffectData", L"{60E44AE0-F259-11D2-B7BC-4854E827E1F5}", 21011, L"TarnControls.Misc.EffectData.1", nullptr, false, true},
    {L"PolybezierData", L"{A3676790-F9D0-11D3-A732-00A0C943F4D3}", 21192, L"TarnControls.Misc.PolyBezierData.1", L"Apartment", false, true},
    {L"Prop_TextCtrl_RichText", L"{168B15D6-92FD-4786-A6CB-2C6285F3EA97}", 21032, L"TarnControls.Prop_TextCtrl_RichText.1", L"Apartment", true, false},
    {L"Prop_TextCtrl_Align", L"{076A5422-C25A-11D2-B77B-4854E827E1F5}", 21013, L"TarnControls.Prop_TextCtrl_Align.1", L"Apartment", true, false},
    {L"Prop_Ctrl_Color", L"{076A5424-C25A-11D2-B77B-4854E827E1F5}", 21015, L"TarnControls.Prop_Ctrl_Color.1", L"Apartment", true, false},
    {L"Prop_Ctrl_Transparency", L"{E2358700-AD91-11D3-A6E2-00A0C943F4D3}", 21031, L"TarnControls.Prop_Ctrl_Transparency.1", L"Apartment", true, false},
    {L"Prop_RectCtrl_LinearParams", L"{DB86D144-D09F-11D2-9B32-4854E8283514}", 21016, L"TarnControls.Prop_RectCtrl_LinearParams.1", nullptr, true, false},
    {L"Prop_LineCtrl_Color", L"{00682363-E2AE-11D2-9B57-4854E8283514}", 21020, L"TarnControls.Prop_LineCtrl_Color.1", nullptr, false, false},
    {L"Prop_BaseCtrl_Position", L"{73DE3713-E10A-11D2-9B51-4854E8283514}", 21019, L"TarnControls.Prop_BaseCtrl_Position.1", nullptr, true, false},
    {L"Prop_FigCtrl_Shape", L"{75A86F17-E2B3-11D2-8EBD-4854E827C132}", 21021, L"TarnControls.Prop_FigCtrl_Shape.1", nullptr, false, false},
    {L"Prop_LineCtrl_Points", L"{0C0DB556-E67E-11D2-9B63-4854E8283514}", 21022, L"TarnControls.Prop_LineCtrl_Points.1", nullptr, false, false},
    {L"Prop_RectCtrl_Effect", L"{56DDB1C1-F246-11D2-B7BC-4854E827E1F5}", 21025, L"TarnControls.Prop_RectCtrl_Effect.1", L"Apartment", true, false},
    {L"Prop_PbzCtrl_Curve", L"{ABC19C31-FE51-11D3-A738-00A0C943F4D3}", 21193, L"TarnControls.Prop_PbzCtrl_Curve.1", L"Apartment", true, false},
};

bool KeyExists(const std::wstring& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

// The value as text; "<missing>" when the key or value is absent.
std::wstring ReadValue(const std::wstring& path, const wchar_t* name = nullptr) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return L"<missing>";
    wchar_t buffer[1024];
    DWORD size = sizeof buffer, type = 0;
    const LONG rc = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS || type != REG_SZ) return L"<missing>";
    return std::wstring(buffer, size / sizeof(wchar_t)).c_str();
}

std::set<std::wstring> SubKeys(const std::wstring& path) {
    std::set<std::wstring> names;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return names;
    wchar_t name[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = 256;
        if (RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        names.insert(name);
    }
    RegCloseKey(key);
    return names;
}

// The controlling object of an aggregate; it is never handed out, so it answers nothing itself.
class OuterObject : public IUnknown {
public:
    STDMETHOD(QueryInterface)(REFIID, void** ppv) override {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHOD_(ULONG, AddRef)() override { return ++refs; }
    STDMETHOD_(ULONG, Release)() override { return --refs; }
    ULONG refs = 1;
};

std::string Utf8(const std::wstring& text) { return std::string(text.begin(), text.end()); }

void ExpectClassRegistered(const ClassRow& c) {
    const std::wstring title = c.script == 21020 ? L"Prop_LineCtrl_ColorClass" : std::wstring(c.name) + L" Class";
    const std::wstring progId = c.progId;
    const std::wstring independent = progId.substr(0, progId.size() - 2);
    SCOPED_TRACE(Utf8(c.name));

    EXPECT_EQ(ReadValue(progId), title);
    EXPECT_EQ(ReadValue(progId + L"\\CLSID"), c.clsid);
    EXPECT_EQ(SubKeys(progId), std::set<std::wstring>{L"CLSID"});

    EXPECT_EQ(ReadValue(independent), title);
    EXPECT_EQ(ReadValue(independent + L"\\CurVer"), progId);
    const bool independentClsid = c.script < 21001 || c.script > 21003;
    std::set<std::wstring> expectedIndependent{L"CurVer"};
    if (independentClsid) expectedIndependent.insert(L"CLSID");
    EXPECT_EQ(SubKeys(independent), expectedIndependent);
    if (independentClsid) EXPECT_EQ(ReadValue(independent + L"\\CLSID"), c.clsid);

    const std::wstring classKey = std::wstring(L"CLSID\\") + c.clsid;
    EXPECT_EQ(ReadValue(classKey), title);
    const bool page = std::wstring(c.name).compare(0, 5, L"Prop_") == 0 || std::wstring(c.name) == L"FillPropControl";
    std::set<std::wstring> expectedKeys{L"InprocServer32"};
    if (!page) {
        expectedKeys.insert(L"ProgID");
        expectedKeys.insert(L"VersionIndependentProgID");
        EXPECT_EQ(ReadValue(classKey + L"\\ProgID"), progId);
        EXPECT_EQ(ReadValue(classKey + L"\\VersionIndependentProgID"), independent);
    }
    if (c.programmable) expectedKeys.insert(L"Programmable");
    if (c.typeLib) {
        expectedKeys.insert(L"TypeLib");
        EXPECT_EQ(ReadValue(classKey + L"\\TypeLib"), kLibrary);
    }
    EXPECT_EQ(SubKeys(classKey), expectedKeys);
    EXPECT_EQ(lstrcmpiW(ReadValue(classKey + L"\\InprocServer32").c_str(), ServerPath().c_str()), 0)
        << Utf8(ReadValue(classKey + L"\\InprocServer32"));
    EXPECT_EQ(ReadValue(classKey + L"\\InprocServer32", L"ThreadingModel"),
              c.threading ? c.threading : L"<missing>");
}

void ExpectClassRemoved(const ClassRow& c) {
    SCOPED_TRACE(Utf8(c.name));
    const std::wstring progId = c.progId;
    EXPECT_FALSE(KeyExists(progId));
    EXPECT_FALSE(KeyExists(progId.substr(0, progId.size() - 2)));
    EXPECT_FALSE(KeyExists(std::wstring(L"CLSID\\") + c.clsid));
}
}  // namespace

TEST(Registration, Regsvr32WritesThePerClassKeysAndUnregisteringRemovesThem) {
    ASSERT_EQ(RunRegsvr32(L""), 0u);
    for (const ClassRow& c : kClasses) ExpectClassRegistered(c);
    EXPECT_TRUE(KeyExists(std::wstring(L"TypeLib\\") + kLibrary + L"\\1.0"));
    // Scripts carried in the resources but run by no entry write nothing.
    EXPECT_FALSE(KeyExists(L"CLSID\\{B866B2B2-C1A7-11D2-B779-4854E827E1F5}"));
    EXPECT_FALSE(KeyExists(L"CLSID\\{076A5423-C25A-11D2-B77B-4854E827E1F5}"));

    // Registering again replaces the class keys whole and leaves the same table.
    HKEY stray = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, L"CLSID\\{CBEFDE7E-6FE2-11D2-8B83-4854E8283514}\\Stray", 0,
                              nullptr, 0, KEY_WRITE, nullptr, &stray, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(stray);
    ASSERT_EQ(RunRegsvr32(L""), 0u);
    for (const ClassRow& c : kClasses) ExpectClassRegistered(c);

    // COM finds and starts the registered server (with the class library it is built on).
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    struct Made {
        const CLSID* clsid;
        const IID* iid;
    };
    const Made made[] = {{&CLSID_TarnCanvas, &IID_IUnknown},
                         {&CLSID_ControlArray, &IID_IControlArray},
                         {&CLSID_ControlInserter, &IID_IControlInserter},
                         {&CLSID_SelectionControl, &IID_ISelectionControl},
                         {&CLSID_SelectionControl, &IID_ISelectionControlDispatch}};
    for (const Made& m : made) {
        IUnknown* object = nullptr;
        EXPECT_EQ(CoCreateInstance(*m.clsid, nullptr, CLSCTX_INPROC_SERVER, *m.iid, reinterpret_cast<void**>(&object)),
                  S_OK);
        if (object) object->Release();
    }
    CoUninitialize();

    ASSERT_EQ(RunRegsvr32(L"/u"), 0u);
    for (const ClassRow& c : kClasses) ExpectClassRemoved(c);
    EXPECT_TRUE(KeyExists(L"CLSID"));
    EXPECT_TRUE(KeyExists(std::wstring(L"TypeLib\\") + kLibrary));  // the library stays registered
}

TEST(ClassObjects, FollowTheObjectMap) {
    HMODULE server = LoadLibraryW(ServerPath().c_str());
    ASSERT_NE(server, nullptr);
    typedef HRESULT(WINAPI * GetClassObjectFn)(REFCLSID, REFIID, void**);
    auto getClassObject = reinterpret_cast<GetClassObjectFn>(GetProcAddress(server, "DllGetClassObject"));
    ASSERT_NE(getClassObject, nullptr);
    for (const char* name : {"DllCanUnloadNow", "DllRegisterServer", "DllUnregisterServer"})
        EXPECT_NE(GetProcAddress(server, name), nullptr) << name;

    EXPECT_EQ(getClassObject(CLSID_LineControl, IID_IClassFactory, nullptr), E_POINTER);

    struct Unavailable {
        const char* name;
        const CLSID* clsid;
    };
    const Unavailable unavailable[] = {
        {"listed in the library, not in the map", &CLSID_Prop_TextCtrl_Font},
        {"listed in the library, not in the map", &CLSID_Prop_TextCtrl_Text},
        {"unknown", &IID_IBaseControl},
    };
    for (const Unavailable& u : unavailable) {
        void* factory = reinterpret_cast<void*>(1);
        EXPECT_EQ(getClassObject(*u.clsid, IID_IClassFactory, &factory), CLASS_E_CLASSNOTAVAILABLE) << u.name;
        EXPECT_EQ(factory, nullptr) << u.name;
    }

    struct Aggregation {
        const CLSID* clsid;
        bool refused;
    };
    const Aggregation rules[] = {{&CLSID_LineControl, true},      {&CLSID_ControlArray, true},
                                 {&CLSID_SelectionControl, true}, {&CLSID_TarnCanvas, false},
                                 {&CLSID_FillPropControl, false}, {&CLSID_Prop_Ctrl_Color, false}};
    OuterObject outer;
    for (const Aggregation& rule : rules) {
        IClassFactory* factory = nullptr;
        ASSERT_EQ(getClassObject(*rule.clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
        IUnknown* inner = nullptr;
        const HRESULT hr = factory->CreateInstance(&outer, IID_IUnknown, reinterpret_cast<void**>(&inner));
        if (rule.refused) {
            EXPECT_EQ(hr, CLASS_E_NOAGGREGATION);
            EXPECT_EQ(inner, nullptr);
        } else {
            EXPECT_NE(hr, CLASS_E_NOAGGREGATION);
            // A class already in the server makes its aggregated form; one still pending says so.
            EXPECT_TRUE(hr == S_OK || hr == E_NOTIMPL) << std::hex << hr;
            if (inner) inner->Release();
        }
        EXPECT_EQ(outer.refs, 1u) << "the aggregate holds no reference on its outer object";
        // The same factory is handed out again.
        IClassFactory* again = nullptr;
        getClassObject(*rule.clsid, IID_IClassFactory, reinterpret_cast<void**>(&again));
        EXPECT_EQ(again, factory);
        again->Release();
        factory->Release();
    }
}

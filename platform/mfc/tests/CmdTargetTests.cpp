// Command targets: message-map routing, interface maps with reference counting, and automation
// through dispatch maps called by name as undo records call them.
#include <classlib.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct ICounter : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Add(long n) = 0;
};
const IID IID_ICounter = {0x1c0ffee0, 0x1234, 0x4321, {0x80, 0x81, 0x82, 0x83, 0x84, 0x85, 0x86, 0x87}};
const IID IID_ISiteDispatchTest = {0x1c0ffee1, 0x1234, 0x4321, {0x80, 0x81, 0x82, 0x83, 0x84, 0x85, 0x86, 0x88}};

class CTestTarget : public CCmdTarget
{
public:
    CTestTarget() { EnableAutomation(); }
    ~CTestTarget() override { ++s_destroyed; }

    std::vector<std::string> calls;
    long counter = 0;
    double m_ratio = 0.5;
    long m_hidden = 3;
    static int s_destroyed;

    void OnNew() { calls.push_back("new"); }
    void OnRange(UINT id) { calls.push_back("range " + std::to_string(id)); }
    BOOL OnMaybe(UINT) { calls.push_back("maybe"); return FALSE; }
    void OnUpdateNew(CCmdUI* ui) { ui->Enable(counter > 0); }
    void OnUpdatePass(CCmdUI* ui) { ui->ContinueRouting(); }

    void InsertControl(IUnknown* control, long position, BOOL select)
    {
        calls.push_back("insert " + std::to_string(position) + " " + std::to_string(select) + (control ? " obj" : " null"));
    }
    long SetPageProperties(double a, double b, double c, double d, double e, double f, BOOL flag)
    {
        return static_cast<long>(a + b + c + d + e + f) + (flag ? 1000 : 0);
    }
    void Rename(LPCSTR name) { calls.push_back(std::string("rename ") + name); }
    BSTR Describe() { return SysAllocString(L"target"); }
    void Fail() { AfxThrowArchiveException(CArchiveException::badSchema); }
    long GetHidden() { return m_hidden; }
    void SetHidden(long v) { m_hidden = v * 2; }

    BEGIN_INTERFACE_PART(Counter, ICounter)
        STDMETHOD(Add)(long n) override;
    END_INTERFACE_PART(Counter)

    DECLARE_MESSAGE_MAP()
    DECLARE_DISPATCH_MAP()
    DECLARE_INTERFACE_MAP()
};
int CTestTarget::s_destroyed = 0;

BEGIN_MESSAGE_MAP(CTestTarget, CCmdTarget)
    ON_COMMAND(100, OnNew)
    ON_COMMAND_RANGE(200, 209, OnRange)
    ON_COMMAND_EX(300, OnMaybe)
    ON_UPDATE_COMMAND_UI(100, OnUpdateNew)
    ON_UPDATE_COMMAND_UI(400, OnUpdatePass)
END_MESSAGE_MAP()

BEGIN_DISPATCH_MAP(CTestTarget, CCmdTarget)
    DISP_FUNCTION(CTestTarget, "InsertControl", InsertControl, VT_EMPTY, VTS_UNKNOWN VTS_I4 VTS_BOOL)
    DISP_FUNCTION(CTestTarget, "SetPageProperties", SetPageProperties, VT_I4,
                  VTS_R8 VTS_R8 VTS_R8 VTS_R8 VTS_R8 VTS_R8 VTS_BOOL)
    DISP_FUNCTION(CTestTarget, "Rename", Rename, VT_EMPTY, VTS_BSTR)
    DISP_FUNCTION(CTestTarget, "Describe", Describe, VT_BSTR, VTS_NONE)
    DISP_FUNCTION(CTestTarget, "Fail", Fail, VT_EMPTY, VTS_NONE)
    DISP_PROPERTY(CTestTarget, "Ratio", m_ratio, VT_R8)
    DISP_PROPERTY_EX(CTestTarget, "Hidden", GetHidden, SetHidden, VT_I4)
END_DISPATCH_MAP()

BEGIN_INTERFACE_MAP(CTestTarget, CCmdTarget)
    INTERFACE_PART(CTestTarget, IID_ISiteDispatchTest, Dispatch)
    INTERFACE_PART(CTestTarget, IID_ICounter, Counter)
END_INTERFACE_MAP()

STDMETHODIMP_(ULONG) CTestTarget::XCounter::AddRef()
{
    METHOD_PROLOGUE(CTestTarget, Counter)
    return pThis->ExternalAddRef();
}
STDMETHODIMP_(ULONG) CTestTarget::XCounter::Release()
{
    METHOD_PROLOGUE(CTestTarget, Counter)
    return pThis->ExternalRelease();
}
STDMETHODIMP CTestTarget::XCounter::QueryInterface(REFIID iid, LPVOID* ppv)
{
    METHOD_PROLOGUE(CTestTarget, Counter)
    return static_cast<HRESULT>(pThis->ExternalQueryInterface(&iid, ppv));
}
STDMETHODIMP CTestTarget::XCounter::Add(long n)
{
    METHOD_PROLOGUE(CTestTarget, Counter)
    pThis->counter += n;
    return S_OK;
}

// A derived target: its own map first, then the base's.
class CDerivedTarget : public CTestTarget
{
public:
    void OnNewHere() { calls.push_back("derived new"); }
    long Twice(long n) { return 2 * n; }
    DECLARE_MESSAGE_MAP()
    DECLARE_DISPATCH_MAP()
};

BEGIN_MESSAGE_MAP(CDerivedTarget, CTestTarget)
    ON_COMMAND(100, OnNewHere)
END_MESSAGE_MAP()

BEGIN_DISPATCH_MAP(CDerivedTarget, CTestTarget)
    DISP_FUNCTION(CDerivedTarget, "Twice", Twice, VT_I4, VTS_I4)
END_DISPATCH_MAP()

class RecordingCmdUI : public CCmdUI {
public:
    int enabled = -1;
    void Enable(BOOL bOn) override { CCmdUI::Enable(bOn); enabled = bOn ? 1 : 0; }
};

DISPID IdOf(IDispatch* dispatch, const wchar_t* name)
{
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, names, 1, 0x0800, &id), S_OK) << CString(name);
    return id;
}

// Calls a method by name with arguments in call order, as an undo record does.
HRESULT CallByName(IDispatch* dispatch, const wchar_t* name, std::vector<VARIANT> args, VARIANT* result = nullptr,
                   UINT* argErr = nullptr, EXCEPINFO* excep = nullptr)
{
    std::vector<VARIANT> reversed(args.rbegin(), args.rend());
    DISPPARAMS params = {reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    return dispatch->Invoke(IdOf(dispatch, name), IID_NULL, 0, DISPATCH_METHOD, &params, result, excep, argErr);
}

VARIANT I4(long v) { VARIANT x; VariantInit(&x); x.vt = VT_I4; x.lVal = v; return x; }
VARIANT R8(double v) { VARIANT x; VariantInit(&x); x.vt = VT_R8; x.dblVal = v; return x; }
VARIANT Bool(bool v) { VARIANT x; VariantInit(&x); x.vt = VT_BOOL; x.boolVal = v ? VARIANT_TRUE : VARIANT_FALSE; return x; }
VARIANT Unknown(IUnknown* p) { VARIANT x; VariantInit(&x); x.vt = VT_UNKNOWN; x.punkVal = p; return x; }
VARIANT Str(const wchar_t* s) { VARIANT x; VariantInit(&x); x.vt = VT_BSTR; x.bstrVal = const_cast<BSTR>(s); return x; }

TEST(MessageMap, CommandsReachTheirHandlers)
{
    CTestTarget target;
    struct Case { UINT id; BOOL handled; const char* call; };
    const Case cases[] = {
        {100, TRUE, "new"}, {205, TRUE, "range 205"}, {209, TRUE, "range 209"}, {210, FALSE, nullptr},
        {300, FALSE, "maybe"}, {999, FALSE, nullptr},
    };
    for (const Case& c : cases) {
        target.calls.clear();
        EXPECT_EQ(target.OnCmdMsg(c.id, CN_COMMAND, nullptr, nullptr), c.handled) << c.id;
        if (c.call) {
            ASSERT_EQ(target.calls.size(), 1u) << c.id;
            EXPECT_EQ(target.calls[0], c.call);
        } else {
            EXPECT_TRUE(target.calls.empty()) << c.id;
        }
    }
}

TEST(MessageMap, DerivedEntriesComeFirstAndHandlerLookupDoesNotCall)
{
    CDerivedTarget target;
    EXPECT_TRUE(target.OnCmdMsg(100, CN_COMMAND, nullptr, nullptr));
    EXPECT_TRUE(target.OnCmdMsg(201, CN_COMMAND, nullptr, nullptr));
    EXPECT_EQ(target.calls, (std::vector<std::string>{"derived new", "range 201"}));

    AFX_CMDHANDLERINFO info = {nullptr, nullptr};
    EXPECT_TRUE(target.OnCmdMsg(205, CN_COMMAND, nullptr, &info));
    EXPECT_EQ(info.pTarget, &target);
    EXPECT_NE(info.pmf, nullptr);
    EXPECT_EQ(target.calls.size(), 2u);
}

TEST(MessageMap, UpdateHandlersEnableAndContinueRouting)
{
    CTestTarget target;
    RecordingCmdUI ui;
    ui.m_nID = 100;
    ui.DoUpdate(&target, TRUE);
    EXPECT_EQ(ui.enabled, 0);            // the handler disabled it
    target.counter = 1;
    ui.DoUpdate(&target, TRUE);
    EXPECT_EQ(ui.enabled, 1);

    RecordingCmdUI noHandler;
    noHandler.m_nID = 777;
    EXPECT_FALSE(noHandler.DoUpdate(&target, TRUE));
    EXPECT_EQ(noHandler.enabled, 0);     // no command handler: disabled

    RecordingCmdUI commandOnly;
    commandOnly.m_nID = 203;
    commandOnly.DoUpdate(&target, TRUE);
    EXPECT_EQ(commandOnly.enabled, 1);   // a command handler without update handler: enabled

    RecordingCmdUI passing;
    passing.m_nID = 400;
    EXPECT_FALSE(passing.DoUpdate(&target, FALSE));   // ContinueRouting: not handled here
}

TEST(DispatchMap, MethodsAreCalledByNameWithConvertedArguments)
{
    CTestTarget target;
    IDispatch* dispatch = target.GetIDispatch(FALSE);
    ASSERT_NE(dispatch, nullptr);

    EXPECT_EQ(CallByName(dispatch, L"InsertControl", {Unknown(dispatch), I4(-1), Bool(true)}), S_OK);
    EXPECT_EQ(CallByName(dispatch, L"insertcontrol", {Unknown(nullptr), R8(4.0), I4(0)}), S_OK);  // names ignore case
    EXPECT_EQ(CallByName(dispatch, L"Rename", {Str(L"sheet")}), S_OK);
    EXPECT_EQ(target.calls, (std::vector<std::string>{"insert -1 1 obj", "insert 4 0 null", "rename sheet"}));

    VARIANT result;
    VariantInit(&result);
    EXPECT_EQ(CallByName(dispatch, L"SetPageProperties", {R8(1), R8(2), R8(3), R8(4), I4(5), R8(6), Bool(true)}, &result), S_OK);
    EXPECT_EQ(result.vt, VT_I4);
    EXPECT_EQ(result.lVal, 1021);

    VariantInit(&result);
    EXPECT_EQ(CallByName(dispatch, L"Describe", {}, &result), S_OK);
    ASSERT_EQ(result.vt, VT_BSTR);
    EXPECT_EQ(wcscmp(result.bstrVal, L"target"), 0);
    VariantClear(&result);
}

TEST(DispatchMap, BadCallsAreRefusedWithTheirErrors)
{
    CTestTarget target;
    IDispatch* dispatch = target.GetIDispatch(FALSE);
    LPOLESTR unknown[] = {const_cast<LPOLESTR>(L"NoSuchMethod")};
    DISPID id = 0;
    EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, unknown, 1, 0, &id), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(id, DISPID_UNKNOWN);

    EXPECT_EQ(CallByName(dispatch, L"InsertControl", {Unknown(nullptr), I4(1)}), DISP_E_BADPARAMCOUNT);
    UINT argErr = 99;
    EXPECT_EQ(CallByName(dispatch, L"InsertControl", {Unknown(nullptr), Str(L"not a number"), I4(1)}, nullptr, &argErr),
              DISP_E_TYPEMISMATCH);
    EXPECT_EQ(argErr, 1u);   // index into the reversed argument array
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    EXPECT_EQ(dispatch->Invoke(0x7777, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr), DISP_E_MEMBERNOTFOUND);

    EXCEPINFO excep = {};
    EXPECT_EQ(CallByName(dispatch, L"Fail", {}, nullptr, nullptr, &excep), DISP_E_EXCEPTION);
    EXPECT_NE(excep.bstrDescription, nullptr);
    SysFreeString(excep.bstrDescription);
    SysFreeString(excep.bstrSource);
    EXPECT_TRUE(target.calls.empty());
}

TEST(DispatchMap, PropertiesGetAndPut)
{
    CTestTarget target;
    IDispatch* dispatch = target.GetIDispatch(FALSE);
    for (const wchar_t* name : {L"Ratio", L"Hidden"}) {
        const DISPID id = IdOf(dispatch, name);
        VARIANT value = I4(7);
        DISPID putId = DISPID_PROPERTYPUT;
        DISPPARAMS put = {&value, &putId, 1, 1};
        EXPECT_EQ(dispatch->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYPUT, &put, nullptr, nullptr, nullptr), S_OK);
        VARIANT got;
        VariantInit(&got);
        DISPPARAMS none = {nullptr, nullptr, 0, 0};
        EXPECT_EQ(dispatch->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &got, nullptr, nullptr), S_OK);
        if (wcscmp(name, L"Ratio") == 0) {
            EXPECT_EQ(got.vt, VT_R8);
            EXPECT_EQ(got.dblVal, 7.0);
        } else {
            EXPECT_EQ(got.vt, VT_I4);
            EXPECT_EQ(got.lVal, 14);
        }
    }
}

TEST(DispatchMap, DerivedMapsAddToTheBaseMap)
{
    CDerivedTarget target;
    IDispatch* dispatch = target.GetIDispatch(FALSE);
    VARIANT result;
    VariantInit(&result);
    EXPECT_EQ(CallByName(dispatch, L"Twice", {I4(21)}, &result), S_OK);
    EXPECT_EQ(result.lVal, 42);
    EXPECT_EQ(CallByName(dispatch, L"Rename", {Str(L"x")}), S_OK);
    EXPECT_NE(IdOf(dispatch, L"Twice"), IdOf(dispatch, L"InsertControl"));
}

TEST(InterfaceMap, PartsAnswerQueryInterfaceAndShareOneCount)
{
    CTestTarget::s_destroyed = 0;
    auto* target = new CTestTarget;   // count 1, held by this test
    IDispatch* dispatch = target->GetIDispatch(TRUE);   // 2
    ICounter* counter = nullptr;
    ASSERT_EQ(dispatch->QueryInterface(IID_ICounter, reinterpret_cast<void**>(&counter)), S_OK);   // 3
    counter->Add(5);
    EXPECT_EQ(target->counter, 5);

    IUnknown* viaSiteIid = nullptr;
    ASSERT_EQ(counter->QueryInterface(IID_ISiteDispatchTest, reinterpret_cast<void**>(&viaSiteIid)), S_OK);   // 4
    EXPECT_EQ(viaSiteIid, static_cast<IUnknown*>(dispatch));
    IUnknown* unknown1 = nullptr;
    IUnknown* unknown2 = nullptr;
    counter->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown1));   // 5
    dispatch->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown2));  // 6
    EXPECT_EQ(unknown1, unknown2);   // one identity
    IStream* none = reinterpret_cast<IStream*>(1);
    EXPECT_EQ(counter->QueryInterface(IID_IStream, reinterpret_cast<void**>(&none)), E_NOINTERFACE);
    EXPECT_EQ(none, nullptr);

    EXPECT_EQ(CCmdTarget::FromIDispatch(dispatch), target);
    EXPECT_EQ(CCmdTarget::FromIDispatch(nullptr), nullptr);

    unknown1->Release();
    unknown2->Release();
    viaSiteIid->Release();
    counter->Release();
    dispatch->Release();
    EXPECT_EQ(CTestTarget::s_destroyed, 0);
    EXPECT_EQ(target->InternalRelease(), 0u);   // the creator's reference: last one frees
    EXPECT_EQ(CTestTarget::s_destroyed, 1);
}

TEST(InterfaceMap, TargetsWithoutAutomationHaveNoDispatch)
{
    CCmdTarget plain;
    EXPECT_EQ(plain.GetIDispatch(FALSE), nullptr);
    void* p = nullptr;
    EXPECT_EQ(static_cast<HRESULT>(plain.InternalQueryInterface(&IID_IDispatch, &p)), E_NOINTERFACE);
}

}  // namespace

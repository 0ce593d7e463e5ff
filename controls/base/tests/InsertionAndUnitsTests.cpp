// The insertion hand-shake with an inserter, unit text through the application interface,
// device coordinates, and the base as the inner part of an aggregate.
#include <gtest/gtest.h>

#include <cstring>

#include "ControlFixtures.h"
#include "atlcomptr.h"
#include "inserter/ControlInserter.h"
#include "atlbstr.h"
#include "tarn/ControlsModuleState.h"

namespace {

class CFakeApp : public ITarnApp {
public:
    STDMETHOD(QueryInterface)(REFIID, void** ppv) override {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHOD_(ULONG, AddRef)() override { return 2; }
    STDMETHOD_(ULONG, Release)() override { return 1; }
    STDMETHOD(GetNextMeasurementUnit)(MeasurementUnit*, MeasurementUnit**) override { return E_NOTIMPL; }
    STDMETHOD(GetDefaultMeasurementUnit)(MeasurementUnit** unit) override {
        *unit = &current;
        return S_OK;
    }
    STDMETHOD(ParseUnitsText)(LPSTR text, LONG, double* value) override {
        *value = std::strcmp(text, "2 cm") == 0 ? 2 / 2.54 : 0.0;
        return S_OK;
    }
    STDMETHOD(GetValueText)(LPCSTR, BSTR*) override { return E_NOTIMPL; }
    STDMETHOD(GetValueInt)(LPCSTR, int*) override { return E_NOTIMPL; }
    STDMETHOD(GetValueBlock)(LPCSTR, BYTE**, LONG*) override { return E_NOTIMPL; }
    STDMETHOD(SetValueText)(LPCSTR, LPCSTR, LONG, LONG) override { return E_NOTIMPL; }
    STDMETHOD(SetValueInt)(LPCSTR, int, LONG, LONG) override { return E_NOTIMPL; }
    STDMETHOD(SetValueBlock)(LPCSTR, BYTE*, LONG, LONG, LONG) override { return E_NOTIMPL; }

    MeasurementUnit current{"Centimeters", "cm", "cm", 0, 1 / 2.54};
};

// A view that keeps the areas it is asked to redraw (window and view points coincide, 100 an inch).
class CRedrawView : public CFakeView {
public:
    STDMETHOD(Invalidate)(RECT* rect, LONG makeValid, LONG) override {
        invalidated.push_back(*rect);
        lastMakeValid = makeValid;
        return S_OK;
    }
    std::vector<RECT> invalidated;
    LONG lastMakeValid = -1;
};

struct AppScope {
    explicit AppScope(ITarnApp* app) { SetTarnAppPointer(app); }
    ~AppScope() { SetTarnAppPointer(nullptr); }
};
}  // namespace

TEST(Insertion, InserterHandShakeAndPlacingMap) {
    UseServerResources();
    TestControlObject* control = NewTestControl();
    // The server's own inserter, with one view advised, for the tool of id 101 (no class: the
    // control is handed over by the test).
    CComObject<CControlInserter>* made = nullptr;
    ASSERT_EQ(S_OK, CComObject<CControlInserter>::CreateInstance(&made));
    made->AddRef();
    IControlInserter* inserter = made;
    inserter->put_ControlID(101);
    CRedrawView view;
    DWORD cookie = 0;
    ASSERT_EQ(S_OK, made->Advise(&view, &cookie));
    auto refsOf = [&] {
        inserter->AddRef();
        return inserter->Release();
    };
    ISelfInserter* self = nullptr;
    ASSERT_EQ(S_OK, AsBase(control)->QueryInterface(IID_ISelfInserter, reinterpret_cast<void**>(&self)));

    ASSERT_EQ(S_OK, self->SetInserterInterface(inserter));
    EXPECT_EQ(refsOf(), 2u) << "the control holds the inserter";
    EXPECT_EQ(control->State(), kStateFresh);
    LONG type = 0;
    AsBase(control)->get_TypeID(&type);
    EXPECT_EQ(type, 101) << "the inserter's control id";

    struct Message {
        UINT msg;
        HRESULT expected;
    };
    const Message placing[] = {{WM_LBUTTONDBLCLK, S_OK}, {WM_RBUTTONDOWN, S_OK},   {WM_RBUTTONDBLCLK, S_OK},
                               {WM_MBUTTONDOWN, S_OK},   {WM_MBUTTONDBLCLK, S_OK}, {WM_RBUTTONUP, S_FALSE},
                               {WM_KEYDOWN, S_FALSE}};
    for (const Message& m : placing) {
        LRESULT result = -1;
        EXPECT_EQ(self->OnMessage(m.msg, 0, 0, &result, nullptr), m.expected) << m.msg;
        if (m.expected == S_OK) EXPECT_EQ(result, 0) << m.msg;
    }

    control->rect = tagRectF{0, 0, 1, 2};
    AsBase(control)->Inserter_Redraw();
    ASSERT_EQ(view.invalidated.size(), 1u);
    EXPECT_EQ(view.invalidated[0].bottom, 201) << "the view rectangle widened by one pixel";
    EXPECT_EQ(view.lastMakeValid, 0);
    tagPointF inches{};
    EXPECT_EQ(control->DCUnitsToInches(POINT{100, 200}, inches), S_OK);
    EXPECT_EQ(inches.y, 2.0);

    IBaseControl* inserting = nullptr;
    EXPECT_EQ(self->GetInsertingControl(&inserting), S_OK);
    EXPECT_EQ(inserting, AsBase(control));
    inserting->Release();

    ASSERT_EQ(S_OK, self->SetInserterInterface(nullptr));
    EXPECT_EQ(refsOf(), 1u);
    EXPECT_EQ(control->State(), kStateIdle);
    EXPECT_EQ(control->DCUnitsToInches(POINT{1, 1}, inches), E_POINTER);
    self->Release();
    control->Release();
    made->Unadvise(cookie);
    EXPECT_EQ(inserter->Release(), 0u);
}

TEST(UnitsText, ThroughTheApplicationInterface) {
    TestControlObject* control = NewTestControl();
    char text[256] = "untouched";
    double value = -1;
    EXPECT_EQ(AsBase(control)->FormatUnitsText(1.0, text), S_FALSE) << "no application interface";
    EXPECT_STREQ(text, "untouched");
    EXPECT_EQ(AsBase(control)->ParseUnitsText(const_cast<char*>("2 cm"), 1, &value), S_FALSE);

    CFakeApp app;
    AppScope scope(&app);
    struct Case {
        double inches;
        const char* expected;
    };
    const Case cases[] = {
        {2 / 2.54, "2 cm"},
        {1.0, "2.54 cm"},
        {-0.0001, "0 cm"},  // a rounded negative zero loses its sign
        {-1.0, "-2.54 cm"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AsBase(control)->FormatUnitsText(c.inches, text), S_OK);
        EXPECT_STREQ(text, c.expected);
    }
    EXPECT_EQ(AsBase(control)->ParseUnitsText(const_cast<char*>("2 cm"), 1, &value), S_OK);
    EXPECT_DOUBLE_EQ(value, 2 / 2.54);
    control->Release();
}

TEST(Coordinates, DevicePointsRoundAndRefuseWhatDoesNotFit) {
    tagDrawOptions options{};
    options.ZoomValue = 2.0;
    options.PixelsPerInch = 96.0;
    struct Case {
        tagPointF doc;
        HRESULT expected;
        POINT device;
    };
    const Case cases[] = {
        {{1.0, 0.5}, S_OK, {192, 96}},
        {{-1.0, 0.0}, S_OK, {-192, 0}},
        {{1e7, 0.0}, S_OK, {1920000000, 0}},
        {{2e7, 0.0}, E_INVALIDARG, {0, 0}},
        {{0.0, -2e7}, E_INVALIDARG, {0, 0}},
    };
    for (const Case& c : cases) {
        POINT out{0, 0};
        EXPECT_EQ(CDrawControlBase::DocToDevicePoint(c.doc, options, out), c.expected) << c.doc.x;
        if (c.expected == S_OK) {
            EXPECT_EQ(out.x, c.device.x);
            EXPECT_EQ(out.y, c.device.y);
        }
    }
}

namespace {
class COuter : public IUnknown {
public:
    STDMETHOD(QueryInterface)(REFIID iid, void** ppv) override {
        if (IsEqualIID(iid, IID_IUnknown)) {
            *ppv = this;
            AddRef();
            return S_OK;
        }
        return inner ? inner->QueryInterface(iid, ppv) : E_NOINTERFACE;
    }
    STDMETHOD_(ULONG, AddRef)() override { return ++refs; }
    STDMETHOD_(ULONG, Release)() override { return --refs; }
    IUnknown* inner = nullptr;
    ULONG refs = 1;
};
}  // namespace

TEST(Aggregation, TheBaseServesAnOuterObject) {
    COuter outer;
    IUnknown* inner = nullptr;
    ASSERT_EQ(S_OK, CComCreator<CComAggObject<CTestDrawControl>>::CreateInstance(&outer, IID_IUnknown,
                                                                                   reinterpret_cast<void**>(&inner)));
    outer.inner = inner;
    IBaseControl* base = nullptr;
    ASSERT_EQ(S_OK, outer.QueryInterface(IID_IBaseControl, reinterpret_cast<void**>(&base)));
    IUnknown* identity = nullptr;
    base->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity));
    EXPECT_EQ(identity, static_cast<IUnknown*>(&outer)) << "the aggregate answers with the outer identity";
    identity->Release();
    IBaseControlDispatch* dispatch = nullptr;
    EXPECT_EQ(S_OK, base->QueryInterface(IID_IBaseControlDispatch, reinterpret_cast<void**>(&dispatch)));
    dispatch->Release();
    base->Release();
    EXPECT_EQ(outer.refs, 1u);
    outer.inner = nullptr;
    inner->Release();
}

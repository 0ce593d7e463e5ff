// The control array: references held and given back, null entries, first-match removal, copying
// another array, and the all-support query.
#include <gtest/gtest.h>

#include "atlobject.h"
#include "controlarray/ControlArray.h"

namespace {
// A stand-in for a control: the array only counts references and asks for interfaces, so an object
// that answers IUnknown (and, when asked to, IBaseControl and IPropChanger) is enough.
class CCountedObject : public IUnknown {
public:
    explicit CCountedObject(bool isControl = true, bool changesProps = false)
        : isControl_(isControl), changesProps_(changesProps) {}
    STDMETHOD(QueryInterface)(REFIID iid, void** ppv) override {
        *ppv = nullptr;
        if (IsEqualIID(iid, IID_IUnknown) || (isControl_ && IsEqualIID(iid, IID_IBaseControl)) ||
            (changesProps_ && IsEqualIID(iid, IID_IPropChanger))) {
            *ppv = this;
            AddRef();
            return S_OK;
        }
        return E_NOINTERFACE;
    }
    STDMETHOD_(ULONG, AddRef)() override { return ++refs; }
    STDMETHOD_(ULONG, Release)() override { return --refs; }
    IBaseControl* AsControl() { return reinterpret_cast<IBaseControl*>(static_cast<IUnknown*>(this)); }

    ULONG refs = 0;

private:
    bool isControl_;
    bool changesProps_;
};

struct ArrayRef {
    ArrayRef() {
        CComObject<CControlArray>* made = nullptr;
        EXPECT_EQ(S_OK, CComObject<CControlArray>::CreateInstance(&made));
        made->AddRef();
        array = made;
    }
    ~ArrayRef() { array->Release(); }
    IControlArray* operator->() const { return array; }
    IControlArray* array;
};

int CountOf(IControlArray* array) {
    int n = -1;
    array->get_Count(&n);
    return n;
}

IBaseControl* At(IControlArray* array, int n) {
    IBaseControl* control = nullptr;
    array->get_ControlByNum(n, &control);
    if (control) control->Release();  // the test objects outlive the array
    return control;
}
}  // namespace

TEST(ControlArray, HoldsOneReferenceAnEntryAndReleasesThemAll) {
    CCountedObject a, b;
    {
        ArrayRef array;
        EXPECT_EQ(S_OK, array->AddControl(a.AsControl()));
        EXPECT_EQ(S_OK, array->AddControl(nullptr));
        EXPECT_EQ(S_OK, array->AddControl(b.AsControl()));
        EXPECT_EQ(S_OK, array->AddControl(a.AsControl()));
        EXPECT_EQ(a.refs, 2u);
        EXPECT_EQ(b.refs, 1u);
        EXPECT_EQ(CountOf(array.array), 4);
        EXPECT_EQ(At(array.array, 1), nullptr) << "null entries are kept";

        IBaseControl* got = nullptr;
        EXPECT_EQ(S_OK, array->get_ControlByNum(2, &got));
        EXPECT_EQ(got, b.AsControl());
        EXPECT_EQ(b.refs, 2u) << "handed out with a reference";
        got->Release();
    }
    EXPECT_EQ(a.refs, 0u);
    EXPECT_EQ(b.refs, 0u);
}

TEST(ControlArray, RemovalFirstMatchByIndexAndBadArguments) {
    CCountedObject a, b, stranger;
    ArrayRef array;
    array->AddControl(a.AsControl());
    array->AddControl(b.AsControl());
    array->AddControl(a.AsControl());

    EXPECT_EQ(S_OK, array->RemoveControl(a.AsControl()));
    EXPECT_EQ(CountOf(array.array), 2);
    EXPECT_EQ(At(array.array, 0), b.AsControl()) << "only the first match goes";
    EXPECT_EQ(At(array.array, 1), a.AsControl());
    EXPECT_EQ(a.refs, 1u);
    EXPECT_EQ(E_INVALIDARG, array->RemoveControl(stranger.AsControl()));

    struct Case {
        int n;
        HRESULT expected;
    };
    const Case byNum[] = {{-1, E_INVALIDARG}, {2, E_INVALIDARG}, {1, S_OK}, {1, E_INVALIDARG}};
    for (const Case& c : byNum) EXPECT_EQ(c.expected, array->RemoveControlByNum(c.n)) << c.n;
    EXPECT_EQ(a.refs, 0u);

    IBaseControl* out = reinterpret_cast<IBaseControl*>(1);
    EXPECT_EQ(E_POINTER, array->get_ControlByNum(0, nullptr));
    EXPECT_EQ(E_INVALIDARG, array->get_ControlByNum(5, &out));
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(E_INVALIDARG, array->get_ControlByNum(-1, &out));

    EXPECT_EQ(S_OK, array->RemoveAllControls());
    EXPECT_EQ(CountOf(array.array), 0);
    EXPECT_EQ(b.refs, 0u);
}

TEST(ControlArray, AddControlArrayAsksEachObjectForTheControlInterface) {
    CCountedObject control, notControl(false);
    ArrayRef source, target;
    source->AddControl(control.AsControl());
    source->AddControl(notControl.AsControl());
    source->AddControl(nullptr);
    EXPECT_EQ(S_OK, target->AddControlArray(source.array));
    EXPECT_EQ(CountOf(target.array), 3);
    EXPECT_EQ(At(target.array, 0), control.AsControl());
    EXPECT_EQ(At(target.array, 1), nullptr) << "an object without IBaseControl leaves a null entry";
    EXPECT_EQ(At(target.array, 2), nullptr);
    EXPECT_EQ(control.refs, 2u);
    EXPECT_EQ(notControl.refs, 1u) << "only the source holds it";
}

TEST(ControlArray, IsAllSupportInterface) {
    CCountedObject changer(true, true), plain;
    struct Case {
        std::vector<IBaseControl*> entries;
        long expected;
    };
    const Case cases[] = {
        {{}, 0},
        {{changer.AsControl()}, 1},
        {{changer.AsControl(), changer.AsControl()}, 1},
        {{changer.AsControl(), plain.AsControl()}, 0},
        {{plain.AsControl(), changer.AsControl()}, 0},
        {{changer.AsControl(), nullptr}, 0},
    };
    for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
        ArrayRef array;
        for (IBaseControl* entry : cases[i].entries) array->AddControl(entry);
        long all = -1;
        EXPECT_EQ(S_OK, array->IsAllSupportInterface(IID_IPropChanger, &all));
        EXPECT_EQ(all, cases[i].expected) << "case " << i;
        EXPECT_EQ(E_POINTER, array->IsAllSupportInterface(IID_IPropChanger, nullptr));
    }
    EXPECT_EQ(changer.refs, 0u) << "the queries give back what they took";
    EXPECT_EQ(plain.refs, 0u);
}

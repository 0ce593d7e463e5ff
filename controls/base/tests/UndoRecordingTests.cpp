// Undo records fired by a control reach its sites through the connection point, and replaying
// them by name through IDispatch puts the control back exactly.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "ControlFixtures.h"
#include "atlbstr.h"
#include "tarn/UndoCallRecord.h"

namespace {
class UndoRecording : public ::testing::Test {
protected:
    void SetUp() override {
        UseServerResources();
        control_ = NewTestControl();
        ASSERT_NE(control_, nullptr);
        ASSERT_EQ(S_OK, AsBase(control_)->QueryInterface(IID_IConnectionPointContainer,
                                                          reinterpret_cast<void**>(&container_)));
        ASSERT_EQ(S_OK, container_->FindConnectionPoint(IID_ITarnSiteEvents, &point_));
        ASSERT_EQ(S_OK, point_->Advise(static_cast<ITarnSiteEvents*>(&site_), &cookie_));
        control_->InitNew();
        site_.Clear();
    }
    void TearDown() override {
        if (point_) {
            point_->Unadvise(cookie_);
            point_->Release();
        }
        if (container_) container_->Release();
        site_.Clear();
        if (control_) control_->Release();
        EXPECT_EQ(site_.refs, 0u) << "the control holds no reference on a site it no longer knows";
    }

    IBaseControlDispatch* Dispatch() { return control_->DispatchInterface(); }

    struct Snapshot {
        tagRectF rect;
        bool mirroredX, mirroredY;
        bool visible;
        std::wstring name;
    };
    Snapshot Take() {
        return Snapshot{control_->rect, control_->mirroredX, control_->mirroredY, control_->IsVisibleFlag(),
                        control_->Name()};
    }

    void ExpectSame(const Snapshot& a, const Snapshot& b, double tolerance, const char* what) {
        EXPECT_NEAR(a.rect.left, b.rect.left, tolerance) << what;
        EXPECT_NEAR(a.rect.top, b.rect.top, tolerance) << what;
        EXPECT_NEAR(a.rect.right, b.rect.right, tolerance) << what;
        EXPECT_NEAR(a.rect.bottom, b.rect.bottom, tolerance) << what;
        EXPECT_EQ(a.mirroredX, b.mirroredX) << what;
        EXPECT_EQ(a.mirroredY, b.mirroredY) << what;
        EXPECT_EQ(a.visible, b.visible) << what;
        EXPECT_EQ(a.name, b.name) << what;
    }

    TestControlObject* control_ = nullptr;
    IConnectionPointContainer* container_ = nullptr;
    IConnectionPoint* point_ = nullptr;
    DWORD cookie_ = 0;
    CFakeSite site_;
};

double R8(const VARIANT& v) { return V_VT(&v) == VT_R8 ? V_R8(&v) : NAN; }
}  // namespace

TEST_F(UndoRecording, EveryEditIsUndoneAndRedoneByReplayingItsRecordByName) {
    struct Edit {
        const char* name;
        std::function<HRESULT(IBaseControlDispatch*)> apply;
        const wchar_t* method;
        const char* caption;
        double tolerance;  // 0: exact
    };
    CComBSTR newName(L"Heading");
    const Edit edits[] = {
        {"centre", [](IBaseControlDispatch* d) { return d->SetCenterPoint(5, -2); }, L"SetCenterPoint", "Move", 0},
        {"rect", [](IBaseControlDispatch* d) { return d->SetRect(1, 2, 4, 8); }, L"SetRect", "Resize", 0},
        {"reversed rect", [](IBaseControlDispatch* d) { return d->SetRect(4, 8, 1, 2); }, L"SetRect", "Resize", 0},
        {"size", [](IBaseControlDispatch* d) { return d->SetSize(3, 5); }, L"SetRect", "Resize", 0},
        {"width", [](IBaseControlDispatch* d) { return d->SetWidth(7); }, L"SetRect", "Resize", 0},
        {"height", [](IBaseControlDispatch* d) { return d->SetHeight(0.25); }, L"SetRect", "Resize", 0},
        {"left", [](IBaseControlDispatch* d) { return d->SetLeft(-3); }, L"SetRect", "Resize", 0},
        {"right", [](IBaseControlDispatch* d) { return d->SetRight(9); }, L"SetRect", "Resize", 0},
        {"top", [](IBaseControlDispatch* d) { return d->SetTop(-1); }, L"SetRect", "Resize", 0},
        {"bottom", [](IBaseControlDispatch* d) { return d->SetBottom(6); }, L"SetRect", "Resize", 0},
        {"move", [](IBaseControlDispatch* d) { return d->MoveBy_Disp(1, 2); }, L"MoveBy_Disp", "Move", 0},
        {"scale", [](IBaseControlDispatch* d) { return d->ScaleBy_Disp(2, 4); }, L"ScaleBy_Disp", "Resize", 0},
        {"rotate", [](IBaseControlDispatch* d) { return d->RotateBy_Disp(0.7, 1, 3); }, L"RotateBy_Disp", "Rotate",
         1e-12},
        {"skew", [](IBaseControlDispatch* d) { return d->SkewBy_Disp(1.5, 0.5, 0.25, 2, 1); }, L"SkewBy_Disp", "Skew",
         1e-12},
        {"half turn", [](IBaseControlDispatch* d) { return d->RotateBy180_Disp(); }, L"RotateBy180_Disp",
         "Rotate 180", 0},
        {"flip h", [](IBaseControlDispatch* d) { return d->FlipHorizontally_Disp(); }, L"FlipHorizontally_Disp",
         "Flip Horizontally", 0},
        {"flip v", [](IBaseControlDispatch* d) { return d->FlipVertically_Disp(); }, L"FlipVertically_Disp",
         "Flip Vertically", 0},
        {"hide", [](IBaseControlDispatch* d) { return d->SetVisible(0); }, L"SetVisible", "Show/Hide", 0},
        {"rename", [&](IBaseControlDispatch* d) { return d->put_ControlName_Disp(newName); }, L"SetControlName",
         "Rename", 0},
    };
    control_->normalises = true;  // reversed rects mirror the control, as in the rectangular layer
    for (const Edit& edit : edits) {
        control_->rect = tagRectF{0.5, 1, 2.5, 4};
        const Snapshot before = Take();
        site_.Clear();
        ASSERT_EQ(S_OK, edit.apply(Dispatch())) << edit.name;
        const Snapshot after = Take();
        ASSERT_EQ(site_.undo.size(), 1u) << edit.name;
        CapturedUndo undo = site_.undo[0];
        site_.undo.clear();  // the copy keeps the record's target reference
        EXPECT_EQ(undo.method, edit.method) << edit.name;
        EXPECT_EQ(undo.caption, edit.caption) << edit.name;
        EXPECT_EQ(undo.type, UDT_Plain) << edit.name;
        EXPECT_EQ(undo.extraReference, 0) << edit.name;
        EXPECT_EQ(undo.argumentForm, 1) << edit.name;
        EXPECT_EQ(undo.target, static_cast<IDispatch*>(Dispatch())) << edit.name;

        ASSERT_EQ(S_OK, Replay(undo)) << edit.name;
        ExpectSame(Take(), before, edit.tolerance, edit.name);
        // The replay recorded the redo, which brings the edit back.
        ASSERT_EQ(site_.undo.size(), 1u) << edit.name;
        CapturedUndo redo = site_.undo[0];
        site_.undo.clear();
        ASSERT_EQ(S_OK, Replay(redo)) << edit.name;
        ExpectSame(Take(), after, edit.tolerance, edit.name);

        for (VARIANT& v : undo.args) VariantClear(&v);
        for (VARIANT& v : redo.args) VariantClear(&v);
        undo.target->Release();
        redo.target->Release();
        control_->put_ControlName(nullptr);
        control_->put_Visible(1);
    }
}

TEST_F(UndoRecording, InverseArgumentsFollowTheCallsOrientationAndFactors) {
    struct Case {
        const char* name;
        tagRectF start;
        std::function<HRESULT(IBaseControlDispatch*)> apply;
        std::vector<double> expected;  // in natural argument order
    };
    const Case cases[] = {
        {"reversed horizontally", {0, 0, 1, 2}, [](IBaseControlDispatch* d) { return d->SetRect(3, 0, 1, 2); },
         {1, 0, 0, 2}},
        {"reversed vertically", {0, 0, 1, 2}, [](IBaseControlDispatch* d) { return d->SetRect(0, 5, 1, 2); },
         {0, 2, 1, 0}},
        {"scale", {0, 0, 1, 1}, [](IBaseControlDispatch* d) { return d->ScaleBy_Disp(2, 4); }, {0.5, 0.25}},
        {"skew", {0, 0, 1, 1}, [](IBaseControlDispatch* d) { return d->SkewBy_Disp(1, 0.5, 0, 3, 4); },
         {1, -0.5, -0.0, 3, 4}},
        {"rotate", {0, 0, 1, 1}, [](IBaseControlDispatch* d) { return d->RotateBy_Disp(0.3, 1, 2); },
         {-0.3, 1, 2}},
        {"move", {0, 0, 1, 1}, [](IBaseControlDispatch* d) { return d->MoveBy_Disp(1, 2); }, {-1, -2}},
    };
    for (const Case& c : cases) {
        control_->rect = c.start;
        site_.Clear();
        c.apply(Dispatch());
        ASSERT_EQ(site_.undo.size(), 1u) << c.name;
        const CapturedUndo& record = site_.undo[0];
        ASSERT_EQ(record.args.size(), c.expected.size()) << c.name;
        for (size_t i = 0; i < c.expected.size(); ++i)  // stored last argument first
            EXPECT_EQ(R8(record.args[record.args.size() - 1 - i]), c.expected[i]) << c.name << " argument " << i;
    }
}

TEST_F(UndoRecording, GroupMarkersCarryTheOppositeFlagAndTheCaption) {
    ASSERT_EQ(S_OK, Dispatch()->StartGroupUndo(0, 21299));
    ASSERT_EQ(S_OK, Dispatch()->StartGroupUndo(1, 21299));
    ASSERT_EQ(site_.undo.size(), 2u);
    const struct {
        long type;
        VARIANT_BOOL flag;
    } expected[] = {{UDT_GroupOpen, VARIANT_TRUE}, {UDT_GroupClose, VARIANT_FALSE}};
    for (int i = 0; i < 2; ++i) {
        const CapturedUndo& record = site_.undo[i];
        EXPECT_EQ(record.method, L"StartGroupUndo");
        EXPECT_EQ(record.type, expected[i].type);
        ASSERT_EQ(record.args.size(), 2u);
        EXPECT_EQ(V_VT(&record.args[1]), VT_BOOL);
        EXPECT_EQ(V_BOOL(&record.args[1]), expected[i].flag);
        EXPECT_EQ(V_VT(&record.args[0]), VT_I4);
        EXPECT_EQ(V_I4(&record.args[0]), 21299);
    }
    // Replaying the opening record (on the way back) closes the group.
    CapturedUndo opening = site_.undo[0];
    opening.target->AddRef();
    site_.Clear();
    ASSERT_EQ(S_OK, Replay(opening));
    ASSERT_EQ(site_.undo.size(), 1u);
    EXPECT_EQ(site_.undo[0].type, UDT_GroupClose);
    opening.target->Release();
}

TEST_F(UndoRecording, TwoSitesHearTheSameRecordInAdviseOrderAndUnadvisedOnesNothing) {
    std::vector<std::string> order;
    CFakeSite second;
    site_.order = &order;
    site_.label = "first";
    second.order = &order;
    second.label = "second";
    DWORD cookie = 0;
    ASSERT_EQ(S_OK, point_->Advise(static_cast<ITarnSiteEvents*>(&second), &cookie));
    Dispatch()->MoveBy_Disp(1, 1);
    EXPECT_EQ(order, (std::vector<std::string>{"first", "second"}));
    ASSERT_EQ(second.undo.size(), 1u);
    EXPECT_EQ(second.undo[0].method, L"MoveBy_Disp");

    ASSERT_EQ(S_OK, point_->Unadvise(cookie));
    EXPECT_EQ(point_->Unadvise(cookie), CONNECT_E_NOCONNECTION);
    EXPECT_EQ(point_->Unadvise(77), CONNECT_E_NOCONNECTION);
    Dispatch()->MoveBy_Disp(1, 1);
    EXPECT_EQ(second.undo.size(), 1u);
    second.Clear();
    EXPECT_EQ(second.refs, 0u);
}

TEST_F(UndoRecording, ConnectionPointRefusesWhatItCannotServe) {
    IConnectionPoint* other = reinterpret_cast<IConnectionPoint*>(1);
    EXPECT_EQ(container_->FindConnectionPoint(IID_IPropertyNotifySink, &other), CONNECT_E_NOCONNECTION);
    EXPECT_EQ(other, nullptr);
    CFakeView notASite;
    DWORD cookie = 5;
    EXPECT_EQ(point_->Advise(static_cast<ITarnViewEvents*>(&notASite), &cookie), CONNECT_E_CANNOTCONNECT);
    EXPECT_EQ(cookie, 0u);
    EXPECT_EQ(point_->Advise(nullptr, &cookie), E_POINTER);
}

TEST_F(UndoRecording, EditsWithoutAnInverseAreRefusedAndRecordNothing) {
    struct Case {
        const char* name;
        std::function<HRESULT(IBaseControlDispatch*)> apply;
    };
    const Case cases[] = {
        {"zero horizontal scale", [](IBaseControlDispatch* d) { return d->ScaleBy_Disp(0, 1); }},
        {"zero vertical scale", [](IBaseControlDispatch* d) { return d->ScaleBy_Disp(2, 0); }},
        {"flattening skew", [](IBaseControlDispatch* d) { return d->SkewBy_Disp(1, 2, 0.5, 0, 0); }},
        {"zero skew coefficient", [](IBaseControlDispatch* d) { return d->SkewBy_Disp(0, 0.1, 0.1, 0, 0); }},
    };
    for (const Case& c : cases) {
        control_->rect = tagRectF{0, 0, 1, 1};
        site_.Clear();
        SetErrorInfo(0, nullptr);
        EXPECT_EQ(c.apply(Dispatch()), E_INVALIDARG) << c.name;
        EXPECT_TRUE(site_.undo.empty()) << c.name;
        EXPECT_EQ(control_->rect.right, 1.0) << c.name;
        IErrorInfo* info = nullptr;
        ASSERT_EQ(GetErrorInfo(0, &info), S_OK) << c.name;
        BSTR text = nullptr;
        info->GetDescription(&text);
        EXPECT_GT(SysStringLen(text), 0u) << c.name;
        SysFreeString(text);
        info->Release();
    }
}

TEST_F(UndoRecording, ARecordIsFiredEvenWhenTheEditFails) {
    control_->failFit = true;
    EXPECT_EQ(Dispatch()->SetRect(0, 0, 5, 5), E_FAIL);
    ASSERT_EQ(site_.undo.size(), 1u);
    EXPECT_EQ(site_.undo[0].method, L"SetRect");
}

TEST_F(UndoRecording, NoRecordForNonUndoableSettersOrUnadvisedControls) {
    Dispatch()->put_Storable_Disp(0);
    Dispatch()->put_TypeID_Disp(7);
    EXPECT_TRUE(site_.undo.empty());
    LONG type = 0;
    Dispatch()->get_TypeID_Disp(&type);
    EXPECT_EQ(type, 7);

    TestControlObject* lonely = NewTestControl();
    EXPECT_EQ(S_OK, lonely->DispatchInterface()->MoveBy_Disp(1, 1));
    EXPECT_EQ(lonely->rect.left, 1.0);
    lonely->Release();
}

TEST_F(UndoRecording, AFailedArgumentCopyLeavesAnErrorInItsSlot) {
    CUndoCallRecord record(control_, 2);
    VARIANT bad;
    VariantInit(&bad);
    V_VT(&bad) = static_cast<VARTYPE>(0x0FFF);  // no such type: the copy fails
    EXPECT_TRUE(FAILED(record.AddArg(bad)));
    EXPECT_EQ(S_OK, record.AddArg(2.0));
    const DISPPARAMS& args = record.Arguments();
    ASSERT_EQ(args.cArgs, 2u);
    EXPECT_EQ(V_VT(&args.rgvarg[1]), VT_ERROR);
    EXPECT_EQ(V_VT(&args.rgvarg[0]), VT_R8);
    record.Fire(L"SetCenterPoint", Dispatch(), 21215);
    ASSERT_EQ(site_.undo.size(), 1u);  // still fired
    EXPECT_EQ(V_VT(&site_.undo[0].args[1]), VT_ERROR);
}

TEST_F(UndoRecording, DirectSinkWithoutATargetControl) {
    CFakeSite direct;
    {
        CUndoCallRecord record(static_cast<ITarnSiteEvents*>(&direct), 1);
        record.AddArg(3L);
        record.Fire(L"SetVisible", Dispatch(), 21223);
    }
    ASSERT_EQ(direct.undo.size(), 1u);
    EXPECT_EQ(direct.undo[0].caption, "Show/Hide");
    EXPECT_TRUE(site_.undo.empty());
    direct.Clear();
}

TEST_F(UndoRecording, EnumeratorsListTheAdvisedSitesAndTheOnePoint) {
    CFakeSite second;
    DWORD secondCookie = 0;
    ASSERT_EQ(S_OK, point_->Advise(static_cast<ITarnSiteEvents*>(&second), &secondCookie));
    IEnumConnections* connections = nullptr;
    ASSERT_EQ(S_OK, point_->EnumConnections(&connections));
    CONNECTDATA data[3] = {};
    ULONG fetched = 0;
    EXPECT_EQ(connections->Next(3, data, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 2u);
    EXPECT_EQ(data[0].dwCookie, cookie_);
    EXPECT_EQ(data[1].dwCookie, secondCookie);
    EXPECT_EQ(data[1].pUnk, static_cast<IUnknown*>(static_cast<ITarnSiteEvents*>(&second)));
    for (ULONG i = 0; i < fetched; ++i) data[i].pUnk->Release();
    IEnumConnections* clone = nullptr;
    ASSERT_EQ(S_OK, connections->Clone(&clone));
    EXPECT_EQ(clone->Skip(1), S_FALSE);
    EXPECT_EQ(S_OK, connections->Reset());
    EXPECT_EQ(S_OK, connections->Skip(2));
    clone->Release();
    connections->Release();
    ASSERT_EQ(S_OK, point_->Unadvise(secondCookie));
    EXPECT_EQ(second.refs, 0u) << "the enumerators gave back every reference";

    IEnumConnectionPoints* points = nullptr;
    ASSERT_EQ(S_OK, container_->EnumConnectionPoints(&points));
    IConnectionPoint* found = nullptr;
    ASSERT_EQ(S_OK, points->Next(1, &found, nullptr));
    IID iid{};
    found->GetConnectionInterface(&iid);
    EXPECT_TRUE(IsEqualIID(iid, IID_ITarnSiteEvents));
    found->Release();
    EXPECT_EQ(points->Next(1, &found, nullptr), S_FALSE);
    points->Release();
}

TEST_F(UndoRecording, DispatchByNameRefusesUnknownNamesAndWrongArguments) {
    IDispatch* dispatch = Dispatch();
    LPOLESTR unknown = const_cast<LPOLESTR>(L"put_ControlName_Disp");
    DISPID id = 0;
    EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, &unknown, 1, LOCALE_USER_DEFAULT, &id), DISP_E_UNKNOWNNAME);
    LPOLESTR name = const_cast<LPOLESTR>(L"MoveBy_Disp");
    ASSERT_EQ(dispatch->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id), S_OK);
    EXPECT_EQ(dispatch->GetIDsOfNames(IID_IUnknown, &name, 1, LOCALE_USER_DEFAULT, &id), DISP_E_UNKNOWNINTERFACE);

    VARIANT one;
    VariantInit(&one);
    V_VT(&one) = VT_R8;
    V_R8(&one) = 1.0;
    DISPPARAMS tooFew{&one, nullptr, 1, 0};
    EXPECT_EQ(dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &tooFew, nullptr, nullptr,
                               nullptr),
              DISP_E_BADPARAMCOUNT);
    EXPECT_TRUE(site_.undo.empty());
    UINT count = 0;
    EXPECT_EQ(dispatch->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 1u);
}

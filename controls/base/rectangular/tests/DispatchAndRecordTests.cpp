// The undoable setters of IRectangularControlDispatch and the layer's saved records.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>

#include "RectFixtures.h"

namespace {
const double kPi = 3.14159265358979323846;

class RectDispatch : public ::testing::Test {
protected:
    void SetUp() override {
        UseServerResources();
        control_ = NewRectControl(false);
        AsRect(control_)->SetLinearTransformParams(1.5, 0.5, tagPointF{2, 3}, 0.4, 0.2);
        cookie_ = AdviseSite(AsBase(control_), &site_);
        site_.Clear();
    }
    void TearDown() override {
        UnadviseSite(AsBase(control_), cookie_);
        control_->Release();
    }
    TestRectObject* control_ = nullptr;
    CFakeSite site_;
    DWORD cookie_ = 0;
};

TEST_F(RectDispatch, EachSetterRecordsTheOldValuesAndReplaysToThem) {
    struct Case {
        const char* what;
        std::function<HRESULT(IRectangularControlDispatch*)> call;
        const wchar_t* method;
        const char* caption;
        size_t args;
        HRESULT hr;
    } const cases[] = {
        {"x scale", [](IRectangularControlDispatch* d) { return d->SetXScale(-3.0); }, L"SetXScale", "Horizontal Scale", 1, S_OK},
        {"y scale", [](IRectangularControlDispatch* d) { return d->SetYScale(2.0); }, L"SetYScale", "Vertical Scale", 1, S_OK},
        {"rotate", [](IRectangularControlDispatch* d) { return d->SetRotateAngle(1.25); }, L"SetRotateAngle", "Rotate", 1, S_OK},
        {"skew", [](IRectangularControlDispatch* d) { return d->SetSkewAngle(-0.5); }, L"SetSkewAngle", "Skew", 1, S_OK},
        {"rotation point", [](IRectangularControlDispatch* d) { return d->SetRotationPoint(7, 8); }, L"SetRotationPoint", "Move Rotation Point", 2, S_OK},
        {"all six", [](IRectangularControlDispatch* d) { return d->SetLinearTransformParams_Disp(1, 2, 3, 4, 0.5, 0.1); },
         L"SetLinearTransformParams_Disp", "Transform", 6, S_OK},
        // A refused value still leaves its record, which restores the value still in place.
        {"refused x scale", [](IRectangularControlDispatch* d) { return d->SetXScale(0.0); }, L"SetXScale", "Horizontal Scale", 1, E_INVALIDARG},
        {"refused skew", [](IRectangularControlDispatch* d) { return d->SetSkewAngle(3 * kPi / 2); }, L"SetSkewAngle", "Skew", 1, E_INVALIDARG},
    };
    for (const Case& c : cases) {
        site_.Clear();
        const CLinearTransform before = control_->Transform();
        tagPointF pivotBefore;
        AsRect(control_)->get_RotationPoint(&pivotBefore);
        EXPECT_EQ(c.call(AsRectDispatch(control_)), c.hr) << c.what;
        ASSERT_EQ(site_.undo.size(), 1u) << c.what;
        const CapturedUndo record = site_.undo[0];
        EXPECT_EQ(record.method, c.method) << c.what;
        EXPECT_EQ(record.caption, c.caption) << c.what;
        EXPECT_EQ(record.args.size(), c.args) << c.what;
        EXPECT_EQ(Replay(record), S_OK) << c.what;
        const CLinearTransform after = control_->Transform();
        EXPECT_NEAR(after.XScale, before.XScale, 1e-12) << c.what;
        EXPECT_NEAR(after.YScale, before.YScale, 1e-12) << c.what;
        EXPECT_NEAR(after.XOffset, before.XOffset, 1e-12) << c.what;
        EXPECT_NEAR(after.RotateAngle, before.RotateAngle, 1e-12) << c.what;
        EXPECT_NEAR(after.SkewAngle, before.SkewAngle, 1e-12) << c.what;
        tagPointF pivot;
        AsRect(control_)->get_RotationPoint(&pivot);
        EXPECT_NEAR(pivot.x, pivotBefore.x, 1e-9) << c.what;
    }
}

TEST_F(RectDispatch, TheTwinAnswersByNameThroughTheTypeLibrary) {
    IDispatch* dispatch = nullptr;
    ASSERT_EQ(AsBase(control_)->QueryInterface(IID_IRectangularControlDispatch, reinterpret_cast<void**>(&dispatch)), S_OK);
    LPOLESTR name = const_cast<LPOLESTR>(L"SetYScale");
    DISPID id = 0;
    ASSERT_EQ(dispatch->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id), S_OK);
    VARIANT arg;
    VariantInit(&arg);
    arg.vt = VT_R8;
    arg.dblVal = 4.0;
    DISPPARAMS params{&arg, nullptr, 1, 0};
    EXPECT_EQ(dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr), S_OK);
    EXPECT_DOUBLE_EQ(control_->Transform().YScale, 4.0);
    dispatch->Release();
    IRectangularControl* plain = nullptr;
    ASSERT_EQ(AsBase(control_)->QueryInterface(IID_IRectangularControl, reinterpret_cast<void**>(&plain)), S_OK);
    plain->Release();
}

// Records -------------------------------------------------------------------------------------------

std::vector<BYTE> Record(long id, const void* data, ULONG size) {
    std::vector<BYTE> bytes(8 + size);
    const ULONG key = static_cast<ULONG>(id);
    std::memcpy(bytes.data(), &key, 4);
    std::memcpy(bytes.data() + 4, &size, 4);
    std::memcpy(bytes.data() + 8, data, size);
    return bytes;
}

std::vector<BYTE> NamedRecord(const char* name, const void* data, ULONG size) {
    const ULONG length = static_cast<ULONG>(std::strlen(name));
    std::vector<BYTE> bytes(8 + length + size);
    std::memcpy(bytes.data(), &length, 4);
    std::memcpy(bytes.data() + 4, name, length);
    std::memcpy(bytes.data() + 4 + length, &size, 4);
    std::memcpy(bytes.data() + 8 + length, data, size);
    return bytes;
}

HRESULT LoadInto(TestRectObject* control, std::vector<std::vector<BYTE>> records) {
    std::vector<BYTE> bytes;
    for (auto& r : records) bytes.insert(bytes.end(), r.begin(), r.end());
    bytes.insert(bytes.end(), 4, 0);
    IStream* stream = StreamOf(bytes);
    const HRESULT hr = control->Load(stream);
    stream->Release();
    return hr;
}

TestRectObject* FreshControl() {
    TestRectObject* object = nullptr;
    TestRectObject::CreateInstance(&object);
    object->AddRef();
    return object;
}

TEST_F(RectDispatch, SaveLoadSaveIsByteIdentical) {
    AsRect(control_)->put_RotationPoint(tagPointF{2.5, 3.25});
    const std::vector<BYTE> first = SavedBytes(AsBase(control_));
    TestRectObject* copy = FreshControl();
    IStream* stream = StreamOf(first);
    ASSERT_EQ(copy->Load(stream), S_OK);
    stream->Release();
    EXPECT_EQ(SavedBytes(AsBase(copy)), first);
    EXPECT_DOUBLE_EQ(copy->Transform().RotateAngle, 0.4);
    EXPECT_DOUBLE_EQ(copy->DefRotationPoint().x, control_->DefRotationPoint().x);
    copy->Release();
}

TEST_F(RectDispatch, RecordsAreFoundByNameAndMissingOnesKeepTheDefaults) {
    TestRectObject* copy = FreshControl();
    const double x = 5.5, angle = 0.75;
    ASSERT_EQ(LoadInto(copy, {NamedRecord("XOffset", &x, 8), Record(kRecordRotateAngle, &angle, 8)}), S_OK);
    EXPECT_DOUBLE_EQ(copy->Transform().XOffset, 5.5);
    EXPECT_DOUBLE_EQ(copy->Transform().RotateAngle, 0.75);
    EXPECT_DOUBLE_EQ(copy->Transform().XScale, 1.0);
    EXPECT_DOUBLE_EQ(copy->Transform().YOffset, 0.0);
    copy->Release();
}

TEST_F(RectDispatch, DamagedTransformRecordsAreRefused) {
    const double zero = 0.0, nan = std::nan(""), halfTurn = kPi / 2;
    const std::vector<std::vector<std::vector<BYTE>>> bad = {
        {Record(kRecordXScale, &zero, 8)},
        {Record(kRecordYOffset, &nan, 8)},
        {Record(kRecordShearAngle, &halfTurn, 8)},  // a skew of a quarter turn flattens the frame
    };
    for (const auto& records : bad) {
        TestRectObject* copy = FreshControl();
        EXPECT_TRUE(FAILED(LoadInto(copy, records)));
        const CLinearTransform t = copy->Transform();
        EXPECT_DOUBLE_EQ(t.XScale, 1.0);
        EXPECT_TRUE(std::isfinite(t.YOffset));
        copy->Release();
    }
    // A record too short for its field leaves the field alone.
    TestRectObject* copy = FreshControl();
    const float shortValue = 2.0f;
    EXPECT_EQ(LoadInto(copy, {Record(kRecordXScale, &shortValue, 4)}), S_OK);
    EXPECT_DOUBLE_EQ(copy->Transform().XScale, 1.0);
    copy->Release();
}
}  // namespace

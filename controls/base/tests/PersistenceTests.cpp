// Saving a control and loading it into a fresh object gives the same bytes; unknown records
// survive; damaged streams are refused with a clear result and change nothing.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "ControlFixtures.h"
#include "atlbstr.h"
#include "atlfactory.h"

namespace {
// Property records written by hand, the way an independent writer lays them out.
class RecordWriter {
public:
    RecordWriter& Id(ULONG id, const void* data, ULONG size) {
        Put(&id, 4);
        Put(&size, 4);
        Put(data, size);
        return *this;
    }
    RecordWriter& Named(const std::string& name, const void* data, ULONG size) {
        const ULONG length = static_cast<ULONG>(name.size());
        Put(&length, 4);
        Put(name.data(), length);
        Put(&size, 4);
        Put(data, size);
        return *this;
    }
    RecordWriter& Raw(ULONG value) {
        Put(&value, 4);
        return *this;
    }
    RecordWriter& End() { return Raw(0); }
    std::vector<BYTE> bytes;

private:
    void Put(const void* data, ULONG size) {
        const BYTE* p = static_cast<const BYTE*>(data);
        bytes.insert(bytes.end(), p, p + size);
    }
};

HRESULT LoadInto(CTestDrawControl* control, const std::vector<BYTE>& bytes) {
    return LoadSavedBytes(AsBase(control), bytes);
}

class ControlPersistence : public ::testing::Test {
protected:
    void SetUp() override {
        UseServerResources();
        control_ = NewTestControl();
        control_->InitNew();
    }
    void TearDown() override { control_->Release(); }
    TestControlObject* control_ = nullptr;
};
}  // namespace

TEST_F(ControlPersistence, SaveLoadSaveGivesTheSameBytes) {
    control_->rect = tagRectF{1.25, -2, 3.5, 7};
    control_->angle = 0.5;
    control_->put_ControlName(CComBSTR(L"Title"));
    control_->put_TypeID(42);
    control_->put_Visible(0);
    BYTE param[] = {1, 2, 3, 0, 255};
    control_->SetParam(CComBSTR(L"Extra"), sizeof param, param);
    const std::vector<BYTE> saved = SavedBytes(AsBase(control_));

    TestControlObject* copy = NewTestControl();
    ASSERT_EQ(S_OK, LoadInto(copy, saved));
    EXPECT_EQ(SavedBytes(AsBase(copy)), saved);
    EXPECT_EQ(copy->rect.left, 1.25);
    EXPECT_EQ(copy->Name(), L"Title");
    LONG visible = 1;
    copy->get_Visible(&visible);
    EXPECT_EQ(visible, 0);
    EXPECT_EQ(copy->State(), kStateIdle);
    EXPECT_EQ(copy->IsDirty(), S_FALSE);
    copy->Release();
}

TEST_F(ControlPersistence, BaseRecordsComeFirstInTheirDocumentedForm) {
    control_->put_ControlName(CComBSTR(L"Ab"));
    control_->put_TypeID(-1);
    const std::vector<BYTE> saved = SavedBytes(AsBase(control_));
    const std::vector<BYTE> expected = RecordWriter()
                                           .Id(0x40010001, "\x01\x00\x00\x00", 4)
                                           .Id(0x40010002, "Ab", 2)
                                           .Id(0x40010003, "\xff\xff\xff\xff", 4)
                                           .bytes;
    ASSERT_GE(saved.size(), expected.size() + 4);
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), saved.begin()));
    EXPECT_EQ(std::vector<BYTE>(saved.end() - 4, saved.end()), std::vector<BYTE>(4, 0));  // terminator
}

TEST_F(ControlPersistence, UnknownNamedRecordsAreKeptAndWrittenAgain) {
    const double rect[4] = {0, 0, 2, 2};
    const char future[] = "from a newer version";
    const std::vector<BYTE> stream = RecordWriter()
                                         .Id(0x40010001, "\x01\x00\x00\x00", 4)
                                         .Named("FutureRecord", future, sizeof future)
                                         .Id(0x40020001, rect, sizeof rect)
                                         .Id(0x40770001, "zz", 2)  // unknown numeric id: not kept
                                         .End()
                                         .bytes;
    TestControlObject* fresh = NewTestControl();
    ASSERT_EQ(S_OK, LoadInto(fresh, stream));
    int size = 0;
    fresh->GetParamSize(CComBSTR(L"FutureRecord"), &size);
    EXPECT_EQ(size, static_cast<int>(sizeof future));
    int count = 0;
    fresh->GetParamCount(&count);
    EXPECT_EQ(count, 1) << "the layer's own records are not parameters";

    const std::vector<BYTE> saved = SavedBytes(AsBase(fresh));
    const std::vector<BYTE> kept = RecordWriter().Named("FutureRecord", future, sizeof future).bytes;
    auto at = std::search(saved.begin(), saved.end(), kept.begin(), kept.end());
    ASSERT_NE(at, saved.end());
    const std::vector<BYTE> typeRecordEnd = RecordWriter().Id(0x40010003, "\xff\xff\xff\xff", 4).bytes;
    auto typeAt = std::search(saved.begin(), saved.end(), typeRecordEnd.begin(), typeRecordEnd.end());
    EXPECT_LT(typeAt, at) << "kept records follow the base records";
    fresh->Release();
}

TEST_F(ControlPersistence, DamagedStreamsAreRefusedAndChangeNothing) {
    control_->rect = tagRectF{1, 2, 3, 4};
    control_->put_ControlName(CComBSTR(L"Kept"));
    const std::vector<BYTE> valid = SavedBytes(AsBase(control_));

    TestControlObject* target = NewTestControl();
    target->InitNew();
    target->rect = tagRectF{9, 9, 9, 9};
    const std::vector<BYTE> before = SavedBytes(AsBase(target));

    // Every cut inside the record list is refused: a short key, name or size reads as truncated, a
    // record whose data runs past the end as oversized.
    for (size_t cut = 0; cut + 1 < valid.size(); ++cut) {
        const std::vector<BYTE> truncated(valid.begin(), valid.begin() + cut);
        const HRESULT hr = LoadInto(target, truncated);
        EXPECT_TRUE(hr == kRecordTruncated || hr == kRecordOversized) << "cut at " << cut << ": " << std::hex << hr;
    }
    struct Case {
        const char* name;
        std::vector<BYTE> bytes;
        HRESULT expected;
    };
    const Case cases[] = {
        {"size beyond the stream", RecordWriter().Raw(0x40010001).Raw(0x7FFFFFFF).Raw(1).End().bytes,
         kRecordOversized},
        {"name longer than the stream", RecordWriter().Raw(0x3FFFFFFF).Raw(1).End().bytes, kRecordOversized},
        {"huge size after a name", RecordWriter().Raw(1).Raw('A').Raw(0xFFFFFFF0).End().bytes, kRecordOversized},
        {"no terminator", RecordWriter().Id(0x40010001, "\x01\x00\x00\x00", 4).bytes, kRecordTruncated},
    };
    for (const Case& c : cases) EXPECT_EQ(LoadInto(target, c.bytes), c.expected) << c.name;
    EXPECT_EQ(SavedBytes(AsBase(target)), before);
    EXPECT_EQ(target->rect.left, 9.0);

    IPersistStreamInit* persist = nullptr;
    AsBase(target)->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&persist));
    EXPECT_EQ(persist->Load(nullptr), E_POINTER);
    EXPECT_EQ(persist->Save(nullptr, TRUE), E_POINTER);
    persist->Release();
    target->Release();
}

TEST_F(ControlPersistence, InitNewOnlyOnAFreshControl) {
    TestControlObject* fresh = NewTestControl();
    LONG visible = 1;
    fresh->get_Visible(&visible);
    EXPECT_EQ(visible, 0);
    EXPECT_EQ(fresh->InitNew(), S_OK);
    fresh->get_Visible(&visible);
    EXPECT_EQ(visible, 1);
    fresh->put_Visible(0);
    EXPECT_EQ(fresh->InitNew(), E_UNEXPECTED);
    fresh->get_Visible(&visible);
    EXPECT_EQ(visible, 0) << "the refused call changes nothing";
    fresh->Release();
}

TEST_F(ControlPersistence, DuplicateMakesAnEqualControlOfTheSameClass) {
    IClassFactory* factory = nullptr;
    ASSERT_EQ(S_OK, CComCreator<CComObjectNoLock<CComClassFactory>>::CreateInstance(
                        reinterpret_cast<void*>(&CComCreator<CComObject<CTestDrawControl>>::CreateInstance),
                        IID_IClassFactory, reinterpret_cast<void**>(&factory)));
    DWORD registration = 0;
    ASSERT_EQ(S_OK, CoRegisterClassObject(CLSID_TestDrawControl, factory, CLSCTX_INPROC_SERVER,
                                          REGCLS_MULTIPLEUSE, &registration));
    control_->rect = tagRectF{4, 5, 6, 7};
    control_->put_ControlName(CComBSTR(L"Original"));
    IBaseControl* duplicate = nullptr;
    ASSERT_EQ(S_OK, AsBase(control_)->DuplicateTo(1, &duplicate));
    ASSERT_NE(duplicate, nullptr);
    EXPECT_NE(duplicate, AsBase(control_));
    EXPECT_EQ(SavedBytes(duplicate), SavedBytes(AsBase(control_)));
    duplicate->Release();
    CoRevokeClassObject(registration);
    factory->Release();

    // Without a class object for the control the round trip fails and says so.
    IBaseControl* none = reinterpret_cast<IBaseControl*>(1);
    EXPECT_EQ(AsBase(control_)->DuplicateTo(0, &none), E_FAIL);
    EXPECT_EQ(none, nullptr);
}

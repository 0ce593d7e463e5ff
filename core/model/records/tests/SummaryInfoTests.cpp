#include <gtest/gtest.h>

#include <objbase.h>

#include "DocSummaryInfo.h"

namespace {

constexpr ULONGLONG kSecond = 10000000ull;

FILETIME FromTicks(ULONGLONG ticks)
{
    return FILETIME{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

ULONGLONG Ticks(const FILETIME& t)
{
    return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

// Summary information with a fixed clock.
class FixedClockInfo : public CDocSummaryInfo {
public:
    ULONGLONG now = 130000000000000000ull;

protected:
    FILETIME CurrentTime() const override { return FromTicks(now); }
};

class SummaryInfoTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CoInitialize(nullptr);
        ASSERT_EQ(CreateILockBytesOnHGlobal(nullptr, TRUE, &bytes), S_OK);
        ASSERT_EQ(StgCreateDocfileOnILockBytes(bytes, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, &storage),
                  S_OK);
    }
    void TearDown() override
    {
        storage->Release();
        bytes->Release();
        CoUninitialize();
    }

    // Reads one property of a set straight from the storage.
    PROPVARIANT Read(REFFMTID set, PROPID id)
    {
        PROPVARIANT value;
        PropVariantInit(&value);
        IPropertySetStorage* sets = nullptr;
        storage->QueryInterface(IID_IPropertySetStorage, reinterpret_cast<void**>(&sets));
        IPropertyStorage* props = nullptr;
        if (SUCCEEDED(sets->Open(set, STGM_READ | STGM_SHARE_EXCLUSIVE, &props))) {
            PROPSPEC key;
            key.ulKind = PRSPEC_PROPID;
            key.propid = id;
            props->ReadMultiple(1, &key, &value);
            props->Release();
        }
        sets->Release();
        return value;
    }

    ILockBytes* bytes = nullptr;
    IStorage* storage = nullptr;
};

TEST_F(SummaryInfoTest, PropertiesRoundTripThroughBothSets)
{
    FixedClockInfo info;
    info.m_strTitle = "Birthday";
    info.m_strSubject = "For Ann";
    info.m_strKeywords = "cake";
    info.m_strComments = "";
    info.m_nPageCount = 4;
    info.m_strCategory = "Cards";
    info.m_strManager = "Bob";
    info.m_strCompany = "Tarn";
    info.m_strExtraText = "extra";
    info.SaveToPropStg(storage);

    PROPVARIANT comments = Read(FMTID_SummaryInformation, PIDSI_COMMENTS);
    EXPECT_EQ(comments.vt, VT_EMPTY) << "empty strings are written as empty";
    PROPVARIANT pages = Read(FMTID_SummaryInformation, PIDSI_PAGECOUNT);
    EXPECT_EQ(pages.vt, VT_I4);
    EXPECT_EQ(pages.lVal, 4);
    PROPVARIANT security = Read(FMTID_SummaryInformation, PIDSI_DOC_SECURITY);
    EXPECT_EQ(security.vt, VT_I4);

    CDocSummaryInfo loaded;
    loaded.LoadFromPropStg(storage);
    EXPECT_STREQ(loaded.m_strTitle, "Birthday");
    EXPECT_STREQ(loaded.m_strSubject, "For Ann");
    EXPECT_STREQ(loaded.m_strKeywords, "cake");
    EXPECT_EQ(loaded.m_nPageCount, 4);
    EXPECT_STREQ(loaded.m_strCategory, "Cards");
    EXPECT_STREQ(loaded.m_strManager, "Bob");
    EXPECT_STREQ(loaded.m_strCompany, "Tarn");
    EXPECT_STREQ(loaded.m_strExtraText, "extra");
    EXPECT_EQ(Ticks(loaded.m_LastSaved), info.now);
}

TEST_F(SummaryInfoTest, RevisionAdvancesOnlyWhenTheSetExisted)
{
    struct Case {
        const char* stored;
        bool setExists;
        const char* expected;
    } const cases[] = {{"7", true, "8"}, {"7", false, "7"}, {"", true, "1"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        IStorage* fresh = nullptr;
        ILockBytes* lock = nullptr;
        ASSERT_EQ(CreateILockBytesOnHGlobal(nullptr, TRUE, &lock), S_OK);
        ASSERT_EQ(StgCreateDocfileOnILockBytes(lock, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, &fresh),
                  S_OK);
        if (c.setExists) {
            FixedClockInfo first;
            first.SaveToPropStg(fresh);
        }
        FixedClockInfo info;
        info.m_strRevNumber = c.stored;
        info.SaveToPropStg(fresh);
        EXPECT_STREQ(info.m_strRevNumber, c.expected);
        CDocSummaryInfo loaded;
        loaded.LoadFromPropStg(fresh);
        EXPECT_STREQ(loaded.m_strRevNumber, c.expected);
        fresh->Release();
        lock->Release();
    }
}

TEST_F(SummaryInfoTest, EditingTimeIsPlainTickArithmetic)
{
    struct Case {
        ULONGLONG storedSeconds;
        ULONGLONG sessionSeconds;
        bool empty;
    } const cases[] = {{0, 59, true}, {0, 60, false}, {30 * 60, 90 * 60, false}, {59, 0, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.storedSeconds + c.sessionSeconds);
        FixedClockInfo info;
        info.m_EditTime = FromTicks(c.storedSeconds * kSecond);
        info.m_Opened = FromTicks(info.now - c.sessionSeconds * kSecond);
        info.SaveToPropStg(storage);
        PROPVARIANT edit = Read(FMTID_SummaryInformation, PIDSI_EDITTIME);
        if (c.empty) {
            EXPECT_EQ(edit.vt, VT_EMPTY);
        } else {
            ASSERT_EQ(edit.vt, VT_FILETIME);
            EXPECT_EQ(Ticks(edit.filetime), (c.storedSeconds + c.sessionSeconds) * kSecond);
        }
        EXPECT_EQ(Ticks(info.m_EditTime), c.storedSeconds * kSecond) << "the stored time is not changed";
    }
    FixedClockInfo backwards;
    backwards.m_Opened = FromTicks(backwards.now + 3600 * kSecond);  // the clock went back
    EXPECT_EQ(backwards.EditingTimeNow(), 0u);
}

TEST_F(SummaryInfoTest, MissingSetsAndNullStoragesChangeNothing)
{
    CDocSummaryInfo info;
    info.m_strTitle = "kept";
    info.LoadFromPropStg(storage);
    EXPECT_STREQ(info.m_strTitle, "kept");
    info.LoadFromPropStg(nullptr);
    info.SaveToPropStg(nullptr);
    EXPECT_STREQ(info.m_strTitle, "kept");

    CDocSummaryInfo copy;
    info.m_strRevNumber = "5";
    copy.CopyFrom(info);
    EXPECT_STREQ(copy.m_strTitle, "kept");
    EXPECT_TRUE(copy.m_strRevNumber.IsEmpty()) << "the revision is not copied";
}

}  // namespace

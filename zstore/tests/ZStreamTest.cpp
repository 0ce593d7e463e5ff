// ZStream over streams of real compound files.
#include "MoskFixture.h"
#include <cstring>
#include "ZFrame.h"

namespace {

class ZStreamTest : public ComTest {
protected:
    void SetUp() override {
        ComTest::SetUp();
        root = file.Create();
        ASSERT_TRUE(root);
    }
    void TearDown() override {
        root.Release();
        EXPECT_EQ(S_OK, server.CanUnloadNow());
        ComTest::TearDown();
    }

    // A plain stream of the root holding bytes, opened read-write for use as a donor.
    CComPtr<IStream> Donor(const wchar_t* name, const Bytes& bytes) {
        WriteStoredStream(root, name, bytes);
        CComPtr<IStream> stream;
        EXPECT_EQ(S_OK, root->OpenStream(name, nullptr, kOpenRW, 0, &stream));
        return stream;
    }

    Bytes Stored(const wchar_t* name) {
        Bytes out;
        EXPECT_TRUE(ReadStoredStream(root, name, out));
        return out;
    }

    // A wrapper over a donor, with the mode its storage would give it.
    CComPtr<IZStream> Wrap(IStream* donor, DWORD mode, HRESULT expected = S_OK) {
        CComPtr<IZStream> stream = server.NewStream();
        EXPECT_EQ(expected, stream->put_Donor(donor));
        CComPtr<IZChild> child;
        EXPECT_EQ(S_OK, stream.QueryInterface(&child));
        child->SetMode(mode);
        return stream;
    }

    MoskServer server;
    TempDocfile file;
    CComPtr<IStorage> root;
};

LARGE_INTEGER At(LONGLONG value) {
    LARGE_INTEGER result;
    result.QuadPart = value;
    return result;
}

ULARGE_INTEGER Size(ULONGLONG value) {
    ULARGE_INTEGER result;
    result.QuadPart = value;
    return result;
}

}  // namespace

TEST_F(ZStreamTest, NewWritableStreamLeavesTheEmptyFrame) {
    {
        CComPtr<IStream> donor = Donor(L"empty", {});
        Wrap(donor, STGM_READWRITE);
    }
    const Bytes expected = {'N', 'R', 'A', 'T', 0, 0, 0, 0, 0, 0, 0, 0, 0x72, 0xFA, 0x09, 0xD2};
    EXPECT_EQ(expected, Stored(L"empty"));
}

TEST_F(ZStreamTest, SmallAndLargeContentSurvivesFlushAndReattach) {
    std::vector<std::size_t> sizes;
    for (std::size_t n = 1; n <= 20; ++n) sizes.push_back(n);
    sizes.insert(sizes.end(), {4096, 100000, 3 << 20});
    for (std::size_t size : sizes) {
        SCOPED_TRACE("size " + std::to_string(size));
        const Bytes content = Content(size, static_cast<unsigned>(size));
        CComPtr<IStream> donor = Donor(L"data", {});
        {
            CComPtr<IZStream> stream = Wrap(donor, STGM_WRITE);
            WriteAll(stream, content);
        }
        const Bytes stored = ReadAll(donor);
        ASSERT_GE(stored.size(), 16u);
        EXPECT_EQ(0, std::memcmp(stored.data(), "NRAT", 4));
        EXPECT_EQ(size, U32At(stored, 4));
        EXPECT_EQ(stored.size() - 16, U32At(stored, 8));
        CComPtr<IZStream> again = Wrap(donor, STGM_READ);
        EXPECT_EQ(content, ReadAll(again));
    }
}

TEST_F(ZStreamTest, PlainDonorsArePassedThrough) {
    const Bytes cases[] = {{'a'}, {'a', 'b'}, {'N', 'R', 'A'}, {'N', 'R', 'A', 'X', 1, 2, 3}, Content(5000, 1)};
    for (const Bytes& plain : cases) {
        SCOPED_TRACE("size " + std::to_string(plain.size()));
        CComPtr<IStream> donor = Donor(L"plain", plain);
        {
            CComPtr<IZStream> stream = Wrap(donor, STGM_READWRITE);
            EXPECT_EQ(plain, ReadAll(stream));
            STATSTG stat = {};
            ASSERT_EQ(S_OK, stream->Stat(&stat, STATFLAG_NONAME));
            EXPECT_EQ(plain.size(), stat.cbSize.QuadPart);
            CComPtr<IZChild> child;
            ASSERT_EQ(S_OK, stream.QueryInterface(&child));
            // Nothing to write back: a plain stream already holds what was written to it.
            EXPECT_EQ(S_OK, child->Flush());
            EXPECT_EQ(S_OK, stream->Commit(STGC_DEFAULT));
        }
        EXPECT_EQ(plain, ReadAll(donor));
    }
}

TEST_F(ZStreamTest, DamagedFramesAreRefusedAndLeftAsTheyWere) {
    const Bytes content = Content(2000, 0);
    const Bytes frame = FrameOf(content);
    struct Case {
        const char* what;
        Bytes bytes;
    };
    std::vector<Case> cases;
    ASSERT_GT(frame.size(), 40u);
    for (std::size_t at : {4u, 8u, 12u, 16u, 17u, 40u}) {
        Bytes damaged = frame;
        damaged.at(at) ^= 0x10;
        cases.push_back({"flipped byte", damaged});
    }
    cases.push_back({"flipped last byte", frame});
    cases.back().bytes.back() ^= 1;
    cases.push_back({"frame cut after the header", Bytes(frame.begin(), frame.begin() + 16)});
    cases.push_back({"frame cut inside the header", Bytes(frame.begin(), frame.begin() + 10)});
    cases.push_back({"frame cut inside the data", Bytes(frame.begin(), frame.end() - 5)});
    Bytes claimsMore = frame;
    claimsMore[8] = 0xFF, claimsMore[9] = 0xFF, claimsMore[10] = 0xFF, claimsMore[11] = 0x7F;
    cases.push_back({"compressed size claims more than present", claimsMore});
    Bytes hugeImage = frame;
    hugeImage[4] = 0xFF, hugeImage[5] = 0xFF, hugeImage[6] = 0xFF, hugeImage[7] = 0xFF;
    cases.push_back({"uncompressed size of 4 GiB", hugeImage});

    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CComPtr<IStream> donor = Donor(L"bad", c.bytes);
        {
            CComPtr<IZStream> stream = Wrap(donor, STGM_READWRITE, STG_E_DOCFILECORRUPT);
            char buffer[8];
            ULONG count = 99;
            EXPECT_EQ(STG_E_DOCFILECORRUPT, stream->Read(buffer, sizeof buffer, &count));
            EXPECT_EQ(0u, count);
            EXPECT_EQ(STG_E_DOCFILECORRUPT, stream->Write("x", 1, nullptr));
            EXPECT_EQ(STG_E_DOCFILECORRUPT, stream->Seek(At(0), STREAM_SEEK_SET, nullptr));
            EXPECT_EQ(STG_E_DOCFILECORRUPT, stream->SetSize(Size(3)));
            EXPECT_EQ(STG_E_DOCFILECORRUPT, stream->Commit(STGC_DEFAULT));
            STATSTG stat = {};
            EXPECT_EQ(S_OK, stream->Stat(&stat, STATFLAG_NONAME));  // the donor is still attached
        }
        donor.Release();
        EXPECT_EQ(c.bytes, Stored(L"bad"));
    }
}

TEST_F(ZStreamTest, SeekIsClampedToTheImage) {
    CComPtr<IStream> donor = Donor(L"seek", {});
    CComPtr<IZStream> stream = Wrap(donor, STGM_READWRITE);
    WriteAll(stream, Content(50, 0));
    struct Case {
        LONGLONG move;
        DWORD origin;
        ULONGLONG expected;
    } cases[] = {
        {-5, STREAM_SEEK_SET, 0}, {150, STREAM_SEEK_SET, 50}, {20, STREAM_SEEK_SET, 20},
        {-100, STREAM_SEEK_CUR, 0}, {10, STREAM_SEEK_CUR, 30}, {100, STREAM_SEEK_END, 50},
        {-50, STREAM_SEEK_END, 0}, {-1, STREAM_SEEK_END, 49},
    };
    ULARGE_INTEGER position;
    ASSERT_EQ(S_OK, stream->Seek(At(20), STREAM_SEEK_SET, &position));
    for (const Case& c : cases) {
        ASSERT_EQ(S_OK, stream->Seek(At(20), STREAM_SEEK_SET, nullptr));
        ASSERT_EQ(S_OK, stream->Seek(At(c.move), c.origin, &position));
        EXPECT_EQ(c.expected, position.QuadPart) << "move " << c.move << " origin " << c.origin;
    }
    ASSERT_EQ(S_OK, stream->Seek(At(0), STREAM_SEEK_END, nullptr));
    char buffer[4];
    ULONG count = 99;
    EXPECT_EQ(S_OK, stream->Read(buffer, sizeof buffer, &count));
    EXPECT_EQ(0u, count);
}

TEST_F(ZStreamTest, SetSizeGrowsWithZerosAndShrinks) {
    CComPtr<IStream> donor = Donor(L"size", {});
    CComPtr<IZStream> stream = Wrap(donor, STGM_READWRITE);
    WriteAll(stream, {1, 2, 3, 4, 5});
    ASSERT_EQ(S_OK, stream->SetSize(Size(2)));
    EXPECT_EQ((Bytes{1, 2}), ReadAll(stream));
    ASSERT_EQ(S_OK, stream->SetSize(Size(4)));
    EXPECT_EQ((Bytes{1, 2, 0, 0}), ReadAll(stream));
    // A write past the end after shrinking leaves zeros in the gap.
    ASSERT_EQ(S_OK, stream->SetSize(Size(1)));
    ASSERT_EQ(S_OK, stream->Seek(At(3), STREAM_SEEK_SET, nullptr));  // clamped to 1
    ASSERT_EQ(S_OK, stream->SetSize(Size(0)));
    WriteAll(stream, {9});
    EXPECT_EQ((Bytes{0, 9}), ReadAll(stream));
}

TEST_F(ZStreamTest, StatShowsTheImageAndTheGivenMode) {
    const Bytes content = Content(10000, 0);
    CComPtr<IStream> donor = Donor(L"stat", FrameOf(content));
    const DWORD mode = STGM_WRITE | STGM_SHARE_EXCLUSIVE;
    CComPtr<IZStream> stream = Wrap(donor, mode);
    STATSTG stat = {};
    ASSERT_EQ(S_OK, stream->Stat(&stat, STATFLAG_DEFAULT));
    EXPECT_EQ(content.size(), stat.cbSize.QuadPart);
    EXPECT_EQ(mode, stat.grfMode);
    EXPECT_EQ(0u, stat.grfLocksSupported);
    ASSERT_TRUE(stat.pwcsName);
    EXPECT_STREQ(L"stat", stat.pwcsName);
    ::CoTaskMemFree(stat.pwcsName);
}

TEST_F(ZStreamTest, ReadOnlyStreamNeverChangesItsDonor) {
    const Bytes frame = FrameOf(Content(3000, 1));
    for (DWORD mode : {DWORD(STGM_READ), DWORD(0), DWORD(STGM_READ | STGM_SHARE_EXCLUSIVE)}) {
        CComPtr<IStream> donor = Donor(L"ro", frame);
        {
            CComPtr<IZStream> stream = Wrap(donor, mode);
            WriteAll(stream, Content(700, 0));
            EXPECT_EQ(S_OK, stream->Commit(STGC_DEFAULT));
            EXPECT_EQ(S_OK, stream->Revert());
        }
        donor.Release();
        EXPECT_EQ(frame, Stored(L"ro"));
    }
}

TEST_F(ZStreamTest, FailedWriteBackIsReportedAndKeepsTheOldFrame) {
    const Bytes frame = FrameOf(Content(3000, 0));
    WriteStoredStream(root, L"locked", frame);
    CComPtr<IStream> readOnlyDonor;
    ASSERT_EQ(S_OK, root->OpenStream(L"locked", nullptr, kOpenRead, 0, &readOnlyDonor));
    {
        // Told it may write, but the donor itself refuses.
        CComPtr<IZStream> stream = Wrap(readOnlyDonor, STGM_READWRITE);
        WriteAll(stream, Content(100, 1));
        EXPECT_TRUE(FAILED(stream->Commit(STGC_DEFAULT)));
    }
    readOnlyDonor.Release();
    EXPECT_EQ(frame, Stored(L"locked"));
}

TEST_F(ZStreamTest, RevertWritesPendingChangesAndReloads) {
    CComPtr<IStream> donor = Donor(L"revert", {});
    CComPtr<IZStream> stream = Wrap(donor, STGM_READWRITE);
    WriteAll(stream, Content(1000, 0));
    ASSERT_EQ(S_OK, stream->Seek(At(10), STREAM_SEEK_SET, nullptr));
    EXPECT_EQ(S_OK, stream->Revert());
    ULARGE_INTEGER position;
    ASSERT_EQ(S_OK, stream->Seek(At(0), STREAM_SEEK_CUR, &position));
    EXPECT_EQ(10u, position.QuadPart);
    EXPECT_EQ(Content(1000, 0), ReadAll(stream));
    Bytes stored = ReadAll(donor);
    ASSERT_GE(stored.size(), 16u);
    EXPECT_EQ(1000u, U32At(stored, 4));
}

TEST_F(ZStreamTest, CopyToCopiesTheImageFromThePosition) {
    const Bytes content = Content(5000, 1);
    CComPtr<IStream> donor = Donor(L"source", FrameOf(content));
    CComPtr<IZStream> stream = Wrap(donor, STGM_READ);
    CComPtr<IStream> target;
    ASSERT_EQ(S_OK, ::CreateStreamOnHGlobal(nullptr, TRUE, &target));
    ASSERT_EQ(S_OK, stream->Seek(At(1000), STREAM_SEEK_SET, nullptr));
    ULARGE_INTEGER read, written;
    ASSERT_EQ(S_OK, stream->CopyTo(target, Size(100000), &read, &written));
    EXPECT_EQ(4000u, read.QuadPart);
    EXPECT_EQ(4000u, written.QuadPart);
    EXPECT_EQ(Bytes(content.begin() + 1000, content.end()), ReadAll(target));
}

TEST_F(ZStreamTest, DonorPropertyAndParentRules) {
    CComPtr<IStream> donor = Donor(L"prop", {});
    CComPtr<IZStream> stream = server.NewStream();
    CComPtr<IStream> got;
    ASSERT_EQ(S_OK, stream->get_Donor(&got));
    EXPECT_FALSE(got);
    EXPECT_EQ(E_POINTER, stream->get_Donor(nullptr));
    // Without a donor there is nothing to serve.
    char buffer[2];
    EXPECT_EQ(STG_E_DOCFILECORRUPT, stream->Read(buffer, 2, nullptr));
    ASSERT_EQ(S_OK, stream->put_Donor(donor));
    ASSERT_EQ(S_OK, stream->get_Donor(&got));
    EXPECT_TRUE(got.IsEqualObject(donor));

    CComPtr<IZStorage> first = server.NewStorage(root);
    CComPtr<IZStorage> second = server.NewStorage(root);
    CComPtr<IZChild> child;
    ASSERT_EQ(S_OK, stream.QueryInterface(&child));
    EXPECT_EQ(S_OK, child->SetParent(first));
    EXPECT_EQ(E_FAIL, child->SetParent(second));
    CComPtr<IZStream> otherStream = server.NewStream();
    CComPtr<IZChild> notAStorage;
    ASSERT_EQ(S_OK, otherStream.QueryInterface(&notAStorage));
    EXPECT_EQ(E_NOINTERFACE, notAStorage->SetParent(stream));
}

TEST_F(ZStreamTest, AnswersItsInterfacesWithOneIdentity) {
    CComPtr<IZStream> stream = server.NewStream();
    CComPtr<IUnknown> identity;
    ASSERT_EQ(S_OK, stream.QueryInterface(&identity));
    const IID* iids[] = {&IID_IZStream, &IID_IStream, &IID_ISequentialStream, &IID_IZChild};
    for (const IID* iid : iids) {
        CComPtr<IUnknown> viaInterface;
        ASSERT_EQ(S_OK, stream->QueryInterface(*iid, reinterpret_cast<void**>(&viaInterface)));
        CComPtr<IUnknown> back;
        ASSERT_EQ(S_OK, viaInterface.QueryInterface(&back));
        EXPECT_EQ(identity.p, back.p);
    }
    CComPtr<IStorage> notStorage;
    EXPECT_EQ(E_NOINTERFACE, stream.QueryInterface(&notStorage));
    EXPECT_EQ(E_NOTIMPL, stream->LockRegion(Size(0), Size(1), LOCK_WRITE));
    IStream* clone = reinterpret_cast<IStream*>(1);
    EXPECT_EQ(E_NOTIMPL, stream->Clone(&clone));
    EXPECT_EQ(nullptr, clone);
}

// ZStorage over real compound files: wrapping, modes, the child tree, commit, copy and property sets.
#include "MoskFixture.h"
#include <cstring>

namespace {

class ZStorageTest : public ComTest {
protected:
    void TearDown() override {
        // Children hold their parents and parents list children weakly: nothing may be left over.
        EXPECT_EQ(S_OK, server.CanUnloadNow());
        ComTest::TearDown();
    }
    MoskServer server;
    TempDocfile file;
};

bool IsFrame(const Bytes& bytes) { return bytes.size() >= 16 && std::memcmp(bytes.data(), "NRAT", 4) == 0; }

// Writes name with content through a storage and releases the stream.
void PutStream(IStorage* storage, const wchar_t* name, const Bytes& content, DWORD mode = kCreateRW) {
    CComPtr<IStream> stream;
    ASSERT_EQ(S_OK, storage->CreateStream(name, mode, 0, 0, &stream));
    WriteAll(stream, content);
}

Bytes GetStream(IStorage* storage, const wchar_t* name) {
    CComPtr<IStream> stream;
    EXPECT_EQ(S_OK, storage->OpenStream(name, nullptr, kOpenRead, 0, &stream));
    return stream ? ReadAll(stream) : Bytes();
}

}  // namespace

TEST_F(ZStorageTest, WriteRequestsReachTheDonorAsReadWriteWithShareFlags) {
    const DWORD modes[] = {
        STGM_WRITE | STGM_SHARE_EXCLUSIVE,
        STGM_READWRITE | STGM_SHARE_EXCLUSIVE,
        STGM_WRITE | STGM_SHARE_EXCLUSIVE | STGM_DIRECT,
    };
    CComPtr<IStorage> root = file.Create();
    CComPtr<IZStorage> storage = server.NewStorage(root);
    for (DWORD mode : modes) {
        for (bool create : {true, false}) {
            SCOPED_TRACE("mode " + std::to_string(mode) + (create ? " create" : " open"));
            const DWORD requested = create ? mode | STGM_CREATE : mode;
            CComPtr<IStream> stream;
            if (create) {
                ASSERT_EQ(S_OK, storage->CreateStream(L"Contents", requested, 0, 0, &stream));
            } else {
                ASSERT_EQ(S_OK, storage->OpenStream(L"Contents", nullptr, requested, 0, &stream));
            }
            STATSTG stat = {};
            ASSERT_EQ(S_OK, stream->Stat(&stat, STATFLAG_NONAME));
            EXPECT_EQ(requested, stat.grfMode);
            // The donor was opened readable, so the wrapper could read what an earlier round wrote.
            if (!create) {
                EXPECT_EQ(Content(100, 0), ReadAll(stream));
            }
            ASSERT_EQ(S_OK, stream->SetSize(ULARGE_INTEGER{}));
            WriteAll(stream, Content(100, 0));
            stream.Release();
            CComPtr<IStorage> sub;
            if (create) {
                ASSERT_EQ(S_OK, storage->CreateStorage(L"Sub", requested, 0, 0, &sub));
            } else {
                ASSERT_EQ(S_OK, storage->OpenStorage(L"Sub", nullptr, requested, nullptr, 0, &sub));
            }
            ASSERT_EQ(S_OK, sub->Stat(&stat, STATFLAG_NONAME));
            EXPECT_EQ(requested, stat.grfMode);
            EXPECT_EQ(0u, stat.grfLocksSupported);
        }
    }
}

TEST_F(ZStorageTest, TreeSurvivesReleaseAndReopenFromDisk) {
    {
        CComPtr<IStorage> root = file.Create();
        CComPtr<IZStorage> storage = server.NewStorage(root);
        PutStream(storage, L"Contents", Content(20000, 0));
        PutStream(storage, L"Empty", {});
        CComPtr<IStorage> sounds;
        ASSERT_EQ(S_OK, storage->CreateStorage(L"Sounds", kCreateRW, 0, 0, &sounds));
        PutStream(sounds, L"Sound0000", Content(7000, 1));
        CComPtr<IStorage> deeper;
        ASSERT_EQ(S_OK, sounds->CreateStorage(L"Deeper", kCreateRW, 0, 0, &deeper));
        PutStream(deeper, L"Leaf", Content(3, 2));
    }
    {
        CComPtr<IStorage> root = file.Open(kOpenRead);
        Bytes stored;
        ASSERT_TRUE(ReadStoredStream(root, L"Contents", stored));
        EXPECT_TRUE(IsFrame(stored));
        EXPECT_LT(stored.size(), 20000u);
        CComPtr<IZStorage> storage = server.NewStorage(root);
        EXPECT_EQ(Content(20000, 0), GetStream(storage, L"Contents"));
        EXPECT_EQ(Bytes(), GetStream(storage, L"Empty"));
        CComPtr<IStorage> sounds, deeper;
        ASSERT_EQ(S_OK, storage->OpenStorage(L"Sounds", nullptr, kOpenRead, nullptr, 0, &sounds));
        EXPECT_EQ(Content(7000, 1), GetStream(sounds, L"Sound0000"));
        ASSERT_EQ(S_OK, sounds->OpenStorage(L"Deeper", nullptr, kOpenRead, nullptr, 0, &deeper));
        EXPECT_EQ(Content(3, 2), GetStream(deeper, L"Leaf"));
    }
}

TEST_F(ZStorageTest, PlainDocumentsReadUnchanged) {
    {
        CComPtr<IStorage> root = file.Create();
        WriteStoredStream(root, L"Contents", Content(4000, 1));
    }
    CComPtr<IStorage> root = file.Open();
    CComPtr<IZStorage> storage = server.NewStorage(root);
    EXPECT_EQ(Content(4000, 1), GetStream(storage, L"Contents"));
    storage.Release();
    Bytes stored;
    ASSERT_TRUE(ReadStoredStream(root, L"Contents", stored));
    EXPECT_EQ(Content(4000, 1), stored);
}

TEST_F(ZStorageTest, CorruptStreamIsRefusedOnOpening) {
    CComPtr<IStorage> root = file.Create();
    Bytes frame = FrameOf(Content(1000, 0));
    frame[20] ^= 0x40;
    WriteStoredStream(root, L"Contents", frame);
    {
        CComPtr<IZStorage> storage = server.NewStorage(root);
        IStream* stream = reinterpret_cast<IStream*>(1);
        EXPECT_EQ(STG_E_DOCFILECORRUPT, storage->OpenStream(L"Contents", nullptr, kOpenRW, 0, &stream));
        EXPECT_EQ(nullptr, stream);
        // The refused stream is not held open: it can be opened again at once.
        CComPtr<IStream> plain;
        EXPECT_EQ(S_OK, root->OpenStream(L"Contents", nullptr, kOpenRW, 0, &plain));
        plain.Release();
        EXPECT_EQ(S_OK, storage->Commit(STGC_DEFAULT));
    }
    Bytes stored;
    ASSERT_TRUE(ReadStoredStream(root, L"Contents", stored));
    EXPECT_EQ(frame, stored);
}

TEST_F(ZStorageTest, ChildrenLeaveInAnyOrder) {
    CComPtr<IStorage> root = file.Create();
    CComPtr<IZStorage> storage = server.NewStorage(root);
    CComPtr<IStorage> subs[3];
    const wchar_t* names[3] = {L"A", L"B", L"C"};
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(S_OK, storage->CreateStorage(names[i], kCreateRW, 0, 0, &subs[i]));
        PutStream(subs[i], L"S", Content(10 + i, 0));
    }
    subs[1].Release();
    subs[2].Release();
    subs[0].Release();
    // Nothing dangling is flushed or reverted.
    EXPECT_EQ(S_OK, storage->Commit(STGC_DEFAULT));
    EXPECT_EQ(S_OK, storage->Revert());
    for (int i = 0; i < 3; ++i) {
        CComPtr<IStorage> sub;
        ASSERT_EQ(S_OK, storage->OpenStorage(names[i], nullptr, kOpenRW, nullptr, 0, &sub));
        EXPECT_EQ(Content(10 + i, 0), GetStream(sub, L"S"));
    }
}

TEST_F(ZStorageTest, CommitWritesOpenStreamsBeforeTheDonorCommits) {
    // A transacted root keeps nothing until it commits, so the frames must be there before.
    CComPtr<IStorage> root;
    ASSERT_EQ(S_OK, ::StgCreateDocfile(file.Path().c_str(), kCreateRW | STGM_TRANSACTED, 0, &root));
    CComPtr<IZStorage> storage = server.NewStorage(root);
    CComPtr<IStream> open;
    ASSERT_EQ(S_OK, storage->CreateStream(L"Contents", kCreateRW, 0, 0, &open));
    WriteAll(open, Content(5000, 0));
    CComPtr<IStorage> sub;
    ASSERT_EQ(S_OK, storage->CreateStorage(L"Sub", kCreateRW, 0, 0, &sub));
    CComPtr<IStream> inner;
    ASSERT_EQ(S_OK, sub->CreateStream(L"Inner", kCreateRW, 0, 0, &inner));
    WriteAll(inner, Content(300, 1));
    ASSERT_EQ(S_OK, storage->Commit(STGC_DEFAULT));
    // Throw away everything after the commit: what is on disk is what the commit stored.
    inner.Release();
    sub.Release();
    open.Release();
    storage->put_Donor(nullptr);
    root->Revert();
    storage.Release();
    root.Release();

    CComPtr<IStorage> reopened = file.Open(kOpenRead);
    CComPtr<IZStorage> check = server.NewStorage(reopened);
    EXPECT_EQ(Content(5000, 0), GetStream(check, L"Contents"));
    CComPtr<IStorage> checkSub;
    ASSERT_EQ(S_OK, check->OpenStorage(L"Sub", nullptr, kOpenRead, nullptr, 0, &checkSub));
    EXPECT_EQ(Content(300, 1), GetStream(checkSub, L"Inner"));
}

TEST_F(ZStorageTest, CopyToCopiesStoredFrames) {
    TempDocfile plainTarget, wrappedTarget;
    CComPtr<IStorage> root = file.Create();
    CComPtr<IZStorage> storage = server.NewStorage(root);
    CComPtr<IStream> open;
    ASSERT_EQ(S_OK, storage->CreateStream(L"Contents", kCreateRW, 0, 0, &open));
    WriteAll(open, Content(8000, 0));  // still open: CopyTo must write it first

    CComPtr<IStorage> plain = plainTarget.Create();
    ASSERT_EQ(S_OK, storage->CopyTo(0, nullptr, nullptr, plain));
    Bytes stored;
    ASSERT_TRUE(ReadStoredStream(plain, L"Contents", stored));
    EXPECT_TRUE(IsFrame(stored));
    EXPECT_EQ(Content(8000, 0), GetStream(server.NewStorage(plain), L"Contents"));

    // Into another compressed storage the frames land as they are, not compressed twice.
    CComPtr<IStorage> otherRoot = wrappedTarget.Create();
    CComPtr<IZStorage> other = server.NewStorage(otherRoot);
    ASSERT_EQ(S_OK, storage->CopyTo(0, nullptr, nullptr, other));
    EXPECT_EQ(Content(8000, 0), GetStream(other, L"Contents"));
}

TEST_F(ZStorageTest, NewDonorDetachesOpenChildren) {
    CComPtr<IStorage> root = file.Create();
    CComPtr<IZStorage> storage = server.NewStorage(root);
    CComPtr<IStream> open;
    ASSERT_EQ(S_OK, storage->CreateStream(L"Contents", kCreateRW, 0, 0, &open));
    WriteAll(open, Content(500, 0));
    TempDocfile otherFile;
    CComPtr<IStorage> otherRoot = otherFile.Create();
    ASSERT_EQ(S_OK, storage->put_Donor(otherRoot));
    // Commit no longer reaches the old child: its donor still holds nothing.
    ASSERT_EQ(S_OK, storage->Commit(STGC_DEFAULT));
    CComPtr<IStream> oldDonor;
    CComPtr<IZStream> wrapped;
    ASSERT_EQ(S_OK, open.QueryInterface(&wrapped));
    ASSERT_EQ(S_OK, wrapped->get_Donor(&oldDonor));
    STATSTG stat = {};
    ASSERT_EQ(S_OK, oldDonor->Stat(&stat, STATFLAG_NONAME));
    EXPECT_EQ(0u, stat.cbSize.QuadPart);
    oldDonor.Release();
    wrapped.Release();
    // Its own release still writes it and tells a parent that no longer lists it.
    open.Release();
    Bytes stored;
    ASSERT_TRUE(ReadStoredStream(root, L"Contents", stored));
    EXPECT_TRUE(IsFrame(stored));
}

TEST_F(ZStorageTest, WithoutADonorEverythingFails) {
    CComPtr<IZStorage> storage = server.NewStorage();
    IStream* stream = nullptr;
    IStorage* sub = nullptr;
    EXPECT_EQ(E_FAIL, storage->CreateStream(L"x", kCreateRW, 0, 0, &stream));
    EXPECT_EQ(E_FAIL, storage->OpenStream(L"x", nullptr, kOpenRW, 0, &stream));
    EXPECT_EQ(E_FAIL, storage->CreateStorage(L"x", kCreateRW, 0, 0, &sub));
    EXPECT_EQ(E_FAIL, storage->OpenStorage(L"x", nullptr, kOpenRW, nullptr, 0, &sub));
    EXPECT_EQ(E_FAIL, storage->Commit(STGC_DEFAULT));
    EXPECT_EQ(E_FAIL, storage->Revert());
    EXPECT_EQ(E_FAIL, storage->DestroyElement(L"x"));
    STATSTG stat;
    EXPECT_EQ(E_FAIL, storage->Stat(&stat, STATFLAG_NONAME));
    CComPtr<IPropertySetStorage> sets;
    ASSERT_EQ(S_OK, storage.QueryInterface(&sets));
    IPropertyStorage* set = nullptr;
    EXPECT_EQ(E_FAIL, sets->Open(FMTID_SummaryInformation, kOpenRead, &set));
    EXPECT_EQ(STG_E_INVALIDPOINTER, storage->CreateStream(L"x", kCreateRW, 0, 0, nullptr));
}

TEST_F(ZStorageTest, ElementOperationsReachTheDonor) {
    CComPtr<IStorage> root = file.Create();
    CComPtr<IZStorage> storage = server.NewStorage(root);
    PutStream(storage, L"One", Content(10, 0));
    PutStream(storage, L"Two", Content(10, 1));
    ASSERT_EQ(S_OK, storage->RenameElement(L"One", L"Uno"));
    ASSERT_EQ(S_OK, storage->DestroyElement(L"Two"));
    CComPtr<IEnumSTATSTG> elements;
    ASSERT_EQ(S_OK, storage->EnumElements(0, nullptr, 0, &elements));
    std::vector<std::wstring> names;
    STATSTG stat;
    while (elements->Next(1, &stat, nullptr) == S_OK) {
        names.push_back(stat.pwcsName);
        ::CoTaskMemFree(stat.pwcsName);
    }
    EXPECT_EQ(std::vector<std::wstring>{L"Uno"}, names);
    const CLSID someClass = {0x12345678, 0x1234, 0x1234, {1, 2, 3, 4, 5, 6, 7, 8}};
    ASSERT_EQ(S_OK, storage->SetClass(someClass));
    ASSERT_EQ(S_OK, root->Stat(&stat, STATFLAG_NONAME));
    EXPECT_TRUE(IsEqualCLSID(someClass, stat.clsid));
}

TEST_F(ZStorageTest, PropertySetsStayUncompressed) {
    {
        CComPtr<IStorage> root = file.Create();
        CComPtr<IZStorage> storage = server.NewStorage(root);
        CComPtr<IPropertySetStorage> sets;
        ASSERT_EQ(S_OK, storage.QueryInterface(&sets));
        CComPtr<IPropertyStorage> summary;
        ASSERT_EQ(S_OK, sets->Create(FMTID_SummaryInformation, nullptr, PROPSETFLAG_ANSI, kCreateRW, &summary));
        PROPSPEC propSpec;
        propSpec.ulKind = PRSPEC_PROPID;
        propSpec.propid = PIDSI_TITLE;
        PROPVARIANT value;
        PropVariantInit(&value);
        value.vt = VT_LPSTR;
        value.pszVal = const_cast<char*>("Birthday card");
        ASSERT_EQ(S_OK, summary->WriteMultiple(1, &propSpec, &value, PID_FIRST_USABLE));
        ASSERT_EQ(S_OK, summary->Commit(STGC_DEFAULT));
    }
    CComPtr<IStorage> root = file.Open(kOpenRead);
    Bytes stored;
    ASSERT_TRUE(ReadStoredStream(root, L"\005SummaryInformation", stored));
    EXPECT_FALSE(IsFrame(stored));
    CComPtr<IPropertySetStorage> plainSets;
    ASSERT_EQ(S_OK, root.QueryInterface(&plainSets));
    CComPtr<IPropertyStorage> summary;
    ASSERT_EQ(S_OK, plainSets->Open(FMTID_SummaryInformation, kOpenRead, &summary));
    PROPSPEC propSpec;
    propSpec.ulKind = PRSPEC_PROPID;
    propSpec.propid = PIDSI_TITLE;
    PROPVARIANT value;
    PropVariantInit(&value);
    ASSERT_EQ(S_OK, summary->ReadMultiple(1, &propSpec, &value));
    ASSERT_EQ(VT_LPSTR, value.vt);
    EXPECT_STREQ("Birthday card", value.pszVal);
    PropVariantClear(&value);
}

TEST_F(ZStorageTest, AggregatesUnderAnOuterObject) {
    // A minimal outer object that counts references and forwards everything else to its inner part.
    struct Outer : IUnknown {
        LONG count = 1;
        IUnknown* inner = nullptr;
        STDMETHOD(QueryInterface)(REFIID iid, void** ppv) override {
            if (IsEqualIID(iid, IID_IUnknown)) {
                *ppv = this;
                AddRef();
                return S_OK;
            }
            return inner->QueryInterface(iid, ppv);
        }
        STDMETHOD_(ULONG, AddRef)() override { return ++count; }
        STDMETHOD_(ULONG, Release)() override { return --count; }
    } outer;
    for (REFCLSID clsid : {CLSID_ZStorage, CLSID_ZStream}) {
        CComPtr<IClassFactory> factory;
        ASSERT_EQ(S_OK, server.Factory(clsid, &factory));
        IUnknown* refused = nullptr;
        EXPECT_EQ(CLASS_E_NOAGGREGATION, factory->CreateInstance(&outer, IID_IStorage, reinterpret_cast<void**>(&refused)));
        ASSERT_EQ(S_OK, factory->CreateInstance(&outer, IID_IUnknown, reinterpret_cast<void**>(&outer.inner)));
        IUnknown* part = nullptr;
        const IID& iid = IsEqualCLSID(clsid, CLSID_ZStorage) ? IID_IZStorage : IID_IZStream;
        ASSERT_EQ(S_OK, outer.inner->QueryInterface(iid, reinterpret_cast<void**>(&part)));
        EXPECT_EQ(2, outer.count);  // the part's reference is the outer's
        IUnknown* identity = nullptr;
        ASSERT_EQ(S_OK, part->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)));
        EXPECT_EQ(static_cast<IUnknown*>(&outer), identity);
        identity->Release();
        part->Release();
        EXPECT_EQ(1, outer.count);
        EXPECT_EQ(0u, outer.inner->Release());
        outer.inner = nullptr;
    }
}

TEST_F(ZStorageTest, ReadOnlyStreamsOfTheWrapperNeverWrite) {
    const Bytes frame = FrameOf(Content(6000, 0));
    CComPtr<IStorage> root = file.Create();
    WriteStoredStream(root, L"Contents", frame);
    {
        CComPtr<IZStorage> storage = server.NewStorage(root);
        CComPtr<IStream> stream;
        ASSERT_EQ(S_OK, storage->OpenStream(L"Contents", nullptr, kOpenRead, 0, &stream));
        // The image takes the write, but a stream opened for reading keeps its donor as it was.
        WriteAll(stream, Content(10, 1));
        EXPECT_EQ(S_OK, storage->Commit(STGC_DEFAULT));
    }
    Bytes stored;
    ASSERT_TRUE(ReadStoredStream(root, L"Contents", stored));
    EXPECT_EQ(frame, stored);
}

TEST_F(ZStorageTest, ParentIgnoresChildrenItDoesNotList) {
    CComPtr<IStorage> root = file.Create();
    CComPtr<IZStorage> storage = server.NewStorage(root);
    CComPtr<IZParent> parent;
    ASSERT_EQ(S_OK, storage.QueryInterface(&parent));
    CComPtr<IZStream> stranger = server.NewStream();
    CComPtr<IZStorage> strangerStorage = server.NewStorage();
    EXPECT_EQ(S_OK, parent->ChildStreamClosed(stranger));
    EXPECT_EQ(S_OK, parent->ChildStorageClosed(strangerStorage));
    EXPECT_EQ(S_OK, parent->ChildStreamClosed(nullptr));
    // A storage's own parent link follows the same rules as a stream's.
    CComPtr<IZChild> child;
    ASSERT_EQ(S_OK, strangerStorage.QueryInterface(&child));
    EXPECT_EQ(S_OK, child->SetParent(storage));
    EXPECT_EQ(E_FAIL, child->SetParent(storage));
    CComPtr<IZChild> streamChild;
    ASSERT_EQ(S_OK, stranger.QueryInterface(&streamChild));
    EXPECT_EQ(S_OK, streamChild->SetParent(storage));
    // Each child leaves its parent at its final release; the parent outlives them by their references.
    child.Release();
    streamChild.Release();
    storage.Release();
    parent.Release();
    stranger.Release();
    strangerStorage.Release();
}

TEST_F(ZStorageTest, StatReportsTheRequestedModeWithoutLocks) {
    CComPtr<IStorage> root = file.Create();
    CComPtr<IZStorage> storage = server.NewStorage(root);
    STATSTG stat = {};
    ASSERT_EQ(S_OK, storage->Stat(&stat, STATFLAG_NONAME));
    EXPECT_EQ(0u, stat.grfMode);  // the root wrapper was never given a mode
    EXPECT_EQ(0u, stat.grfLocksSupported);
    EXPECT_EQ(STGTY_STORAGE, static_cast<int>(stat.type));
    CComPtr<IStorage> donor;
    ASSERT_EQ(S_OK, storage->get_Donor(&donor));
    EXPECT_TRUE(donor.IsEqualObject(root));
    EXPECT_EQ(E_POINTER, storage->get_Donor(nullptr));
}

TEST_F(ZStorageTest, MoveElementToForwardsTheDonorsAnswer) {
    // What the platform's compound file itself answers for the same move.
    TempDocfile plainFile, plainTarget, targetFile;
    HRESULT plainAnswer;
    {
        CComPtr<IStorage> plain = plainFile.Create();
        WriteStoredStream(plain, L"Contents", Content(10, 0));
        CComPtr<IStorage> target = plainTarget.Create();
        plainAnswer = plain->MoveElementTo(L"Contents", target, L"Moved", STGMOVE_COPY);
    }
    CComPtr<IStorage> root = file.Create();
    CComPtr<IZStorage> storage = server.NewStorage(root);
    CComPtr<IStream> open;
    ASSERT_EQ(S_OK, storage->CreateStream(L"Contents", kCreateRW, 0, 0, &open));
    WriteAll(open, Content(9000, 0));
    CComPtr<IStorage> target = targetFile.Create();
    ASSERT_EQ(plainAnswer, storage->MoveElementTo(L"Contents", target, L"Moved", STGMOVE_COPY));
    // Whatever the donor did with it, the open stream's frame was written first.
    CComPtr<IZStream> wrapped;
    ASSERT_EQ(S_OK, open.QueryInterface(&wrapped));
    CComPtr<IStream> donor;
    ASSERT_EQ(S_OK, wrapped->get_Donor(&donor));
    Bytes stored = ReadAll(donor);
    EXPECT_TRUE(IsFrame(stored));
    EXPECT_EQ(9000u, U32At(stored, 4));
    if (plainAnswer == S_OK) {
        ASSERT_TRUE(ReadStoredStream(target, L"Moved", stored));
        EXPECT_TRUE(IsFrame(stored));
    }
}

// A saved selection loads back reversed; a damaged "Count" or control ends the load with E_FAIL
// before the selection changes, and thousands of mutated streams leave no control behind.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "SelectionFixtures.h"
#include "atlcomptr.h"

namespace {
// Makes the buddy test kind for OleLoadFromStream.
class CBuddyFactory : public IClassFactory {
public:
    STDMETHOD(QueryInterface)(REFIID iid, void** ppv) override {
        *ppv = nullptr;
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IClassFactory)) return E_NOINTERFACE;
        *ppv = static_cast<IClassFactory*>(this);
        return S_OK;
    }
    STDMETHOD_(ULONG, AddRef)() override { return 2; }
    STDMETHOD_(ULONG, Release)() override { return 1; }
    STDMETHOD(CreateInstance)(IUnknown* outer, REFIID iid, void** ppv) override {
        *ppv = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        BuddyRectObject* object = nullptr;
        if (FAILED(BuddyRectObject::CreateInstance(&object))) return E_OUTOFMEMORY;
        object->AddRef();
        const HRESULT hr = object->QueryInterface(iid, ppv);
        object->Release();
        return hr;
    }
    STDMETHOD(LockServer)(BOOL) override { return S_OK; }
};

CComPtr<IStream> StreamOf(const std::vector<BYTE>& bytes) {
    CComPtr<IStream> stream;
    CreateStreamOnHGlobal(nullptr, TRUE, &stream);
    ULONG written = 0;
    if (!bytes.empty()) stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written);
    LARGE_INTEGER zero = {};
    stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    return stream;
}

class PersistenceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(S_OK, CoRegisterClassObject(CLSID_TestRectControl, &factory, CLSCTX_INPROC_SERVER,
                                              REGCLS_MULTIPLEUSE, &registration));
        baseline = CBuddyRect::live;
        selection = NewSelection();
        const tagRectF rects[] = {{0, 0, 2, 1}, {3, 1, 4, 3}, {1, 2, 2.5, 4}};
        for (const tagRectF& r : rects) {
            controls.push_back(NewBuddyRect(r, &owner));
            AsSel(selection)->Add(AsBase(controls.back()));
        }
        CComPtr<IStream> stream;
        CreateStreamOnHGlobal(nullptr, TRUE, &stream);
        ASSERT_EQ(S_OK, static_cast<IPersistStreamInit*>(selection)->Save(stream, TRUE));
        saved = BytesOf(stream);
    }
    void TearDown() override {
        AsSel(selection)->RemoveAll();
        EXPECT_EQ(selection->Release(), 0u);
        for (CBuddyRect* c : controls) EXPECT_EQ(AsBase(c)->Release(), 0u);
        EXPECT_EQ(CBuddyRect::live, baseline) << "every loaded control was released";
        CoRevokeClassObject(registration);
    }
    HRESULT LoadInto(CSelectionControl* target, const std::vector<BYTE>& bytes) {
        CComPtr<IStream> stream = StreamOf(bytes);
        return static_cast<IPersistStreamInit*>(target)->Load(stream);
    }

    CBuddyFactory factory;
    DWORD registration = 0;
    LONG baseline = 0;
    CFakeSite owner;
    CComObject<CSelectionControl>* selection = nullptr;
    std::vector<BuddyRectObject*> controls;
    std::vector<BYTE> saved;
};
}  // namespace

TEST_F(PersistenceTest, SavedSelectionComesBackReversed) {
    // "Count" by name, then the controls with their classes.
    ASSERT_GE(saved.size(), 17u);
    ULONG nameLength = 0;
    std::memcpy(&nameLength, saved.data(), 4);
    EXPECT_EQ(nameLength, 5u);
    EXPECT_EQ(std::memcmp(saved.data() + 4, "Count", 5), 0);
    LONG count = 0;
    std::memcpy(&count, saved.data() + 13, 4);
    EXPECT_EQ(count, 3);

    CComObject<CSelectionControl>* loaded = NewSelection();
    ASSERT_EQ(S_OK, LoadInto(loaded, saved));
    ASSERT_EQ(loaded->Selected().size(), 3u);
    // Saved head first (the last added), loaded each at the head: the order turns round.
    for (int i = 0; i < 3; ++i) {
        tagRectF original, copy;
        AsBase(controls[i])->get_Rect(&original);
        loaded->Selected()[i]->get_Rect(&copy);
        EXPECT_NEAR(copy.left, original.left, 1e-12) << i;
        EXPECT_NEAR(copy.bottom, original.bottom, 1e-12) << i;
    }
    EXPECT_EQ(S_OK, AsSel(loaded)->RemoveAll());
    EXPECT_EQ(loaded->Release(), 0u);
}

TEST_F(PersistenceTest, BadCountOrControlFailsAndChangesNothing) {
    auto withCount = [&](LONG count) {
        std::vector<BYTE> bytes = saved;
        std::memcpy(bytes.data() + 13, &count, 4);
        return bytes;
    };
    std::vector<BYTE> wrongName = saved;
    wrongName[4] = 'c';
    std::vector<BYTE> noName = saved;
    std::memset(noName.data(), 0, 4);
    std::vector<BYTE> noData = saved;
    std::memset(noData.data() + 9, 0, 4);
    std::vector<BYTE> damagedClass = saved;
    damagedClass[17 + 3] ^= 0x5A;  // the first control's class identifier
    const std::vector<BYTE> truncated(saved.begin(), saved.begin() + saved.size() / 2);
    const std::vector<std::vector<BYTE>> cases = {withCount(-1),  withCount(1 << 30), withCount(4),
                                                  wrongName,      noName,             noData,
                                                  damagedClass,   truncated,          std::vector<BYTE>()};
    for (size_t i = 0; i < cases.size(); ++i) {
        EXPECT_EQ(E_FAIL, LoadInto(selection, cases[i])) << "case " << i;
        EXPECT_EQ(selection->Selected().size(), 3u) << "case " << i << ": the selection is as it was";
        EXPECT_EQ(CBuddyRect::live, baseline + 3) << "case " << i << ": nothing read was kept";
    }
}

TEST_F(PersistenceTest, MutatedStreamsLoadOrFail) {
    CComObject<CSelectionControl>* target = NewSelection();
    unsigned state = 12345;
    auto next = [&] { return state = state * 1103515245u + 12345u, (state >> 8) & 0xFFFFFF; };
    int loadedCount = 0;
    for (int round = 0; round < 10000; ++round) {
        std::vector<BYTE> bytes = saved;
        const int changes = 1 + next() % 4;
        for (int k = 0; k < changes; ++k) bytes[next() % bytes.size()] = static_cast<BYTE>(next());
        if (next() % 8 == 0) bytes.resize(next() % bytes.size());
        const HRESULT hr = LoadInto(target, bytes);
        ASSERT_TRUE(hr == S_OK || hr == E_FAIL) << "round " << round << " hr " << std::hex << hr;
        if (hr == S_OK) ++loadedCount;
        AsSel(target)->RemoveAll();
    }
    EXPECT_GT(loadedCount, 0);
    EXPECT_EQ(target->Release(), 0u);
}

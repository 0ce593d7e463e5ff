// The sound store and its lists: what they save, load, share and copy.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "SoundItem.h"
#include "SoundSourceList.h"
#include "SoundStore.h"
#include "SoundTestSupport.h"

namespace {

const Bytes kTone = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13};
const Bytes kOther = {'R', 'I', 'F', 'F', 0, 0};

class SoundStoreTest : public ::testing::Test
{
protected:
    PrivateTempFolder temp;
};

TEST_F(SoundStoreTest, SavedListsLoadBackEqualWithFilesOfTheirOwn)
{
    IStorage* storage = MemoryStorage();
    ASSERT_NE(storage, nullptr);
    {
        CSoundStore store;
        CSoundSourceList* wave = store.GetList(5, stWave);
        wave->m_loopCount = 3;
        CSoundItem* first = MakeItem(kTone, "first");
        first->m_delayBefore = 1;
        first->m_pauseAfter = 2;
        first->m_pauseBetween = 0.5;
        first->m_duration = 2.25;
        first->m_playCount = 3;
        Append(*wave, first);
        Append(*wave, MakeItem(kOther, "second", "mid"));
        Append(*wave, MakeItem(kTone, "third"));
        store.GetList(5, stMIDI);  // an empty list beside a full one is kept
        CSoundSourceList* other = store.GetList(-2, stMIDI);
        other->m_repeatForever = 1;
        Append(*other, MakeItem({}, "", "mid"));
        ASSERT_EQ(store.Save(storage), S_OK);

        CSoundStore loaded;
        EXPECT_EQ(loaded.Load(storage), SoundLoadResult::kLoaded);
        ExpectEqualStores(store, loaded);
        // The saved store and the loaded one: eight files, each its own.
        EXPECT_EQ(temp.Files().size(), 8u);
    }
    EXPECT_TRUE(temp.Files().empty()) << "every item deletes its file";
    storage->Release();
}

TEST_F(SoundStoreTest, NoStreamWithoutItems)
{
    IStorage* storage = MemoryStorage();
    CSoundStore store;
    store.GetList(1, stWave);
    store.GetList(2, stMIDI);
    EXPECT_EQ(store.Save(storage), S_OK);
    bool exists = true;
    StorageStreamBytes(storage, L"Sounds", &exists);
    EXPECT_FALSE(exists);
    CSoundStore loaded;
    EXPECT_EQ(loaded.Load(storage), SoundLoadResult::kNoSounds);
    EXPECT_TRUE(loaded.IsEmpty());
    EXPECT_EQ(loaded.Load(nullptr), SoundLoadResult::kNoSounds);
    storage->Release();
}

TEST_F(SoundStoreTest, DataIsSharedOnlyWhenTheBytesAreEqual)
{
    // Equal sums (byte i adds to sum i mod 4), other bytes.
    const Bytes a = {1, 0, 0, 0, 2, 0, 0, 0};
    const Bytes b = {2, 0, 0, 0, 1, 0, 0, 0};
    IStorage* storage = MemoryStorage();
    CSoundStore store;
    CSoundSourceList* list = store.GetList(0, stWave);
    Append(*list, MakeItem(a));
    Append(*list, MakeItem(b));
    Append(*list, MakeItem(a));
    ASSERT_EQ(store.Save(storage), S_OK);
    const Bytes stream = StorageStreamBytes(storage, L"Sounds");
    // One record: 4 + 32 + 4 + (4 + 4) + (4 + 3) = 55 bytes before the data length.
    const size_t firstLength = 4 + 24 + 55;
    const size_t secondLength = firstLength + 4 + a.size() + 55;
    const size_t thirdLength = secondLength + 4 + b.size() + 55;
    ASSERT_EQ(stream.size(), thirdLength + 8);
    uint32_t length = 0, offset = 0;
    std::memcpy(&length, &stream[secondLength], 4);
    EXPECT_EQ(length, b.size()) << "equal sums alone share nothing";
    std::memcpy(&length, &stream[thirdLength], 4);
    std::memcpy(&offset, &stream[thirdLength + 4], 4);
    EXPECT_EQ(length, 0xFFFFFFFFu);
    EXPECT_EQ(offset, firstLength);

    CSoundStore loaded;
    ASSERT_EQ(loaded.Load(storage), SoundLoadResult::kLoaded);
    ExpectEqualStores(store, loaded);
    storage->Release();
}

TEST_F(SoundStoreTest, StoredRecordsWithoutHeaderOrPropertiesTakeTheDefaults)
{
    // One list without header holding one item without properties and 3 data bytes.
    const Bytes stream = {1, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 3, 0, 0, 0, 7, 8, 9};
    CSoundStore store;
    ASSERT_EQ(store.LoadContent(stream.data(), stream.size()), SoundLoadResult::kLoaded);
    ASSERT_EQ(store.GetCount(), 1);
    const CSoundSourceList& list = *store.GetAt(0);
    EXPECT_EQ(list.GetSourceType(), kUnknownSourceType);
    EXPECT_EQ(list.m_loopCount, 1u);
    EXPECT_EQ(list.m_repeatForever, 0u);
    ASSERT_EQ(list.GetCount(), 1);
    const CSoundItem& item = *list.GetAt(0);
    EXPECT_EQ(item.m_delayBefore + item.m_pauseAfter + item.m_pauseBetween + item.m_duration, 0.0);
    EXPECT_EQ(item.m_playCount, 1u);
    EXPECT_EQ(item.GetName(), nullptr);
    EXPECT_EQ(item.GetExtension(), nullptr);
    EXPECT_EQ(SoundFileBytes(item.GetTempPath()), Bytes({7, 8, 9}));
}

TEST_F(SoundStoreTest, DamagedStreamsGiveNoSoundsAndNoFiles)
{
    // A whole stream: one list, two items, the second sharing the first one's data.
    IStorage* storage = MemoryStorage();
    {
        CSoundStore store;
        CSoundSourceList* list = store.GetList(3, stWave);
        Append(*list, MakeItem(kTone));
        Append(*list, MakeItem(kTone));
        ASSERT_EQ(store.Save(storage), S_OK);
    }
    const Bytes whole = StorageStreamBytes(storage, L"Sounds");
    storage->Release();
    const size_t firstLength = 4 + 24 + 55;
    const size_t sharedOffset = whole.size() - 4;

    struct Case {
        const char* what;
        size_t at;
        uint32_t value;
    };
    const Case cases[] = {
        {"list count beyond the bytes", 0, 0x40000000},
        {"item count beyond the bytes", 4 + 20, 0xFFFFFFFF},
        {"data length beyond the bytes", firstLength, 0x7FFFFFFF},
        {"name length beyond the bytes", firstLength - 4 - 3 - 4 - 4, 0x10000},
        {"offset inside data", sharedOffset, static_cast<uint32_t>(firstLength + 4)},
        {"offset of itself", sharedOffset, static_cast<uint32_t>(sharedOffset - 4)},
        {"offset past the end", sharedOffset, static_cast<uint32_t>(whole.size() + 8)},
        {"offset 0xFFFFFFFF", sharedOffset, 0xFFFFFFFF},
        {"offset of the list count", sharedOffset, 0},
    };
    for (const Case& c : cases) {
        Bytes damaged = whole;
        std::memcpy(&damaged[c.at], &c.value, 4);
        CSoundStore store;
        EXPECT_EQ(store.LoadContent(damaged.data(), damaged.size()), SoundLoadResult::kDamaged) << c.what;
        EXPECT_TRUE(store.IsEmpty()) << c.what;
        EXPECT_TRUE(temp.Files().empty()) << c.what;
    }
    for (size_t cut = 0; cut < whole.size(); cut += 7) {
        CSoundStore store;
        EXPECT_EQ(store.LoadContent(whole.data(), cut), SoundLoadResult::kDamaged) << cut;
        EXPECT_TRUE(temp.Files().empty());
    }
    // A chain: a third item naming the second's reference, which is no real length.
    Bytes chain = whole;
    const Bytes thirdRecord(whole.begin() + static_cast<std::ptrdiff_t>(firstLength + 4 + kTone.size()), whole.end());
    chain.insert(chain.end(), thirdRecord.begin(), thirdRecord.end());
    const uint32_t three = 3, reference = static_cast<uint32_t>(sharedOffset - 4);
    std::memcpy(&chain[4 + 20], &three, 4);
    std::memcpy(&chain[chain.size() - 4], &reference, 4);
    CSoundStore store;
    EXPECT_EQ(store.LoadContent(chain.data(), chain.size()), SoundLoadResult::kDamaged);
    // A timing value that is not a number of seconds.
    Bytes notANumber = whole;
    const uint64_t nan = 0x7FF8000000000000ull;
    std::memcpy(&notANumber[4 + 24 + 4], &nan, 8);
    EXPECT_EQ(store.LoadContent(notANumber.data(), notANumber.size()), SoundLoadResult::kDamaged);
    EXPECT_TRUE(store.IsEmpty());
}

TEST_F(SoundStoreTest, LookupsAndCopies)
{
    CSoundStore store;
    EXPECT_EQ(store.FindList(4, stWave), nullptr);
    EXPECT_TRUE(store.IsEmpty()) << "a lookup makes nothing";
    CSoundSourceList* wave = store.GetList(4, stWave);
    EXPECT_EQ(store.GetList(4, stWave), wave);
    EXPECT_EQ(store.FindList(4, stWave), wave);
    EXPECT_EQ(store.FindList(4, stMIDI), nullptr);
    EXPECT_EQ(wave->GetOwner(), &store);
    EXPECT_EQ(wave->GetSourceType(), stWave);
    Append(*wave, MakeItem(kTone, "named"));
    Append(*wave, MakeItem(kOther, nullptr));  // no name: cannot be copied

    CSoundStore copy;
    copy.GetList(9, stMIDI);
    EXPECT_EQ(copy.CopyFrom(store), 1) << "the nameless item is skipped";
    ASSERT_EQ(copy.GetCount(), 2) << "copies are appended";
    CSoundSourceList* copied = copy.GetAt(1);
    EXPECT_EQ(copied->GetOwner(), &copy);
    EXPECT_EQ(copied->GetSiteId(), 4);
    ASSERT_EQ(copied->GetCount(), 1);
    EXPECT_STREQ(copied->GetAt(0)->GetName(), "named");
    EXPECT_EQ(SoundFileBytes(copied->GetAt(0)->GetTempPath()), kTone);
}

TEST_F(SoundStoreTest, ListsInsertRemoveAndLetTheirPlayerGo)
{
    struct Player : ISoundListPlayer {
        CSoundSourceList* list = reinterpret_cast<CSoundSourceList*>(1);
        CSoundSourceList* SetList(CSoundSourceList* l) override
        {
            CSoundSourceList* previous = list;
            list = l;
            return previous;
        }
    } player;
    CSoundSourceList list(stWave);
    CSoundItem* a = MakeItem(kTone, "a");
    CSoundItem* b = MakeItem(kTone, "b");
    CSoundItem* c = MakeItem(kTone, "c");
    list.InsertAfter(a, -1);
    list.InsertAfter(b, -1);
    list.InsertAfter(c, 0);
    ASSERT_EQ(list.GetCount(), 3);
    EXPECT_EQ(list.GetAt(0), b);
    EXPECT_EQ(list.GetAt(1), c);
    EXPECT_EQ(list.GetAt(2), a);
    EXPECT_EQ(list.RemoveAt(1), c);
    EXPECT_EQ(list.RemoveAt(5), nullptr);
    const std::string path = c->GetTempPath();
    delete c;
    EXPECT_EQ(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);
    list.SetPlayer(&player);
    list.RemoveAll();
    EXPECT_EQ(player.list, nullptr);
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_TRUE(temp.Files().empty());
}

// A storage that refuses new streams.
struct RefusingStorage : IStorage {
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateStream(const OLECHAR*, DWORD, DWORD, DWORD, IStream**) override
    {
        return STG_E_ACCESSDENIED;
    }
    HRESULT STDMETHODCALLTYPE OpenStream(const OLECHAR*, void*, DWORD, DWORD, IStream**) override
    {
        return STG_E_FILENOTFOUND;
    }
    HRESULT STDMETHODCALLTYPE CreateStorage(const OLECHAR*, DWORD, DWORD, DWORD, IStorage**) override { return E_FAIL; }
    HRESULT STDMETHODCALLTYPE OpenStorage(const OLECHAR*, IStorage*, DWORD, SNB, DWORD, IStorage**) override
    {
        return E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE CopyTo(DWORD, const IID*, SNB, IStorage*) override { return E_FAIL; }
    HRESULT STDMETHODCALLTYPE MoveElementTo(const OLECHAR*, IStorage*, const OLECHAR*, DWORD) override { return E_FAIL; }
    HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return E_FAIL; }
    HRESULT STDMETHODCALLTYPE Revert() override { return E_FAIL; }
    HRESULT STDMETHODCALLTYPE EnumElements(DWORD, void*, DWORD, IEnumSTATSTG**) override { return E_FAIL; }
    HRESULT STDMETHODCALLTYPE DestroyElement(const OLECHAR*) override { return E_FAIL; }
    HRESULT STDMETHODCALLTYPE RenameElement(const OLECHAR*, const OLECHAR*) override { return E_FAIL; }
    HRESULT STDMETHODCALLTYPE SetElementTimes(const OLECHAR*, const FILETIME*, const FILETIME*, const FILETIME*) override
    {
        return E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE SetClass(REFCLSID) override { return E_FAIL; }
    HRESULT STDMETHODCALLTYPE SetStateBits(DWORD, DWORD) override { return E_FAIL; }
    HRESULT STDMETHODCALLTYPE Stat(STATSTG*, DWORD) override { return E_FAIL; }
};

TEST_F(SoundStoreTest, ASaveThatCannotMakeTheStreamReportsIt)
{
    RefusingStorage storage;
    CSoundStore store;
    Append(*store.GetList(1, stWave), MakeItem(kTone));
    EXPECT_EQ(store.Save(&storage), STG_E_ACCESSDENIED);
    EXPECT_EQ(store.Load(&storage), SoundLoadResult::kNoSounds);
}

}  // namespace

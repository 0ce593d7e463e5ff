// The viewer's sound store: the stream "Sounds" through the viewer's compressed-stream reader.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <random>

#include "CardBytes.h"
#include "SoundItem.h"
#include "SoundSourceList.h"
#include "SoundTestSupport.h"
#include "AllocationWatch.h"
#include "SoundsMutation.h"
#include "SoundsStreamFormat.h"
#include "ViewerSoundStore.h"


namespace {

// One list of site 7 with three items, the third sharing the first one's data.
Bytes ThreeItemStream(size_t* sharedOffset = nullptr)
{
    soundsformat::Writer out;
    out.U32(1);
    for (uint32_t v : {1u, 0u, 1u, 1u, 7u, 3u})
        out.U32(v);
    size_t first = 0;
    for (int i = 0; i < 3; ++i) {
        out.U32(1);
        for (int d = 0; d < 4; ++d)
            out.F64(0.25 * (i + d));
        out.U32(1);
        out.Text("item");
        out.Text("wav");
        if (i == 2) {
            out.U32(soundsformat::kSharedData);
            out.U32(static_cast<uint32_t>(first));
        } else {
            if (i == 0)
                first = out.Position();
            const uint8_t data[3] = {static_cast<uint8_t>('a' + i), 'b', 'c'};
            out.U32(3);
            out.Bytes(data, 3);
        }
    }
    if (sharedOffset)
        *sharedOffset = first;
    return out.Content();
}

Bytes Framed(const Bytes& content)
{
    const cardbytes::Bytes framed = cardbytes::Frame(cardbytes::Bytes(content.begin(), content.end()));
    return Bytes(framed.begin(), framed.end());
}

TEST(ViewerSoundStore, ReadsPlainAndCompressedStreamsWithSharedData)
{
    PrivateTempFolder temp;
    for (bool compressed : {false, true}) {
        IStorage* storage = MemoryStorage();
        const Bytes content = ThreeItemStream();
        PutStream(storage, L"Sounds", compressed ? Framed(content) : content);
        {
            CViewerSoundStore store;
            ASSERT_EQ(store.Load(storage), SoundLoadResult::kLoaded) << compressed;
            const CSoundSourceList* list = store.FindList(7, stWave);
            ASSERT_NE(list, nullptr);
            ASSERT_EQ(list->GetCount(), 3);
            EXPECT_EQ(SoundFileBytes(list->GetAt(0)->GetTempPath()), Bytes({'a', 'b', 'c'}));
            EXPECT_EQ(SoundFileBytes(list->GetAt(1)->GetTempPath()), Bytes({'b', 'b', 'c'}));
            EXPECT_EQ(SoundFileBytes(list->GetAt(2)->GetTempPath()), Bytes({'a', 'b', 'c'}));
            EXPECT_EQ(list->GetAt(2)->m_duration, 1.25);
            // A lookup never makes a list.
            EXPECT_EQ(store.FindList(7, stMIDI), nullptr);
            EXPECT_EQ(store.FindList(1, stWave), nullptr);
            EXPECT_EQ(store.GetCount(), 1);
        }
        EXPECT_TRUE(temp.Files().empty());
        storage->Release();
    }
}

TEST(ViewerSoundStore, MissingOrRefusedStreamsLeaveTheStoreEmpty)
{
    PrivateTempFolder temp;
    IStorage* storage = MemoryStorage();
    CViewerSoundStore missing;
    EXPECT_EQ(missing.Load(storage), SoundLoadResult::kNoSounds);
    Bytes framed = Framed(ThreeItemStream());
    framed.back() ^= 0x40;  // the frame's CRC no longer holds
    PutStream(storage, L"Sounds", framed);
    CViewerSoundStore refused;
    EXPECT_NE(refused.Load(storage), SoundLoadResult::kLoaded);
    EXPECT_TRUE(refused.IsEmpty());
    // An offset into the frame's bytes rather than the content: no such length field.
    size_t shared = 0;
    Bytes content = ThreeItemStream(&shared);
    const uint32_t framedOffset = static_cast<uint32_t>(shared + 16);
    std::memcpy(&content[content.size() - 4], &framedOffset, 4);
    PutStream(storage, L"Sounds", Framed(content));
    CViewerSoundStore wrongOffset;
    EXPECT_EQ(wrongOffset.Load(storage), SoundLoadResult::kDamaged);
    EXPECT_TRUE(wrongOffset.IsEmpty());
    EXPECT_TRUE(temp.Files().empty());
    storage->Release();
}

TEST(ViewerSoundStore, DamagedStreamsAreReadSafely)
{
    PrivateTempFolder temp;
    IStorage* storage = MemoryStorage();
    const Bytes seed = soundsmutation::SeedStream();
    std::mt19937 random(1976);
    int loaded = 0;
    for (int round = 0; round < soundsmutation::kRounds; ++round) {
        // Damaged content, stored plain or in a whole frame.
        const Bytes content = soundsmutation::Mutate(seed, random);
        const Bytes stored = round % 2 ? Framed(content) : content;
        PutStream(storage, L"Sounds", stored);
        allocationwatch::Begin();
        {
            CViewerSoundStore store;
            if (store.Load(storage) == SoundLoadResult::kLoaded)
                ++loaded;
            else
                EXPECT_TRUE(store.IsEmpty());
        }
        const size_t largest = allocationwatch::End();
        // The frame's reader takes the stored bytes in 64 KB reads and holds the unpacked ones.
        const size_t bound = std::max(content.size(), stored.size()) + 64 * 1024 + 256;
        ASSERT_LE(largest, bound) << "round " << round;
        ASSERT_TRUE(temp.Files().empty()) << "round " << round;
    }
    EXPECT_GT(loaded, 0);
    EXPECT_LT(loaded, soundsmutation::kRounds);
    storage->Release();
}

}  // namespace

// Thousands of damaged "Sounds" streams: none crashes or hangs the reader, none makes it allocate
// more than the stream's size at once, and none leaves a temporary file behind.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <random>

#include "SoundItem.h"
#include "SoundSourceList.h"
#include "SoundStore.h"
#include "SoundTestSupport.h"
#include "AllocationWatch.h"
#include "SoundsMutation.h"


namespace {

TEST(SoundsMutation, DamagedStreamsAreReadSafely)
{
    PrivateTempFolder temp;
    const Bytes seed = soundsmutation::SeedStream();
    std::mt19937 random(20261211);
    int loaded = 0;
    for (int round = 0; round < soundsmutation::kRounds; ++round) {
        const Bytes stream = soundsmutation::Mutate(seed, random);
        allocationwatch::Begin();
        SoundLoadResult result;
        {
            CSoundStore store;
            result = store.LoadContent(stream.data(), stream.size());
            if (result == SoundLoadResult::kLoaded)
                ++loaded;
            else
                EXPECT_TRUE(store.IsEmpty());
        }
        const size_t largest = allocationwatch::End();
        ASSERT_LE(largest, stream.size() > 256 ? stream.size() : 256) << "round " << round;
        ASSERT_TRUE(temp.Files().empty()) << "round " << round;
    }
    // Some mutations leave a readable stream: both roads are taken.
    EXPECT_GT(loaded, 0);
    EXPECT_LT(loaded, soundsmutation::kRounds);
}

}  // namespace

#include "render/EngineState.h"

#include <gtest/gtest.h>

namespace {

TEST(EngineState, ProcessorAnswerIsStable)
{
    const int first = IsMmxAvailable();
    EXPECT_TRUE(first == 0 || first == 1);
    EXPECT_EQ(first, IsMmxAvailable());
    // Every processor Wine runs this build on has MMX.
    EXPECT_EQ(1, first);
}

TEST(EngineState, CosineRampAndDitherTable)
{
    const double* ramp = CosineRamp();
    EXPECT_NEAR(0.0, ramp[0], 1e-15);
    EXPECT_NEAR(0.5, ramp[128], 1e-15);
    EXPECT_NEAR(1.0, ramp[256], 1e-15);
    EXPECT_NEAR(0.5, ramp[384], 1e-15);
    const int (*dither)[4] = GradientDitherOffsets();
    EXPECT_EQ(0, reinterpret_cast<uintptr_t>(dither) % 32);
    const int expected[4][4] = {{0, 4, 4, 4}, {0, 0, 0, 0}, {0, 0, 0, 4}, {0, 0, 4, 4}};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_EQ(expected[r][c], dither[r][c]);
}

TEST(EngineState, LocksAreDistinctAndReentrant)
{
    ASSERT_NE(RenderingLock(), CacheLock());
    CriticalSectionHolder cache(CacheLock());
    CriticalSectionHolder render(RenderingLock());
    CriticalSectionHolder again(RenderingLock());
}

} // namespace

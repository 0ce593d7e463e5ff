#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <string>
#include <thread>
#include <vector>

#include "geometry/NumericHelpers.h"

namespace {

struct IntCase {
    double input;
    int expected;
};

TEST(RoundingTest, RoundGivesTiesToEven)
{
    const IntCase cases[] = {
        {0.5, 0}, {1.5, 2}, {2.5, 2}, {3.5, 4}, {-0.5, 0}, {-1.5, -2}, {-2.5, -2},
        {0.49999999999999994, 0}, {2.5000000001, 3}, {-2.5000000001, -3}, {1e9 + 0.5, 1000000000},
        {2147483647.0, INT_MAX}, {-2147483648.0, INT_MIN}, {0.0, 0}, {-0.0, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(__round(c.input), c.expected) << "input " << c.input;
}

TEST(RoundingTest, TruncRoundsDownExceptJustBelowAnInteger)
{
    const IntCase cases[] = {
        {2.9999999995, 3},  // within 2^-30 of 3
        {2.999, 2},         {-1.5, -2}, {3.7, 3}, {3.0, 3}, {-3.0, -3}, {-0.25, -1}, {0.0, 0},
        {5.0 - 1.0 / (1 << 29), 4},  // 2^-29 below an integer is already below it
    };
    for (const auto& c : cases)
        EXPECT_EQ(__trunc(c.input), c.expected) << "input " << c.input;
}

TEST(RoundingTest, FtruncAndCropWorkOnDoubles)
{
    struct DoubleCase {
        double (*fn)(double);
        double input;
        double expected;
    };
    const DoubleCase cases[] = {
        {__ftrunc, 3.7, 3.0},          {__ftrunc, -1.5, -2.0},       {__ftrunc, 2.9999999995, 3.0},
        {__crop, 1.0, 1.0},            {__crop, 1.00390625, 1.00390625}, {__crop, 1.003, 1.0},
        {__crop, 1.0078, 1.00390625},  {__crop, -0.001, -0.00390625},        {__crop, 0.0, 0.0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.fn(c.input), c.expected) << "input " << c.input;
}

TEST(RoundingTest, SetPrecisionKeepsRoundingResults)
{
    __set_precision(2);
    EXPECT_EQ(__round(2.5), 2);
    EXPECT_EQ(__trunc(-1.5), -2);
    __set_precision(3);
    EXPECT_EQ(__round(3.5), 4);
}

TEST(SignTest, FollowsTheSignBitAndTheTopElevenBits)
{
    const double denormal = 1e-320;
    const IntCase signCases[] = {
        {-0.0, -1}, {0.0, 0}, {denormal, 0}, {DBL_MIN, 0},  // 2^-1022 is still below 2^-1021
        {2 * DBL_MIN, 1}, {1.0, 1}, {-1e-320, -1}, {-5.0, -1}, {INFINITY, 1},
    };
    for (const auto& c : signCases)
        EXPECT_EQ(sign(c.input), c.expected) << "input " << c.input;

    struct PredicateCase {
        double input;
        int lse, gte, ls, gt, signNonZero;
    };
    const PredicateCase predicates[] = {
        {-0.0, 1, 0, 1, 0, -1}, {0.0, 1, 1, 0, 0, 1}, {denormal, 1, 1, 0, 0, 1},
        {2.0, 0, 1, 0, 1, 1},   {-2.0, 1, 0, 1, 0, -1},
    };
    for (const auto& c : predicates) {
        EXPECT_EQ(__lse(c.input), c.lse) << "input " << c.input;
        EXPECT_EQ(__gte(c.input), c.gte) << "input " << c.input;
        EXPECT_EQ(__ls(c.input), c.ls) << "input " << c.input;
        EXPECT_EQ(__gt(c.input), c.gt) << "input " << c.input;
        EXPECT_EQ(signnz(c.input), c.signNonZero) << "input " << c.input;
    }
}

TEST(SignTest, IntegerHelpers)
{
    EXPECT_EQ(sign(-7), -1);
    EXPECT_EQ(sign(0), 0);
    EXPECT_EQ(sign(9), 1);
    EXPECT_EQ(signnz(0), 1);
    EXPECT_EQ(signnz(-1), -1);
    EXPECT_EQ(__abs(-5), 5);
    EXPECT_EQ(__abs(INT_MIN), INT_MIN);
    EXPECT_EQ(__gt(1), 1);
    EXPECT_EQ(__gt(0), 0);
    EXPECT_EQ(__eq(0), 1);
    EXPECT_EQ(__eq(3), 0);
    EXPECT_TRUE(std::signbit(-0.0));
    EXPECT_FALSE(std::signbit(__abs(-0.0)));
    EXPECT_EQ(__abs(-2.5), 2.5);
}

TEST(FtoaTest, DropsTrailingZeroDecimals)
{
    struct TextCase {
        double input;
        int precision;
        const char* expected;
    };
    const TextCase cases[] = {
        {1.5, 8, "1.5"},
        {2.0, 8, "2"},
        {0.125, 8, "0.125"},
        {-0.25, 8, "-0.25"},
        {100.25, 8, "100.25"},
        {0.1, 8, "0.1"},
        {1.0 / 3.0, 8, "0.33333333"},
        {2.000000001, 8, "2"},           // rounds away below the 8th decimal
        {1e6, 8, "1000000"},
        // 1e15 scaled by 10^8 is not an exact double multiple of ten: all decimals stay.
        {1e15, 8, "1000000000000000.00000000"},
        {1e300, 8, nullptr},             // huge values print all their integer digits
        {2.75, 0, "3"},
        {3.14159, 2, "3.14"},
        {3.10, 2, "3.1"},
        {7.0, -3, "7"},                  // a negative decimal count prints none
    };
    for (const auto& c : cases) {
        const std::string text = ftoa(c.input, c.precision);
        if (c.expected)
            EXPECT_EQ(text, c.expected) << "input " << c.input;
        else
            EXPECT_TRUE(text.size() >= 301u && text[0] == '1') << "input " << c.input << ": " << text;
    }
}

// Each thread formats into its own buffer: text handed out on one thread is not overwritten by
// calls on another.
TEST(FtoaTest, ThreadsDoNotShareTheText)
{
    std::vector<int> mismatches(4, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([t, &mismatches] {
            const double value = t + 0.25;
            const std::string expected = std::to_string(t) + ".25";
            for (int i = 0; i < 20000; ++i) {
                const char* text = ftoa(value, 8);
                std::this_thread::yield();
                if (expected != text)
                    ++mismatches[t];
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    for (int t = 0; t < 4; ++t)
        EXPECT_EQ(mismatches[t], 0) << "thread " << t;
}

}  // namespace

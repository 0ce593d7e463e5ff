#include "ResString.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Expected(size_t length, UINT id)
{
    const char* alphabet = "abcdefghijklmnopqrstuvwxyz";
    std::string text;
    for (size_t i = 0; i < length; ++i)
        text += alphabet[(i * (id % 7 + 1)) % 26];
    return text;
}

struct LengthCase
{
    UINT id;
    size_t length;
    int capacity;   // the buffer's size after the load
};

class ResStringLengths : public ::testing::TestWithParam<LengthCase> {};

TEST_P(ResStringLengths, LongTextsAreLoadedWhole)
{
    CResString text;
    ASSERT_TRUE(text.Load(GetParam().id));
    EXPECT_EQ(std::string(text.Text()), Expected(GetParam().length, GetParam().id));
    EXPECT_EQ(text.Capacity(), GetParam().capacity);
}

INSTANTIATE_TEST_SUITE_P(Lengths, ResStringLengths,
                         ::testing::Values(LengthCase{901, 510, 512}, LengthCase{902, 511, 1024},
                                           LengthCase{903, 512, 1024}, LengthCase{904, 1000, 1024},
                                           LengthCase{905, 1535, 2048}, LengthCase{906, 4000, 4096}));

TEST(ResString, MissingTextLoadsNothing)
{
    CResString text;
    EXPECT_FALSE(text.Load(999));
    EXPECT_STREQ(text.Text(), "");
}

TEST(ResString, ShorterTextReplacesALongerOne)
{
    CResString text;
    ASSERT_TRUE(text.Load(904));
    ASSERT_TRUE(text.Load(900));
    EXPECT_STREQ(text.Text(), "short text");
}

}  // namespace

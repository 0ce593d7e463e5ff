// Keyword expressions beyond the table compared with the Python reference (check_clipart.py):
// the caller's array on errors, and searches from several threads at once.
#include <gtest/gtest.h>
#include <thread>
#include <vector>
#include "ClipartTestFiles.h"
#include "DatFile.h"

namespace {

std::vector<unsigned long> Search(const CDatFile& file, const char* text, bool* ok = nullptr)
{
    CString expression(text);
    unsigned long* ids = nullptr;
    const unsigned count = file.FindImagesByExpression(expression, ids);
    if (ok)
        *ok = ids != nullptr;
    std::vector<unsigned long> found(ids, ids + (ids ? count : 0));
    delete[] ids;
    return found;
}

TEST(SearchExpression, MalformedTextLeavesTheCallersArray)
{
    CDatFile file;
    ASSERT_TRUE(file.Open(ClipartFixturePath("two_levels.dat").c_str()));
    unsigned long sentinel[1] = {7};
    for (const char* text : {"cat AND", "((cat)", "cat)", "AND cat", "()"}) {
        unsigned long* ids = sentinel;
        CString expression(text);
        EXPECT_EQ(0u, file.FindImagesByExpression(expression, ids)) << text;
        EXPECT_EQ(sentinel, ids) << text;
    }
    bool ok = false;
    EXPECT_TRUE(Search(file, "   ", &ok).empty());
    EXPECT_TRUE(ok);
}

TEST(SearchExpression, ThreadsSearchingAtOnceGetWhatEachGetsAlone)
{
    CDatFile file;
    ASSERT_TRUE(file.Open(ClipartFixturePath("two_levels.dat").c_str()));
    const char* texts[] = {"tree ~ cat ~ tree + (sea, sea)", "\"black cat\" dog (bird + cat) ~ nothing",
                           "cat , dog ~ \"and\" + tree", "((cat)"};
    std::vector<std::vector<unsigned long>> alone;
    std::vector<bool> valid;
    for (const char* text : texts) {
        bool ok = false;
        alone.push_back(Search(file, text, &ok));
        valid.push_back(ok);
    }
    std::vector<int> mismatches(4, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < 500; ++round) {
                bool ok = false;
                if (Search(file, texts[t], &ok) != alone[t] || ok != valid[t])
                    ++mismatches[t];
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    for (int t = 0; t < 4; ++t)
        EXPECT_EQ(0, mismatches[t]) << texts[t];
}

} // namespace

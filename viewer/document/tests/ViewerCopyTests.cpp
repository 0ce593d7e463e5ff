// The road of a card into a viewer copy and back: the card file is written into a copy of a program
// as resources of type 21359 in pieces of at most 500000 bytes, named 1, 2, 3 ..., and the copy reads
// its own resources back.
#include "CardComposer.h"
#include "ResourceUpdateFile.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

using namespace cardcomposer;

namespace {

const DWORD kPieceSize = 500000;

// Stores the card in the copy as the save-as-viewer command does: nonempty pieces in order,
// ending after the first piece shorter than a whole one.
bool StoreCard(const std::string& program, const Bytes& card)
{
    CResourceUpdate* update = BeginUpdateResourceFile(program.c_str(), FALSE);
    if (!update)
        return false;
    bool ok = true;
    UINT name = 1;
    for (size_t at = 0; ok; at += kPieceSize, ++name) {
        const DWORD size = static_cast<DWORD>(std::min<size_t>(kPieceSize, card.size() - at));
        if (size == 0)
            break;
        ok = UpdateResourceFile(update, 21359, name, 0, card.data() + at, size) != FALSE;
        if (size < kPieceSize)
            break;
    }
    return EndUpdateResourceFile(update, ok ? 0 : 1) != FALSE && ok;
}

std::string RunCopy(const std::string& program)
{
    const std::string output = program + ".txt";
    std::string command = "\"" + program + "\" \"" + output + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return "cannot start";
    WaitForSingleObject(process.hProcess, 60000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    std::ifstream in(output);
    std::stringstream text;
    text << in.rdbuf();
    in.close();
    DeleteFileA(output.c_str());
    return text.str();
}

class ViewerCopy : public testing::TestWithParam<bool> {};

TEST_P(ViewerCopy, ReadsTheCardItCarries)
{
    const bool compressed = GetParam();
    CardPlan plan;
    const int sites = compressed ? 40 : 2500;   // the plain card spans several pieces
    for (int id = 0; id < sites; ++id) {
        SitePlan site;
        site.id = id;
        site.name = "Panel " + std::to_string(id);
        site.relativeHeight = 0.5;
        site.controls = {kTextControl, kFigureControl};
        plan.sites.push_back(site);
    }
    for (int p = 0; p < sites / 2; ++p) {
        PagePlan page;
        page.placements = {{2 * p, 0, 0}, {2 * p + 1, 0, 0.5}};
        plan.pages.push_back(page);
    }
    const Bytes card = ComposeCardFile(plan, compressed);
    if (!compressed) {
        ASSERT_GT(card.size(), 2 * kPieceSize);
    }

    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    const std::string copy = std::string(folder) + "pavane-viewer-copy-" + std::to_string(GetCurrentProcessId()) +
                             (compressed ? "-z" : "-p") + ".exe";
    ASSERT_TRUE(CopyFileA("pavane-embedded-probe.exe", copy.c_str(), FALSE));
    ASSERT_TRUE(StoreCard(copy, card));
    const std::string read = RunCopy(copy);
    DeleteFileA(copy.c_str());

    EXPECT_EQ(read.rfind("result 0\n", 0), 0u) << read.substr(0, 200);
    size_t siteLines = 0, pageLines = 0;
    std::istringstream lines(read);
    for (std::string line; std::getline(lines, line);) {
        siteLines += line.rfind("site ", 0) == 0;
        pageLines += line.rfind("page ", 0) == 0;
    }
    EXPECT_EQ(siteLines, static_cast<size_t>(sites));
    EXPECT_EQ(pageLines, static_cast<size_t>(sites / 2));
    EXPECT_NE(read.find("name \"Panel " + std::to_string(sites - 1) + "\" rect 0 0 8 5.1500000000000004"),
              std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Cards, ViewerCopy, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& info) { return info.param ? "Compressed" : "Plain"; });

TEST(ViewerCopy, ProgramWithoutCardReadsNothing)
{
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    const std::string copy = std::string(folder) + "pavane-viewer-empty-" + std::to_string(GetCurrentProcessId()) + ".exe";
    ASSERT_TRUE(CopyFileA("pavane-embedded-probe.exe", copy.c_str(), FALSE));
    const std::string read = RunCopy(copy);
    DeleteFileA(copy.c_str());
    EXPECT_EQ(read.rfind("result 1\n", 0), 0u) << read;
}

}  // namespace

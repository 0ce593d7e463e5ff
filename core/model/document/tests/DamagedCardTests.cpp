// Damaged cards: thousands of mutated and truncated cards, each opened by a fresh document. Every
// one opens or is refused with one message; none crashes or hangs, and no file is changed.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <random>

#include "CardControls.h"
#include "CardFixtures.h"
#include "CompoundFileCheck.h"
#include "Mosk.h"
#include "PropertySetCheck.h"

namespace {

const CLSID kZStorageClass = {0x8a22656d, 0x3f49, 0x4561, {0xb6, 0xe6, 0xf1, 0xe6, 0x96, 0x7e, 0x15, 0x27}};
const IID kZStorageInterface = {0x7b3333b2, 0xa4eb, 0x4eed, {0xb6, 0x74, 0x89, 0xa9, 0xba, 0x99, 0xd8, 0xd2}};

class DamageEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        classes = new TestControlClasses;
        ASSERT_TRUE(RegisterCompressedStorage());
    }
    void TearDown() override
    {
        delete classes;
        CoUninitialize();
    }
    TestControlClasses* classes = nullptr;
};
::testing::Environment* const kEnvironment = ::testing::AddGlobalTestEnvironment(new DamageEnvironment);

struct Streams {
    std::vector<unsigned char> contents;
    std::vector<unsigned char> defControls;
    // The two summary property sets, kept in the plain root storage as the system writes them.
    std::vector<unsigned char> summary;
    std::vector<unsigned char> docSummary;
};

const wchar_t kSummary[] = L"\005SummaryInformation";
const wchar_t kDocSummary[] = L"\005DocumentSummaryInformation";

// Writes a card file holding the streams; through the compressed storage when asked, so that
// damaged content still arrives in well-formed frames.
bool WriteCard(const std::string& path, const Streams& streams, bool compressed)
{
    std::wstring wide(path.begin(), path.end());
    IStorage* root = nullptr;
    if (FAILED(StgCreateDocfile(wide.c_str(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, &root)))
        return false;
    IStorage* target = root;
    IZStorage* wrapper = nullptr;
    if (compressed && SUCCEEDED(CoCreateInstance(kZStorageClass, nullptr, CLSCTX_INPROC_SERVER, kZStorageInterface,
                                                 reinterpret_cast<void**>(&wrapper)))) {
        wrapper->put_Donor(root);
        target = wrapper;
    }
    auto put = [&](const wchar_t* name, const std::vector<unsigned char>& bytes) {
        IStream* stream = nullptr;
        if (FAILED(target->CreateStream(name, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, 0, &stream)))
            return false;
        ULONG written = 0;
        const HRESULT hr = stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written);
        stream->Release();
        return SUCCEEDED(hr);
    };
    bool ok = put(L"Contents", streams.contents) && put(L"DefControls", streams.defControls);
    if (wrapper) {
        wrapper->put_Donor(nullptr);
        wrapper->Release();
    }
    target = root;
    if (ok && !streams.summary.empty())
        ok = put(kSummary, streams.summary);
    if (ok && !streams.docSummary.empty())
        ok = put(kDocSummary, streams.docSummary);
    root->Commit(STGC_DEFAULT);
    root->Release();
    return ok;
}

Streams SampleStreams()
{
    CTestCardDoc card;
    EXPECT_TRUE(card.OnNewDocument());
    card.m_bRemember = FALSE;
    FillSampleCard(card, 2);
    card.GetProperties()->m_strTitle = "Sample";
    card.GetProperties()->m_strCompany = "Tarn Works";
    card.SetSaveCompressedData(FALSE);
    const std::string path = TempCardPath("sample");
    EXPECT_TRUE(card.OnSaveDocument(path.c_str()));
    Streams streams{StreamBytes(path, L"Contents"), StreamBytes(path, L"DefControls"), StreamBytes(path, kSummary),
                    StreamBytes(path, kDocSummary)};
    EXPECT_FALSE(streams.summary.empty());
    EXPECT_FALSE(streams.docSummary.empty());
    DeleteFileA(path.c_str());
    return streams;
}

void Mutate(std::vector<unsigned char>& bytes, std::mt19937& random)
{
    if (bytes.empty())
        return;
    std::uniform_int_distribution<size_t> at(0, bytes.size() - 1);
    switch (random() % 5) {
    case 0:  // a few flipped bytes
        for (int i = 1 + random() % 4; i > 0; --i)
            bytes[at(random)] ^= static_cast<unsigned char>(1 + random() % 255);
        break;
    case 1: {  // a count or size made huge, small or negative
        static const uint32_t values[] = {0, 1, 2, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 0x10000, 0xFFFF};
        const uint32_t value = values[random() % 8];
        const size_t where = at(random);
        for (size_t i = 0; i < 4 && where + i < bytes.size(); ++i)
            bytes[where + i] = static_cast<unsigned char>(value >> (8 * i));
        break;
    }
    case 2:  // cut short
        bytes.resize(at(random));
        break;
    case 3: {  // a slice repeated
        const size_t from = at(random);
        const size_t length = std::min<size_t>(1 + random() % 32, bytes.size() - from);
        bytes.insert(bytes.begin() + at(random), bytes.begin() + from, bytes.begin() + from + length);
        break;
    }
    default: {  // a slice removed
        const size_t from = at(random);
        bytes.erase(bytes.begin() + from, bytes.begin() + std::min(bytes.size(), from + 1 + random() % 16));
        break;
    }
    }
}

int kMutations = 10000;

// One damage: a 32-bit value written at a byte offset.
struct ByteDamage {
    const char* name;
    size_t at;
    uint32_t value;
};

TEST(DamagedCards, TenThousandMutationsOpenOrAreRefused)
{
    const Streams sample = SampleStreams();
    ASSERT_FALSE(sample.contents.empty());
    std::mt19937 random(20261210);
    const std::string path = TempCardPath("damaged");
    int opened = 0, refused = 0;
    const int total = kMutations;
    for (int i = 0; i < total; ++i) {
        if (i % 2500 == 0) {
            std::printf("mutation %d\n", i);
            std::fflush(stdout);
        }
        Streams damaged = sample;
        const unsigned kind = random() % 12;
        bool wholeFile = false;
        const bool summaryOnly = kind >= 8 && kind < 10;
        if (kind < 6)
            Mutate(damaged.contents, random);
        else if (kind < 8)
            Mutate(damaged.defControls, random);
        else if (kind == 8)
            Mutate(damaged.summary, random);
        else if (kind == 9)
            Mutate(damaged.docSummary, random);
        else
            wholeFile = true;
        ASSERT_TRUE(WriteCard(path, damaged, (random() & 1) != 0));
        if (wholeFile) {
            auto bytes = FileBytes(path);
            Mutate(bytes, random);
            WriteFileBytes(path, bytes);
        }
        const auto before = FileBytes(path);
        {
            CTestCardDoc doc;
            if (doc.OnOpenDocument(path.c_str())) {
                ++opened;
                EXPECT_TRUE(doc.messages.empty()) << i;
                if (summaryOnly) {
                    EXPECT_EQ(3, doc.GetSiteNumber()) << i;
                    EXPECT_EQ(2, doc.GetPageCount()) << i;
                }
            } else {
                // A damaged summary set costs the summary only, never the card.
                EXPECT_FALSE(summaryOnly) << "mutation " << i << " of a summary set refused the card";
                ++refused;
                EXPECT_EQ(1u, doc.messages.size()) << i;
            }
        }
        ASSERT_EQ(before, FileBytes(path)) << "mutation " << i << " changed the file";
    }
    DeleteFileA(path.c_str());
    std::printf("damaged cards: %d opened, %d refused\n", opened, refused);
    EXPECT_GT(refused, 1000);
}

TEST(DamagedCards, EveryTruncationOfContentsIsRefused)
{
    const Streams sample = SampleStreams();
    const std::string path = TempCardPath("cut");
    for (size_t cut = 0; cut < sample.contents.size(); cut += 7) {
        Streams damaged = sample;
        damaged.contents.resize(cut);
        ASSERT_TRUE(WriteCard(path, damaged, cut % 2 == 0));
        CTestCardDoc doc;
        EXPECT_FALSE(doc.OnOpenDocument(path.c_str())) << cut;
        EXPECT_EQ(1u, doc.messages.size()) << cut;
    }
    DeleteFileA(path.c_str());
}

// The summary sets' structure is checked before the system reads them: each damaged set is
// refused by the check, the card opens without that set (its sites, pages and the other set
// intact), and a save writes a fresh one.
TEST(DamagedSummarySets, EachDamageIsCaughtAndTheCardOpensWithoutTheSet)
{
    const Streams sample = SampleStreams();
    ASSERT_TRUE(PropertySetStreamIsSound(sample.summary));
    ASSERT_TRUE(PropertySetStreamIsSound(sample.docSummary));
    auto u32 = [](const std::vector<unsigned char>& b, size_t at) {
        uint32_t v = 0;
        std::memcpy(&v, &b[at], 4);
        return v;
    };
    const size_t section = u32(sample.summary, 44);
    const uint32_t sectionSize = u32(sample.summary, section);
    const size_t firstEntry = section + 8;
    // The first property whose value is a string, for the string cases.
    size_t stringAt = 0;
    for (uint32_t i = 0; i < u32(sample.summary, section + 4) && !stringAt; ++i) {
        const size_t at = section + u32(sample.summary, firstEntry + 8 * i + 4);
        if (u32(sample.summary, at) == VT_LPSTR)
            stringAt = at;
    }
    ASSERT_NE(0u, stringAt);
    const ByteDamage cases[] = {
        {"byte order mark", 0, 0xFFFFFEFF},
        {"no section", 24, 0},
        {"many sections", 24, 0x10000},
        {"section offset past the end", 44, 0x7FFFFFF0},
        {"section offset inside the header", 44, 8},
        {"section size past the end", section, sectionSize + 4},
        {"property count past the section", section + 4, 0x20000000},
        {"property offset past the section", firstEntry + 4, sectionSize},
        {"property offset inside the table", firstEntry + 4, 8},
        {"unknown value type", stringAt, VT_CF},
        {"string longer than its section", stringAt + 4, 0x7FFFFFFF},
        {"string without even its terminator", stringAt + 4, 0},
    };
    const std::string path = TempCardPath("summary");
    for (const ByteDamage& c : cases) {
        Streams damaged = sample;
        std::memcpy(&damaged.summary[c.at], &c.value, 4);
        EXPECT_FALSE(PropertySetStreamIsSound(damaged.summary)) << c.name;
        ASSERT_TRUE(WriteCard(path, damaged, false)) << c.name;
        {
            CTestCardDoc doc;
            ASSERT_TRUE(doc.OnOpenDocument(path.c_str())) << c.name;
            EXPECT_TRUE(doc.messages.empty()) << c.name;
            EXPECT_EQ(3, doc.GetSiteNumber()) << c.name;
            EXPECT_EQ(2, doc.GetPageCount()) << c.name;
            EXPECT_STREQ("", doc.GetProperties()->m_strTitle) << c.name << ": the damaged set is left unread";
            EXPECT_STREQ("Tarn Works", doc.GetProperties()->m_strCompany) << c.name << ": the other set is read";
            // Saved again, the card gets a fresh, readable set.
            doc.SetPathName(path.c_str(), FALSE);
            ASSERT_TRUE(doc.OnSaveDocument(path.c_str())) << c.name;
        }
        EXPECT_TRUE(PropertySetStreamIsSound(StreamBytes(path, kSummary))) << c.name;
    }
    // Cut anywhere before its section ends, a set is refused rather than read past its end.
    const size_t docSection = u32(sample.docSummary, 44);
    const size_t docEnd = docSection + u32(sample.docSummary, docSection);
    ASSERT_LE(docEnd, sample.docSummary.size());
    for (size_t cut = 0; cut < docEnd; ++cut) {
        EXPECT_FALSE(PropertySetStreamIsSound(
            std::vector<unsigned char>(sample.docSummary.begin(), sample.docSummary.begin() + cut)))
            << cut;
    }
    DeleteFileA(path.c_str());
}

// The directory entry of the named stream in a compound file's bytes (v3 layout, as written here).
size_t EntryOf(const std::vector<unsigned char>& file, const wchar_t* name)
{
    const size_t length = (wcslen(name) + 1) * 2;
    for (size_t at = 512; at + 128 <= file.size(); at += 128) {
        if (std::memcmp(&file[at], name, length) == 0 && file[at + 64] == length)
            return at;
    }
    return 0;
}

TEST(CompoundFileCheck, LoopsAndLinksOutsideTheFileAreRefused)
{
    const Streams sample = SampleStreams();
    const std::string path = TempCardPath("structure");
    ASSERT_TRUE(WriteCard(path, sample, false));
    const auto sound = FileBytes(path);
    CString why;
    ASSERT_TRUE(CompoundFileStructureIsSound(sound, &why)) << static_cast<LPCSTR>(why);
    const size_t contents = EntryOf(sound, L"Contents");
    ASSERT_NE(0u, contents);

    const ByteDamage cases[] = {
        {"sibling pointing back at the root", contents + 68, 0},
        {"sibling outside the directory", contents + 72, 5000},
        {"stream starting outside the file", contents + 116, 90000},
        {"directory chain outside the file", 0x30, 70000},
        {"allocation sector outside the file", 0x4C, 70000},
    };
    for (const ByteDamage& c : cases) {
        auto damaged = sound;
        std::memcpy(&damaged[c.at], &c.value, 4);
        EXPECT_FALSE(CompoundFileStructureIsSound(damaged, &why)) << c.name;
        WriteFileBytes(path, damaged);
        CTestCardDoc doc;
        EXPECT_FALSE(doc.OnOpenDocument(path.c_str())) << c.name;
        EXPECT_EQ(1u, doc.messages.size()) << c.name;
    }
    // A sector chain that comes back on itself.
    auto looping = sound;
    const size_t fat = (static_cast<size_t>(sound[0x4C] | sound[0x4D] << 8) + 1) * 512;
    const uint32_t directory = sound[0x30] | sound[0x31] << 8;
    std::memcpy(&looping[fat + 4 * directory], &directory, 4);
    EXPECT_FALSE(CompoundFileStructureIsSound(looping, &why));
    EXPECT_FALSE(CompoundFileStructureIsSound(std::vector<unsigned char>(sound.begin(), sound.begin() + 300), &why));
    DeleteFileA(path.c_str());
}

}  // namespace

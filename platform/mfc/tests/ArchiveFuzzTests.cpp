// Damaged archives: every mutation and truncation of a valid archive either loads or throws
// CArchiveException; nothing else escapes and nothing crashes.
#include "ArchiveTestSupport.h"

#include <gtest/gtest.h>

#include <random>

namespace {

// A document-like archive: header strings, numbers, a collection and a graph of objects.
Bytes SampleArchive()
{
    auto* root = new CTestNode;
    auto* child = new CTestNode;
    root->m_name = CString('r', 300);
    child->m_name = "child";
    root->m_pNext = child;
    child->m_pNext = root;
    root->m_items.Add(new CTestPoint(1, 2));
    root->m_items.Add(child);
    root->m_items.Add(nullptr);
    child->m_items.Add(root->m_items[0]);
    CStringArray strings;
    strings.Add("one");
    strings.Add(CString('x', 260));
    CDWordArray numbers;
    numbers.Add(7);
    numbers.Add(8);
    Bytes bytes = StoreToBytes([&](CArchive& ar) {
        ar << CString("TARN") << static_cast<DWORD>(2);
        strings.Serialize(ar);
        ar << root;
        numbers.Serialize(ar);
        ar << child << 1.5;
    });
    delete root->m_items[0];
    CTestNode::DeleteAll();
    return bytes;
}

void ReadSample(const Bytes& bytes)
{
    LoadFromBytes(bytes, [](CArchive& ar) {
        CString magic;
        DWORD version;
        double tail;
        CStringArray strings;
        CDWordArray numbers;
        CTestNode *root = nullptr, *again = nullptr;
        ar >> magic >> version;
        strings.Serialize(ar);
        ar >> root;
        numbers.Serialize(ar);
        ar >> again >> tail;
    });
}

// Outcome of reading damaged bytes: 0 loaded, 1 archive exception; anything else fails the test.
int Outcome(const Bytes& bytes)
{
    try {
        ReadSample(bytes);
        return 0;
    } catch (CArchiveException* e) {
        e->Delete();
        return 1;
    }
}

class ArchiveFuzz : public ::testing::Test {
protected:
    void TearDown() override { CTestNode::DeleteAll(); }
};

TEST_F(ArchiveFuzz, TheUndamagedSampleLoads)
{
    EXPECT_EQ(Outcome(SampleArchive()), 0);
}

TEST_F(ArchiveFuzz, EveryTruncationThrowsAnArchiveException)
{
    const Bytes sample = SampleArchive();
    for (size_t length = 0; length < sample.size(); ++length) {
        const Bytes cut(sample.begin(), sample.begin() + length);
        EXPECT_EQ(Outcome(cut), 1) << "length " << length;
        CTestNode::DeleteAll();
    }
}

TEST_F(ArchiveFuzz, RandomMutationsLoadOrThrowAnArchiveException)
{
    const Bytes sample = SampleArchive();
    std::mt19937 random(20261210);
    const BYTE interesting[] = {0x00, 0x01, 0x7F, 0x80, 0xFE, 0xFF};
    for (int round = 0; round < 4000; ++round) {
        Bytes damaged = sample;
        const int edits = 1 + static_cast<int>(random() % 4);
        for (int e = 0; e < edits; ++e) {
            const size_t at = random() % damaged.size();
            switch (random() % 4) {
            case 0: damaged[at] ^= static_cast<BYTE>(1u << (random() % 8)); break;
            case 1: damaged[at] = interesting[random() % sizeof interesting]; break;
            case 2: damaged.insert(damaged.begin() + at, static_cast<BYTE>(random())); break;
            default: damaged.erase(damaged.begin() + at); break;
            }
            if (damaged.empty())
                damaged.push_back(0);
        }
        const int outcome = Outcome(damaged);
        EXPECT_TRUE(outcome == 0 || outcome == 1) << "round " << round;
        CTestNode::DeleteAll();
    }
}

TEST_F(ArchiveFuzz, EveryByteSetToEachExtremeValue)
{
    const Bytes sample = SampleArchive();
    for (size_t at = 0; at < sample.size(); ++at) {
        for (BYTE value : {BYTE(0x00), BYTE(0xFF), BYTE(0x80), BYTE(0x7F)}) {
            Bytes damaged = sample;
            damaged[at] = value;
            const int outcome = Outcome(damaged);
            EXPECT_TRUE(outcome == 0 || outcome == 1) << "byte " << at << " value " << int(value);
            CTestNode::DeleteAll();
        }
    }
}

}  // namespace

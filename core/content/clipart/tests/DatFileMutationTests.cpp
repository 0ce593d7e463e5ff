// Damaged libraries: fixtures from the Python writer, changed at random (seeded, so a failure
// repeats), are opened, walked and searched. The bases end on a page boundary and mutations keep
// most sizes page-aligned, so that a read past the end of the view faults and fails the test.
#include <gtest/gtest.h>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>
#include "ClipartTestFiles.h"
#include "DatFile.h"
#include "TempFiles.h"

namespace {

constexpr int kCases = 10000;
constexpr int kNodeBudget = 400;
constexpr int kDepthLimit = 40;

class Random
{
public:
    explicit Random(uint64_t seed) : m_state(seed) {}
    uint32_t Next()
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 7;
        m_state ^= m_state << 17;
        return static_cast<uint32_t>(m_state >> 16);
    }
    uint32_t Below(uint32_t n) { return n ? Next() % n : 0; }

private:
    uint64_t m_state;
};

void PutU32(std::vector<unsigned char>& bytes, size_t pos, uint32_t value)
{
    if (pos + 4 <= bytes.size())
        std::memcpy(&bytes[pos], &value, 4);
}

uint32_t GetU32(const std::vector<unsigned char>& bytes, size_t pos)
{
    uint32_t value = 0;
    if (pos + 4 <= bytes.size())
        std::memcpy(&value, &bytes[pos], 4);
    return value;
}

void Mutate(std::vector<unsigned char>& bytes, Random& random)
{
    const uint32_t size = static_cast<uint32_t>(bytes.size());
    const int changes = 1 + static_cast<int>(random.Below(4));
    for (int c = 0; c < changes && !bytes.empty(); ++c) {
        const size_t pos = random.Below(static_cast<uint32_t>(bytes.size()));
        switch (random.Below(6)) {
        case 0:
            bytes[pos] = static_cast<unsigned char>(random.Next());
            break;
        case 1:
            bytes[pos] ^= static_cast<unsigned char>(1u << random.Below(8));
            break;
        case 2: {
            const uint32_t values[] = {0, 1, 0xFFFFFFFF, 0x7FFFFFFF, 0x80000000, size, size - 1, size - 4,
                                       size + 1, 0xFFFFFFFE, 0xFFFFD800, 10240, random.Next()};
            PutU32(bytes, pos & ~size_t(3), values[random.Below(sizeof values / sizeof values[0])]);
            break;
        }
        case 3:
            // A header field: the table offsets, the marker, the section count or a descriptor.
            PutU32(bytes, 4 * random.Below(24), random.Below(2) ? random.Below(size + 64) : random.Next());
            break;
        case 4: {
            const uint32_t word = GetU32(bytes, pos & ~size_t(3));
            PutU32(bytes, pos & ~size_t(3), word + static_cast<uint32_t>(static_cast<int>(random.Below(64)) - 32));
            break;
        }
        default:
            if (random.Below(4) == 0)
                bytes.resize(random.Below(static_cast<uint32_t>(bytes.size())));
            else
                bytes.resize(bytes.size() / 4096 > 1 ? 4096 * (1 + random.Below(static_cast<uint32_t>(bytes.size() / 4096 - 1)))
                                                     : bytes.size());
            break;
        }
    }
}

int Walk(const CDatFile& file, CItemType* first, int depth, int& budget)
{
    std::unique_ptr<CItemType> node(first);
    int seen = 0;
    while (node && budget > 0) {
        --budget;
        ++seen;
        (void)node->getName().GetLength();
        CItemType* child = nullptr;
        if (depth < kDepthLimit && file.GetChildItem(node.get(), child))
            seen += Walk(file, child, depth + 1, budget);
        CItemType* next = nullptr;
        node.reset(file.GetNextSiblingItem(node.get(), next) ? next : nullptr);
    }
    return seen;
}

TEST(DatFileMutation, DamagedLibrariesAreReadSafely)
{
    const char* bases[] = {"mutate_old.dat", "mutate_tree.dat", "mutate_deep.dat"};
    std::vector<std::vector<unsigned char>> fixtures;
    for (const char* base : bases) {
        fixtures.push_back(ReadClipartFixture(base));
        ASSERT_EQ(0u, fixtures.back().size() % 4096) << base;
    }
    TempFile target("clipart_mutation");
    Random random(0x5EED1234u);
    int opened = 0, nodes = 0;
    for (int i = 0; i < kCases; ++i) {
        std::vector<unsigned char> bytes = fixtures[i % fixtures.size()];
        Mutate(bytes, random);
        target.Write(bytes);
        CDatFile file;
        if (!file.Open(target.Path().c_str()))
            continue;
        ++opened;
        CItemType* root = nullptr;
        int budget = kNodeBudget;
        if (file.GetRootItem(root))
            nodes += Walk(file, root, 0, budget);
        for (const char* keyword : {"cat", "tree", "zzz"}) {
            unsigned long* ids = nullptr;
            const int count = file.FindImages(keyword, ids);
            for (int k = 0; k < count && k < 64; ++k)
                (void)file.GetImagePath(ids[k]).GetLength();
            delete[] ids;
        }
    }
    // Most damage is local: many libraries still open and show part of their tree.
    EXPECT_GT(opened, kCases / 4);
    EXPECT_GT(nodes, kCases);
    std::printf("%d of %d damaged libraries opened, %d nodes walked\n", opened, kCases, nodes);
}

} // namespace

#pragma once
// Packed record of the pixels a drawing covered: a sequence of nodes, each a 28-byte header
// followed by count 6-byte units, ended by a header whose count is 0.
#include <cstdint>

enum CoverageNodeKind : std::int32_t {
    CoverageFill = 0,      // entries
    CoverageOutline = 1,   // entries
    CoverageRaster = 2,    // (right - left) x (bottom - top) coverage bytes, row by row
};

#pragma pack(push, 1)
struct CoverageMaskNode {
    std::int32_t left, top, right, bottom;   // right and bottom exclusive
    std::int32_t count;                      // 6-byte units that follow; 0 ends the list
    std::int32_t sorted;                     // entries ascend in y
    std::int32_t kind;                       // CoverageNodeKind
};

struct CoverageMaskEntry {
    std::int16_t x;
    std::int16_t y;
    std::uint16_t value;   // bit 15: run of (value & 0x7FFF) full pixels; else one pixel's coverage
};
#pragma pack(pop)

static_assert(sizeof(CoverageMaskNode) == 28, "node header is 28 bytes");
static_assert(sizeof(CoverageMaskEntry) == 6, "entries are 6 bytes");

constexpr std::uint16_t kCoverageRunFlag = 0x8000;

// Bytes a node occupies, header included.
inline int CoverageNodeBytes(const CoverageMaskNode& node)
{
    return static_cast<int>(sizeof(CoverageMaskNode)) + 6 * node.count;
}

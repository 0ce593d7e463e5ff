// A bounds-checked walk over a coverage-mask list: every node the walk yields lies wholly inside
// the block the list was handed in, so damaged or truncated lists are refused, never read past.
#pragma once

#include <cstddef>
#include <cstdint>

#include "render/CoverageMaskList.h"

constexpr size_t kMaskUnit = 6;

inline bool IsRun(const CoverageMaskEntry& e) { return (e.value & kCoverageRunFlag) != 0; }
inline int RunLength(const CoverageMaskEntry& e) { return e.value & 0x7FFF; }

// Why a list cannot be used.
enum class MaskListError {
    None,
    NullList,
    MissingEnd,      // the block ends before a head with count 0
    BadCount,        // a negative count, or one running past the block
    RasterTooSmall,  // a raster node's units hold fewer bytes than its bounds need
    BadKind,
};
const char* MaskListErrorText(MaskListError error);

// Walks a list inside a block of known size; every node it yields lies wholly inside the block.
class MaskListReader {
public:
    MaskListReader(const uint8_t* block, size_t size) : block_(block), size_(size) {}

    // Checks every node up to the end head; the byte length up to and including it goes to *used.
    MaskListError Validate(size_t* used = nullptr) const;

    // Calls visit(head, body) for each node of a list that Validate accepts; returns the error otherwise
    // and visits nothing.
    template <typename Visit>
    MaskListError ForEachNode(Visit&& visit) const {
        const MaskListError error = Validate();
        if (error != MaskListError::None) return error;
        size_t pos = 0;
        for (;;) {
            const CoverageMaskNode* head = reinterpret_cast<const CoverageMaskNode*>(block_ + pos);
            if (head->count == 0) return MaskListError::None;
            if (!visit(*head, block_ + pos + sizeof(CoverageMaskNode))) return MaskListError::None;
            pos += sizeof(CoverageMaskNode) + kMaskUnit * size_t(head->count);
        }
    }

private:
    const uint8_t* block_;
    size_t size_;
};

// Units a raster of width x height bytes occupies, as the rasteriser writes it.
inline int32_t RasterUnits(int64_t width, int64_t height) { return int32_t(width * height / 6 + 1); }

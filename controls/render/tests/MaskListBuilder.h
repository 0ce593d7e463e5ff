// Building coverage-mask lists for tests, node by node, on the process heap as the smart cache keeps them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "render/MaskListFormat.h"

class MaskListBuilder {
public:
    MaskListBuilder& Entries(int kind, RECT bounds, std::vector<CoverageMaskEntry> entries, bool sorted = true);
    MaskListBuilder& Raster(RECT bounds, std::vector<uint8_t> cells, int32_t extraUnits = 0);
    std::vector<uint8_t> Bytes() const;   // the nodes and the end head
    void* HeapBlock() const;              // a copy on the process heap; free with HeapFree

private:
    std::vector<uint8_t> nodes_;
};

CoverageMaskEntry RunEntry(int x, int y, int length);
CoverageMaskEntry PixelEntry(int x, int y, int coverage);

// Decoded node, for comparing lists in tests.
struct DecodedNode {
    CoverageMaskNode head;
    std::vector<CoverageMaskEntry> entries;
    std::vector<uint8_t> raster;
};
std::vector<DecodedNode> DecodeList(const void* block, size_t size);

#include "MaskListBuilder.h"

#include <cstring>

namespace {
void Append(std::vector<uint8_t>& out, const void* data, size_t size) {
    const uint8_t* p = static_cast<const uint8_t*>(data);
    out.insert(out.end(), p, p + size);
}
}  // namespace

CoverageMaskEntry RunEntry(int x, int y, int length) { return {int16_t(x), int16_t(y), uint16_t(0x8000 | length)}; }
CoverageMaskEntry PixelEntry(int x, int y, int coverage) { return {int16_t(x), int16_t(y), uint16_t(coverage)}; }

MaskListBuilder& MaskListBuilder::Entries(int kind, RECT bounds, std::vector<CoverageMaskEntry> entries, bool sorted) {
    CoverageMaskNode head{bounds.left, bounds.top, bounds.right, bounds.bottom, int32_t(entries.size()), sorted, kind};
    Append(nodes_, &head, sizeof head);
    Append(nodes_, entries.data(), entries.size() * sizeof(CoverageMaskEntry));
    return *this;
}

MaskListBuilder& MaskListBuilder::Raster(RECT bounds, std::vector<uint8_t> cells, int32_t extraUnits) {
    const int32_t count = RasterUnits(bounds.right - bounds.left, bounds.bottom - bounds.top) + extraUnits;
    cells.resize(size_t(count) * kMaskUnit, 0);
    CoverageMaskNode head{bounds.left, bounds.top, bounds.right, bounds.bottom, count, 1, CoverageRaster};
    Append(nodes_, &head, sizeof head);
    Append(nodes_, cells.data(), cells.size());
    return *this;
}

std::vector<uint8_t> MaskListBuilder::Bytes() const {
    std::vector<uint8_t> out = nodes_;
    const CoverageMaskNode end{0, 0, 0, 0, 0, 0, 0};
    Append(out, &end, sizeof end);
    return out;
}

void* MaskListBuilder::HeapBlock() const {
    const std::vector<uint8_t> bytes = Bytes();
    void* block = HeapAlloc(GetProcessHeap(), 0, bytes.size());
    std::memcpy(block, bytes.data(), bytes.size());
    return block;
}

std::vector<DecodedNode> DecodeList(const void* block, size_t size) {
    std::vector<DecodedNode> nodes;
    MaskListReader(static_cast<const uint8_t*>(block), size).ForEachNode([&](const CoverageMaskNode& head, const uint8_t* body) {
        DecodedNode node{head, {}, {}};
        if (head.kind == CoverageRaster) {
            node.raster.assign(body, body + size_t(head.right - head.left) * size_t(head.bottom - head.top));
        } else {
            node.entries.resize(size_t(head.count));
            std::memcpy(node.entries.data(), body, node.entries.size() * sizeof(CoverageMaskEntry));
        }
        nodes.push_back(std::move(node));
        return true;
    });
    return nodes;
}

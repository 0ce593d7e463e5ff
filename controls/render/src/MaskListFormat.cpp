#include "render/MaskListFormat.h"

const char* MaskListErrorText(MaskListError error) {
    switch (error) {
    case MaskListError::None: return "no error";
    case MaskListError::NullList: return "coverage list is missing";
    case MaskListError::MissingEnd: return "coverage list runs past its block without an end marker";
    case MaskListError::BadCount: return "coverage node count is negative or runs past the block";
    case MaskListError::RasterTooSmall: return "coverage raster is smaller than its node bounds";
    case MaskListError::BadKind: return "coverage node has an unknown kind";
    }
    return "unknown coverage list error";
}

MaskListError MaskListReader::Validate(size_t* used) const {
    if (!block_) return MaskListError::NullList;
    size_t pos = 0;
    for (;;) {
        if (size_ < sizeof(CoverageMaskNode) || pos > size_ - sizeof(CoverageMaskNode)) return MaskListError::MissingEnd;
        const CoverageMaskNode* head = reinterpret_cast<const CoverageMaskNode*>(block_ + pos);
        if (head->count == 0) {
            if (used) *used = pos + sizeof(CoverageMaskNode);
            return MaskListError::None;
        }
        if (head->count < 0) return MaskListError::BadCount;
        const size_t body = kMaskUnit * size_t(head->count);
        if (body > size_ - pos - sizeof(CoverageMaskNode)) return MaskListError::BadCount;
        if (head->kind == CoverageRaster) {
            const int64_t w = int64_t(head->right) - head->left, h = int64_t(head->bottom) - head->top;
            if (w > 0 && h > 0 && uint64_t(w) * uint64_t(h) > body) return MaskListError::RasterTooSmall;
        } else if (head->kind != CoverageFill && head->kind != CoverageOutline) {
            return MaskListError::BadKind;
        }
        pos += sizeof(CoverageMaskNode) + body;
    }
}

#include "render/MaskList.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <limits>

namespace {

bool IsEmptyRect(const RECT& r) { return r.left >= r.right || r.top >= r.bottom; }

RECT Intersect(const RECT& a, const RECT& b) {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
}

RECT NodeBounds(const CoverageMaskNode& head) { return {head.left, head.top, head.right, head.bottom}; }

const CoverageMaskEntry* Entries(const uint8_t* body) { return reinterpret_cast<const CoverageMaskEntry*>(body); }

// Entries of one row in a node whose entries ascend in y.
std::pair<const CoverageMaskEntry*, const CoverageMaskEntry*> RowEntries(const CoverageMaskEntry* first, const CoverageMaskEntry* last, int row) {
    const CoverageMaskEntry* lo = std::lower_bound(first, last, row, [](const CoverageMaskEntry& e, int r) { return e.y < r; });
    const CoverageMaskEntry* hi = std::upper_bound(lo, last, row, [](int r, const CoverageMaskEntry& e) { return r < e.y; });
    return {lo, hi};
}

// Does the entry cover some column of [from, to] (inclusive)?
bool EntryTouchesColumns(const CoverageMaskEntry& e, int from, int to) {
    if (IsRun(e)) {
        const int length = RunLength(e);
        return length > 0 && e.x <= to && e.x + length - 1 >= from;
    }
    return e.x >= from && e.x <= to;
}

// Any entry in rows [rowFrom, rowTo] touching columns [colFrom, colTo].
bool EntriesTouch(const CoverageMaskNode& head, const uint8_t* body, int rowFrom, int rowTo, int colFrom, int colTo) {
    const CoverageMaskEntry* first = Entries(body);
    const CoverageMaskEntry* last = first + head.count;
    if (head.sorted) {
        // Only rows that hold entries can hit: a huge tolerance or rectangle costs no more than the node.
        rowFrom = std::max<int>(rowFrom, first->y);
        rowTo = std::min<int>(rowTo, (last - 1)->y);
        for (int row = rowFrom; row <= rowTo; ++row) {
            const auto range = RowEntries(first, last, row);
            for (const CoverageMaskEntry* e = range.first; e != range.second; ++e)
                if (EntryTouchesColumns(*e, colFrom, colTo)) return true;
        }
        return false;
    }
    for (const CoverageMaskEntry* e = first; e != last; ++e)
        if (e->y >= rowFrom && e->y <= rowTo && EntryTouchesColumns(*e, colFrom, colTo)) return true;
    return false;
}

bool FitsInt16(int64_t v) {
    return v >= std::numeric_limits<int16_t>::min() && v <= std::numeric_limits<int16_t>::max();
}

// Clips one entry node in place from `in` to `out` (which may be the same memory); returns the count kept.
int32_t ClipEntries(const CoverageMaskEntry* in, int32_t count, CoverageMaskEntry* out, int dx, int dy, const RECT& clip) {
    int32_t kept = 0;
    for (int32_t i = 0; i < count; ++i) {
        CoverageMaskEntry e;
        std::memcpy(&e, in + i, sizeof e);
        const int64_t x = int64_t(e.x) + dx, y = int64_t(e.y) + dy;
        if (y < clip.top || y >= clip.bottom || !FitsInt16(y)) continue;
        if (IsRun(e)) {
            const int64_t from = std::max<int64_t>(x, clip.left);
            const int64_t to = std::min<int64_t>(x + RunLength(e), clip.right);
            if (to <= from || !FitsInt16(from)) continue;
            e.x = int16_t(from);
            e.value = uint16_t(kCoverageRunFlag | uint16_t(to - from));
        } else {
            if (x < clip.left || x >= clip.right || !FitsInt16(x)) continue;
            e.x = int16_t(x);
        }
        e.y = int16_t(y);
        std::memcpy(out + kept, &e, sizeof e);
        ++kept;
    }
    return kept;
}

bool EveryNodeInside(const uint8_t* block, const RECT& clip) {
    size_t pos = 0;
    for (;;) {
        const CoverageMaskNode* head = reinterpret_cast<const CoverageMaskNode*>(block + pos);
        if (head->count == 0) return true;
        const RECT bounds = NodeBounds(*head);
        const RECT inside = Intersect(bounds, clip);
        if (std::memcmp(&inside, &bounds, sizeof bounds) != 0) return false;
        pos += sizeof(CoverageMaskNode) + kMaskUnit * size_t(head->count);
    }
}

}  // namespace

size_t HeapMaskListSize(const void* block) {
    if (!block) return 0;
    const SIZE_T size = HeapSize(GetProcessHeap(), 0, block);
    return size == SIZE_T(-1) ? 0 : size_t(size);
}

MaskListError OffsetClipMaskList(void** list, int dx, int dy, const RECT& clip) {
    if (!list || !*list) return MaskListError::NullList;
    uint8_t* block = static_cast<uint8_t*>(*list);
    const size_t size = HeapMaskListSize(block);
    const MaskListError error = MaskListReader(block, size).Validate();
    if (error != MaskListError::None) return error;
    if (dx == 0 && dy == 0 && EveryNodeInside(block, clip)) return MaskListError::None;

    size_t readPos = 0, writePos = 0;
    for (;;) {
        CoverageMaskNode head;
        std::memcpy(&head, block + readPos, sizeof head);
        if (head.count == 0) break;
        const size_t nodeBytes = sizeof(CoverageMaskNode) + kMaskUnit * size_t(head.count);
        const uint8_t* body = block + readPos + sizeof(CoverageMaskNode);
        uint8_t* outBody = block + writePos + sizeof(CoverageMaskNode);

        const int64_t movedEdges[4] = {int64_t(head.left) + dx, int64_t(head.top) + dy, int64_t(head.right) + dx,
                                       int64_t(head.bottom) + dy};
        // A node moved beyond the coordinate range cannot be stored any more and is dropped.
        const bool representable = std::all_of(std::begin(movedEdges), std::end(movedEdges), [](int64_t v) {
            return v >= std::numeric_limits<int32_t>::min() && v <= std::numeric_limits<int32_t>::max();
        });
        const RECT moved = {LONG(movedEdges[0]), LONG(movedEdges[1]), LONG(movedEdges[2]), LONG(movedEdges[3])};
        const RECT bounds = Intersect(moved, clip);
        int32_t count = 0;
        if (representable && !IsEmptyRect(bounds)) {
            if (head.kind == CoverageRaster) {
                const int64_t oldWidth = int64_t(head.right) - head.left, oldHeight = int64_t(head.bottom) - head.top;
                const int64_t width = int64_t(bounds.right) - bounds.left, height = int64_t(bounds.bottom) - bounds.top;
                if (width == oldWidth && height == oldHeight) {
                    count = head.count;
                    std::memmove(outBody, body, kMaskUnit * size_t(count));
                } else {
                    // Rows move towards the front of the block, so copying in order never overwrites
                    // bytes still to be read.
                    const int64_t col0 = int64_t(bounds.left) - moved.left, row0 = int64_t(bounds.top) - moved.top;
                    for (int64_t r = 0; r < height; ++r)
                        std::memmove(outBody + r * width, body + (row0 + r) * oldWidth + col0, size_t(width));
                    count = std::min(RasterUnits(width, height), head.count);
                }
            } else {
                count = ClipEntries(Entries(body), head.count, reinterpret_cast<CoverageMaskEntry*>(outBody), dx, dy, bounds);
            }
        }
        if (count > 0) {
            head.left = bounds.left; head.top = bounds.top; head.right = bounds.right; head.bottom = bounds.bottom;
            head.count = count;
            std::memcpy(block + writePos, &head, sizeof head);
            writePos += sizeof(CoverageMaskNode) + kMaskUnit * size_t(count);
        }
        readPos += nodeBytes;
    }
    std::memmove(block + writePos, block + readPos, sizeof(CoverageMaskNode));
    const size_t used = writePos + sizeof(CoverageMaskNode);
    // A failed shrink keeps the larger block, which still holds the compacted list.
    if (void* shrunk = HeapReAlloc(GetProcessHeap(), 0, block, used)) *list = shrunk;
    return MaskListError::None;
}

bool MaskHitTest(const void* list, size_t size, int x, int y, int tolerance) {
    if (tolerance < 0) return false;
    bool hit = false;
    MaskListReader(static_cast<const uint8_t*>(list), size).ForEachNode(
        [&](const CoverageMaskNode& head, const uint8_t* body) {
            const int64_t width = int64_t(head.right) - head.left, height = int64_t(head.bottom) - head.top;
            const int64_t dx = int64_t(x) - head.left, dy = int64_t(y) - head.top;
            if (dx < 0 || dx >= width || dy < 0 || dy >= height) return true;
            const int64_t t = tolerance;
            if (head.kind == CoverageRaster) {
                // The square is confined to the raster: cells beyond it were never recorded.
                const int64_t c0 = std::max<int64_t>(x - t, head.left), c1 = std::min<int64_t>(x + t, head.right - 1);
                const int64_t r0 = std::max<int64_t>(y - t, head.top), r1 = std::min<int64_t>(y + t, head.bottom - 1);
                for (int64_t r = r0; r <= r1 && !hit; ++r)
                    for (int64_t c = c0; c <= c1; ++c)
                        if (body[(r - head.top) * width + (c - head.left)] > 2) { hit = true; break; }
            } else {
                hit = EntriesTouch(head, body, int(std::max<int64_t>(y - t, INT_MIN)),
                                   int(std::min<int64_t>(y + t, INT_MAX)), int(std::max<int64_t>(x - t, INT_MIN)),
                                   int(std::min<int64_t>(x + t, INT_MAX)));
            }
            return !hit;
        });
    return hit;
}

bool MaskIntersectsRect(const void* list, size_t size, int left, int top, int right, int bottom) {
    if (left >= right || top >= bottom) return false;
    bool hit = false;
    MaskListReader(static_cast<const uint8_t*>(list), size).ForEachNode(
        [&](const CoverageMaskNode& head, const uint8_t* body) {
            if (left >= head.right || right <= head.left || top >= head.bottom || bottom <= head.top) return true;
            hit = head.kind == CoverageRaster || EntriesTouch(head, body, top, bottom - 1, left, right - 1);
            return !hit;
        });
    return hit;
}

bool MaskHitTest(const void* heapList, int x, int y, int tolerance) {
    return MaskHitTest(heapList, HeapMaskListSize(heapList), x, y, tolerance);
}

bool MaskIntersectsRect(const void* heapList, int left, int top, int right, int bottom) {
    return MaskIntersectsRect(heapList, HeapMaskListSize(heapList), left, top, right, bottom);
}

int SubtractRect4(const RECT& a, const RECT& b, RECT out[4]) {
    const RECT i = Intersect(a, b);
    if (IsEmptyRect(i)) {
        out[0] = a;
        return 1;
    }
    const RECT candidates[4] = {
        {a.left, a.top, a.right, i.top},
        {a.left, i.top, i.left, i.bottom},
        {i.right, i.top, a.right, i.bottom},
        {a.left, i.bottom, a.right, a.bottom},
    };
    int count = 0;
    for (const RECT& c : candidates)
        if (!IsEmptyRect(c)) out[count++] = c;
    return count;
}

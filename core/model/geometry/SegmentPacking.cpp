#include <climits>
#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

#include "SegmentDesc.h"

namespace {

constexpr int kPointBytes = 16;

int StoredPointsOf(unsigned char kind) { return kind == kSegmentBezier ? 3 : 1; }

void PutPoint(unsigned char*& out, const tagPointF& p)
{
    std::memcpy(out, &p.x, 8);
    std::memcpy(out + 8, &p.y, 8);
    out += kPointBytes;
}

tagPointF GetPoint(const unsigned char* block, long long index)
{
    tagPointF p;
    std::memcpy(&p.x, block + index * kPointBytes, 8);
    std::memcpy(&p.y, block + index * kPointBytes + 8, 8);
    return p;
}

}  // namespace

int CompressSegmentDesc(const SegmentDesc* segs, int count, unsigned char** data, int* size)
{
    if (!segs || !data || !size || count <= 0)
        return 0;

    long long points = 0;
    for (int i = 0; i < count; ++i)
        points += StoredPointsOf(segs[i].kind);
    const long long total = 4LL + count + kPointBytes * points;
    if (total > INT_MAX)
        return 0;

    unsigned char* block = new (std::nothrow) unsigned char[static_cast<size_t>(total)];
    if (!block)
        return 0;
    const std::int32_t storedCount = count;
    std::memcpy(block, &storedCount, 4);
    unsigned char* out = block + 4;
    for (int i = 0; i < count; ++i)
        *out++ = segs[i].kind;
    for (int i = 0; i < count; ++i) {
        PutPoint(out, segs[i].pt1);
        if (segs[i].kind == kSegmentBezier) {
            PutPoint(out, segs[i].pt2);
            PutPoint(out, segs[i].pt3);
        }
    }
    *data = block;
    *size = static_cast<int>(total);
    return 1;
}

int DecompressSegmentDesc(const unsigned char* data, int size, SegmentDesc** segs, int* count)
{
    if (!data || !segs || !count || size < 4)
        return 0;

    std::int32_t n;
    std::memcpy(&n, data, 4);
    // A negative count, or a block without a byte beyond the count and the kinds, is refused.
    if (n < 0 || static_cast<long long>(size) <= 4LL + n)
        return 0;

    const unsigned char* kinds = data + 4;
    const unsigned char* pointBlock = kinds + n;
    const long long storedPoints = (static_cast<long long>(size) - n - 4) / kPointBytes;

    // Every point the kinds ask for, a line's following point included, must be stored.
    long long needed = 0;
    for (std::int32_t i = 0; i < n; ++i) {
        needed += StoredPointsOf(kinds[i]);
        const long long reach = kinds[i] == kSegmentLine ? needed + 1 : needed;
        if (reach > storedPoints)
            return 0;
    }

    SegmentDesc* out = new (std::nothrow) SegmentDesc[static_cast<size_t>(n)]();
    if (!out)
        return 0;
    long long next = 0;
    for (std::int32_t i = 0; i < n; ++i) {
        SegmentDesc& s = out[i];
        s.kind = kinds[i];
        s.pt1 = GetPoint(pointBlock, next++);
        if (s.kind == kSegmentBezier) {
            s.pt2 = GetPoint(pointBlock, next++);
            s.pt3 = GetPoint(pointBlock, next++);
        } else if (s.kind == kSegmentLine) {
            s.pt2 = GetPoint(pointBlock, next);  // the next segment's start, not consumed
        }
    }
    *segs = out;
    *count = n;
    return 1;
}

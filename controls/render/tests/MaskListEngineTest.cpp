// Coverage lists as the rasteriser records them: repainting, moving and clipping, and hit tests
// against real drawings rather than hand-made lists.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "imaging/ImagingBitmap.h"
#include "render/DrawPolyBezier.h"
#include "render/MaskList.h"
#include "render/MaskListFill.h"
#include "scenes/ShapeScene.h"

namespace {

constexpr int kSize = 96;

struct Canvas {
    ImagingBitmap b;
    Canvas() {
        ImagingInitBitmap(&b);
        EXPECT_EQ(ImagingAllocateBitmap(&b, kSize, kSize, 24), ImagingOk);
        ImagingFillBitmap(&b, RGB(0, 0, 0));
    }
    ~Canvas() { ImagingFreeBitmap(&b); }
    std::vector<unsigned char> Pixels() {
        ImagingAccessScope access(&b);
        std::vector<unsigned char> out;
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x) {
                const unsigned char* p = ImagingPixelAddress(&b, x, y);
                out.insert(out.end(), p, p + 3);
            }
        return out;
    }
};

struct Drawing {
    const char* name;
    SceneShape shape;
    int highestQuality;
};

std::vector<Drawing> Drawings() {
    std::vector<Drawing> all;
    SceneShape star;
    star.r = 200; star.g = 120; star.b = 40;
    star.MoveTo(48.3, 6.2).LineTo(74.1, 86.9).LineTo(6.4, 36.7).LineTo(90.2, 36.1).LineTo(21.5, 87.3).Close();
    all.push_back({"star, even-odd", star, 1});
    SceneShape wide = star;
    wide.stroke = true;
    wide.width = 5.5;
    all.push_back({"wide outline", wide, 1});
    SceneShape dashed;
    dashed.stroke = true;
    dashed.width = 0.8;
    dashed.dashKind = 4;
    dashed.MoveTo(5.5, 90.5).CurveTo(30.2, 2.7, 70.4, 2.9, 91.3, 88.8);
    all.push_back({"dashed thin curve", dashed, 0});
    SceneShape small;
    small.MoveTo(60.2, 60.1).LineTo(67.7, 63.4).LineTo(61.9, 68.8).Close();
    all.push_back({"small shape", small, 0});
    return all;
}

// Draws one shape, keeping its coverage list in a block on the process heap.
struct Recorded {
    std::vector<unsigned char> pixels;
    void* list = nullptr;
    size_t size = 0;
    FillInfo request{};
    ~Recorded() {
        if (list) HeapFree(GetProcessHeap(), 0, list);
    }
};

void Record(const Drawing& d, Recorded* out) {
    std::vector<unsigned char> buffer(1 << 20);
    Canvas canvas;
    bool closed = false;
    const std::vector<SegmentDesc> segments = d.shape.Segments(&closed);
    out->request = d.shape.Request();
    RenderOptions options;
    options.highestQuality = d.highestQuality;
    options.closed = closed;
    RECT clip{0, 0, kSize, kSize};
    const int bytes = DrawPolyBezierTiledEx(&canvas.b, &clip, segments.data(), int(segments.size()), buffer.data(),
                                            buffer.data() + buffer.size(), &out->request, options, 0);
    ASSERT_GT(bytes, 0) << d.name;
    out->pixels = canvas.Pixels();
    out->size = size_t(bytes) + sizeof(CoverageMaskNode);
    out->list = HeapAlloc(GetProcessHeap(), 0, out->size);
    std::memcpy(out->list, buffer.data(), out->size);
}

std::vector<unsigned char> Replay(const Recorded& r, RECT clip = {0, 0, kSize, kSize}, int dx = 0, int dy = 0) {
    Canvas canvas;
    EXPECT_EQ(FillMaskRuns(&canvas.b, r.list, r.size, clip.left, clip.top, clip.right, clip.bottom, dx, dy, &r.request),
              MaskFillError::None);
    return canvas.Pixels();
}

TEST(RecordedCoverage, ReplayReproducesTheRender) {
    for (const Drawing& d : Drawings()) {
        Recorded r;
        Record(d, &r);
        const std::vector<unsigned char> replayed = Replay(r);
        Canvas heapReplay;
        ASSERT_EQ(FillMaskRuns(&heapReplay.b, r.list, 0, 0, kSize, kSize, 0, 0, &r.request), MaskFillError::None);
        EXPECT_EQ(heapReplay.Pixels(), replayed) << d.name;
        int worst = 0;
        for (size_t i = 0; i < replayed.size(); ++i) worst = std::max(worst, std::abs(replayed[i] - r.pixels[i]));
        EXPECT_LE(worst, 1) << d.name;
    }
}

// Moving and clipping the list, then repainting, gives the first repaint moved and clipped.
TEST(RecordedCoverage, MovedAndClippedListRepaintsTheMovedPicture) {
    struct Move { int dx, dy; RECT clip; };
    const Move moves[] = {{0, 0, {0, 0, kSize, kSize}}, {7, -5, {10, 10, 80, 70}}, {-20, 13, {0, 0, 50, 96}},
                          {0, 0, {30, 30, 31, 90}}, {3, 3, {200, 200, 300, 300}}};
    for (const Drawing& d : Drawings())
        for (const Move& m : moves) {
            Recorded r;
            Record(d, &r);
            const std::vector<unsigned char> before = Replay(r);
            ASSERT_EQ(OffsetClipMaskList(&r.list, m.dx, m.dy, m.clip), MaskListError::None);
            r.size = HeapMaskListSize(r.list);
            const std::vector<unsigned char> after = Replay(r);
            for (int y = 0; y < kSize; ++y)
                for (int x = 0; x < kSize; ++x) {
                    const bool kept = x >= m.clip.left && x < m.clip.right && y >= m.clip.top && y < m.clip.bottom;
                    const int sx = x - m.dx, sy = y - m.dy;
                    for (int c = 0; c < 3; ++c) {
                        const int expected = kept && sx >= 0 && sx < kSize && sy >= 0 && sy < kSize
                                                 ? before[(sy * kSize + sx) * 3 + c]
                                                 : 0;
                        ASSERT_EQ(after[(y * kSize + x) * 3 + c], expected)
                            << d.name << " moved by " << m.dx << "," << m.dy << " at " << x << "," << y;
                    }
                }
        }
}

// Every visibly painted pixel is a hit, and a hit pixel intersects; far from the drawing nothing hits.
TEST(RecordedCoverage, HitTestsAgreeWithThePaintedPixels) {
    for (const Drawing& d : Drawings()) {
        Recorded r;
        Record(d, &r);
        int hits = 0;
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x) {
                const unsigned char* p = &r.pixels[(y * kSize + x) * 3];
                const int strength = std::max({p[0], p[1], p[2]});
                const bool hit = MaskHitTest(r.list, r.size, x, y, 0);
                hits += hit;
                // Raster cells of coverage 2 or less do not count as hits, and paint at most 2.
                if (strength > 2) EXPECT_TRUE(hit) << d.name << " at " << x << "," << y;
                if (hit) EXPECT_TRUE(MaskIntersectsRect(r.list, r.size, x, y, x + 1, y + 1)) << d.name << " at " << x << "," << y;
            }
        EXPECT_GT(hits, 0) << d.name;
        // The heap knows the block's size: the short forms answer the same.
        EXPECT_EQ(MaskHitTest(r.list, 48, 40, 1), MaskHitTest(r.list, r.size, 48, 40, 1)) << d.name;
        EXPECT_TRUE(MaskIntersectsRect(r.list, 0, 0, kSize, kSize)) << d.name;
        EXPECT_TRUE(MaskIntersectsRect(r.list, r.size, 0, 0, kSize, kSize)) << d.name;
        EXPECT_FALSE(MaskHitTest(r.list, r.size, 500, 500, 3)) << d.name;
        EXPECT_FALSE(MaskIntersectsRect(r.list, r.size, 200, 0, 300, kSize)) << d.name;
    }
}

// Draws a pattern-filled shape, repaints it from its list and returns the largest channel difference.
int PatternReplayDifference(const SceneShape& shape, int highestQuality, ImagingBitmap* pattern) {
    Recorded r;
    std::vector<unsigned char> buffer(1 << 20);
    Canvas canvas;
    bool closed = false;
    const std::vector<SegmentDesc> segments = shape.Segments(&closed);
    r.request = shape.Request();
    r.request.FillType = FillPattern;
    r.request.PatternBitmap = pattern;
    r.request.PatternOriginX = 21;
    r.request.PatternOriginY = 21;
    RenderOptions options;
    options.highestQuality = highestQuality;
    RECT clip{0, 0, kSize, kSize};
    const int bytes = DrawPolyBezierTiledEx(&canvas.b, &clip, segments.data(), int(segments.size()), buffer.data(),
                                            buffer.data() + buffer.size(), &r.request, options, 0);
    if (bytes <= 0) return 1000;
    r.pixels = canvas.Pixels();
    r.size = size_t(bytes) + sizeof(CoverageMaskNode);
    r.list = HeapAlloc(GetProcessHeap(), 0, r.size);
    std::memcpy(r.list, buffer.data(), r.size);
    const std::vector<unsigned char> replayed = Replay(r);
    int worst = 0;
    for (size_t i = 0; i < replayed.size(); ++i) worst = std::max(worst, std::abs(replayed[i] - r.pixels[i]));
    return worst;
}

// A pattern fill repainted from its list takes the same pattern pixels as the render, including the
// pixels where the shape's edge reaches beyond the pattern.
TEST(RecordedCoverage, PatternFillReplayTakesTheSamePatternPixels) {
    SceneShape square, small;
    square.MoveTo(20.5, 20.25).LineTo(60.5, 20.25).LineTo(60.5, 60.75).LineTo(20.5, 60.75).Close();
    small.MoveTo(30.2, 30.1).LineTo(37.7, 33.4).LineTo(31.9, 38.8).Close();  // takes the small-shape path
    for (int depth : {24, 32, 8}) {
        ImagingBitmap pattern;
        ImagingInitBitmap(&pattern);
        ASSERT_EQ(ImagingAllocateBitmap(&pattern, 40, 40, depth), ImagingOk);
        {
            ImagingAccessScope access(&pattern);
            for (int y = 0; y < 40; ++y)
                for (int x = 0; x < 40; ++x) {
                    unsigned char* p = ImagingPixelAddress(&pattern, x, y);
                    for (int c = 0; c < depth / 8; ++c)
                        p[c] = (unsigned char)(c == 3 ? 128 + 3 * y : 6 * x + 5 * y + 40 * c);
                }
        }
        // The render blends partly covered pixels with their exact coverage, the replay with the
        // recorded byte; with a pattern alpha scaling both, the two roundings can part by 2.
        EXPECT_LE(PatternReplayDifference(square, 1, &pattern), depth == 32 ? 2 : 1) << "square, depth " << depth;
        EXPECT_LE(PatternReplayDifference(small, 0, &pattern), 1) << "small shape, depth " << depth;
        ImagingFreeBitmap(&pattern);
    }
}

// A list cut short (a buffer that ran out) is refused whole: nothing painted, nothing hit.
TEST(RecordedCoverage, TruncatedListIsRefused) {
    Recorded r;
    Record(Drawings()[0], &r);
    const size_t cut = r.size / 2;
    Canvas canvas;
    EXPECT_EQ(FillMaskRuns(&canvas.b, r.list, cut, 0, 0, kSize, kSize, 0, 0, &r.request), MaskFillError::BadList);
    const std::vector<unsigned char> pixels = canvas.Pixels();
    EXPECT_EQ(std::count(pixels.begin(), pixels.end(), 0), long(pixels.size()));
    EXPECT_FALSE(MaskHitTest(r.list, cut, 48, 40, 2));
}

}  // namespace

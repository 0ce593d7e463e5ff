#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "geometry/SegmentDesc.h"

namespace {

SegmentDesc Seg(unsigned char kind, tagPointF p1, tagPointF p2 = {0, 0}, tagPointF p3 = {0, 0})
{
    SegmentDesc s{};
    s.kind = kind;
    s.pt1 = p1;
    s.pt2 = p2;
    s.pt3 = p3;
    return s;
}

void ExpectPoint(const tagPointF& p, double x, double y, const char* what)
{
    EXPECT_EQ(p.x, x) << what;
    EXPECT_EQ(p.y, y) << what;
}

std::vector<unsigned char> Block(std::int32_t count, std::vector<unsigned char> kinds, std::vector<double> coords)
{
    std::vector<unsigned char> b(4);
    std::memcpy(b.data(), &count, 4);
    b.insert(b.end(), kinds.begin(), kinds.end());
    for (double c : coords) {
        unsigned char raw[8];
        std::memcpy(raw, &c, 8);
        b.insert(b.end(), raw, raw + 8);
    }
    return b;
}

TEST(SegmentBuildersTest, RectangleInBothDirections)
{
    struct Case {
        bool clockwise;
        double corners[4][2];
    };
    const Case cases[] = {
        {true, {{0, 0}, {2, 0}, {2, 1}, {0, 1}}},
        {false, {{0, 0}, {0, 1}, {2, 1}, {2, 0}}},
    };
    for (const auto& c : cases) {
        tagRectF r{0, 0, 2, 1};
        SegmentDesc s[5];
        Rect2Bezier(r, s, c.clockwise);
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(s[i].kind, kSegmentLine);
            ExpectPoint(s[i].pt1, c.corners[i][0], c.corners[i][1], "start");
            ExpectPoint(s[i].pt2, c.corners[(i + 1) % 4][0], c.corners[(i + 1) % 4][1], "end");
        }
        EXPECT_EQ(s[4].kind, kSegmentEnd);
        ExpectPoint(s[4].pt1, 0, 0, "end record");
    }
}

TEST(SegmentBuildersTest, EllipseQuarterArcs)
{
    const double a = 0.44771525016920655, b = 1.5522847498307935;
    tagRectF r{0, 0, 2, 2};
    SegmentDesc cw[5], ccw[5];
    Ellipse2Bezier(r, cw, true);
    Ellipse2Bezier(r, ccw, false);
    ExpectPoint(cw[0].pt1, 0, 1, "cw start");
    ExpectPoint(cw[0].pt2, 0, a, "cw control 1");
    ExpectPoint(cw[0].pt3, a, 0, "cw control 2");
    ExpectPoint(cw[1].pt1, 1, 0, "cw top");
    ExpectPoint(cw[2].pt1, 2, 1, "cw right");
    ExpectPoint(cw[3].pt1, 1, 2, "cw bottom");
    ExpectPoint(cw[3].pt3, 0, b, "cw last control");
    EXPECT_EQ(cw[4].kind, kSegmentEnd);
    ExpectPoint(cw[4].pt1, 0, 1, "cw end record");

    ExpectPoint(ccw[0].pt1, 0, 1, "ccw start");
    ExpectPoint(ccw[0].pt2, 0, b, "ccw control 1");
    ExpectPoint(ccw[0].pt3, a, 2, "ccw control 2");
    ExpectPoint(ccw[1].pt1, 1, 2, "ccw bottom");
    ExpectPoint(ccw[2].pt1, 2, 1, "ccw right");
    ExpectPoint(ccw[3].pt1, 1, 0, "ccw top");
    ExpectPoint(ccw[3].pt3, 0, a, "ccw last control");
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(cw[i].kind, kSegmentBezier);
        EXPECT_EQ(ccw[i].kind, kSegmentBezier);
    }
}

TEST(SegmentHelpersTest, ScaleAndOffsetTouchOnlyUsedPoints)
{
    const tagPointF unused{7, 7};
    SegmentDesc s[3] = {Seg(kSegmentBezier, {1, 1}, {2, 2}, {3, 3}), Seg(kSegmentLine, {4, 4}, {5, 5}, unused),
                        Seg(kSegmentEnd, {6, 6}, unused, unused)};
    ScaleSegment(s, 3, 2, 10);
    ExpectPoint(s[0].pt3, 6, 30, "bezier pt3 scaled");
    ExpectPoint(s[1].pt2, 10, 50, "line pt2 scaled");
    ExpectPoint(s[1].pt3, 7, 7, "line pt3 untouched");
    ExpectPoint(s[2].pt1, 12, 60, "end pt1 scaled");
    ExpectPoint(s[2].pt2, 7, 7, "end pt2 untouched");
    ExpectPoint(s[2].pt3, 7, 7, "end pt3 untouched");
    OffsetSegment(s, 3, 1, -1);
    ExpectPoint(s[0].pt1, 3, 9, "bezier offset");
    ExpectPoint(s[1].pt3, 7, 7, "line pt3 untouched by offset");
    ExpectPoint(s[2].pt2, 7, 7, "end pt2 untouched by offset");
    ScaleSegment(s, 0, 100, 100);
    ScaleSegment(s, -3, 100, 100);
    ExpectPoint(s[0].pt1, 3, 9, "no change for count <= 0");

    ValidateSegments(s, 3);
    ExpectPoint(s[1].pt2, 13, 59, "line pt2 from next start");
    ExpectPoint(s[1].pt3, 13, 59, "line pt3 from next start");
    SegmentDesc single = Seg(kSegmentLine, {1, 1}, {2, 2}, unused);
    ValidateSegments(&single, 1);
    ExpectPoint(single.pt3, 7, 7, "single record untouched");
}

TEST(SegmentPackingTest, PackedSizesAndLayout)
{
    struct Case {
        std::vector<SegmentDesc> segs;
        int expectedSize;
    };
    const Case cases[] = {
        {{Seg(kSegmentBezier, {0, 0}, {1, 1}, {2, 2}), Seg(kSegmentEnd, {3, 3})}, 70},
        {{Seg(kSegmentLine, {0, 0}, {1, 0}), Seg(kSegmentLine, {1, 0}, {1, 1}), Seg(kSegmentEnd, {1, 1})}, 55},
        {{Seg(kSegmentEnd, {5, 5})}, 21},
    };
    for (const auto& c : cases) {
        unsigned char* data = nullptr;
        int size = 0;
        ASSERT_EQ(CompressSegmentDesc(c.segs.data(), static_cast<int>(c.segs.size()), &data, &size), 1);
        EXPECT_EQ(size, c.expectedSize);
        std::int32_t storedCount;
        std::memcpy(&storedCount, data, 4);
        EXPECT_EQ(storedCount, static_cast<int>(c.segs.size()));
        for (size_t i = 0; i < c.segs.size(); ++i)
            EXPECT_EQ(data[4 + i], c.segs[i].kind);

        SegmentDesc* back = nullptr;
        int count = 0;
        ASSERT_EQ(DecompressSegmentDesc(data, size, &back, &count), 1);
        ASSERT_EQ(count, static_cast<int>(c.segs.size()));
        for (int i = 0; i < count; ++i) {
            EXPECT_EQ(back[i].kind, c.segs[i].kind);
            ExpectPoint(back[i].pt1, c.segs[i].pt1.x, c.segs[i].pt1.y, "pt1");
            if (back[i].kind != kSegmentEnd)
                ExpectPoint(back[i].pt2, c.segs[i].pt2.x, c.segs[i].pt2.y, "pt2");
            if (back[i].kind == kSegmentBezier)
                ExpectPoint(back[i].pt3, c.segs[i].pt3.x, c.segs[i].pt3.y, "pt3");
            // The record padding reaches the rendering engine as raw memory: it stays zero.
            const unsigned char* raw = reinterpret_cast<const unsigned char*>(&back[i]);
            for (int p = 1; p < 8; ++p)
                EXPECT_EQ(raw[p], 0);
        }
        delete[] back;
        delete[] data;
    }
}

TEST(SegmentPackingTest, RefusesBadArgumentsAndMalformedBlocks)
{
    const SegmentDesc one = Seg(kSegmentEnd, {1, 1});
    unsigned char* data = nullptr;
    int size = 0;
    EXPECT_EQ(CompressSegmentDesc(nullptr, 1, &data, &size), 0);
    EXPECT_EQ(CompressSegmentDesc(&one, 0, &data, &size), 0);
    EXPECT_EQ(CompressSegmentDesc(&one, -1, &data, &size), 0);
    EXPECT_EQ(CompressSegmentDesc(&one, 1, nullptr, &size), 0);
    EXPECT_EQ(CompressSegmentDesc(&one, 1, &data, nullptr), 0);
    EXPECT_EQ(data, nullptr);

    struct Case {
        const char* what;
        std::vector<unsigned char> block;
    };
    const Case cases[] = {
        {"count only", Block(1, {}, {})},
        {"count and kinds only", Block(2, {1, 2}, {})},
        {"negative count", Block(-1, {}, {1, 2})},
        {"huge count", Block(0x7FFFFFFF, {0}, {1, 2})},
        {"bezier without controls", Block(2, {0, 2}, {0, 0, 1, 1})},
        {"line without following point", Block(1, {1}, {0, 0})},
        {"kinds ask for more points", Block(3, {1, 1, 2}, {0, 0, 1, 1})},
        {"three bytes", std::vector<unsigned char>{1, 0, 0}},
    };
    for (const auto& c : cases) {
        SegmentDesc* segs = reinterpret_cast<SegmentDesc*>(0x1);
        int count = -7;
        EXPECT_EQ(DecompressSegmentDesc(c.block.data(), static_cast<int>(c.block.size()), &segs, &count), 0)
            << c.what;
        EXPECT_EQ(segs, reinterpret_cast<SegmentDesc*>(0x1)) << c.what;
        EXPECT_EQ(count, -7) << c.what;
    }
    const auto good = Block(1, {2}, {4, 5});
    SegmentDesc* segs = nullptr;
    int count = 0;
    EXPECT_EQ(DecompressSegmentDesc(good.data(), 0, &segs, &count), 0);
    EXPECT_EQ(DecompressSegmentDesc(nullptr, 20, &segs, &count), 0);
    EXPECT_EQ(DecompressSegmentDesc(good.data(), static_cast<int>(good.size()), nullptr, &count), 0);
    // A trailing partial point is ignored.
    auto padded = good;
    padded.push_back(0xAB);
    ASSERT_EQ(DecompressSegmentDesc(padded.data(), static_cast<int>(padded.size()), &segs, &count), 1);
    EXPECT_EQ(count, 1);
    ExpectPoint(segs[0].pt1, 4, 5, "end point");
    delete[] segs;
}

}  // namespace

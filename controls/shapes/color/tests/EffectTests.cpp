// The envelope effect: presets, records (and the refusal of damaged ones), the warp of points and
// paths, and the inverse map the text object uses.
#include <gtest/gtest.h>

#include <cmath>

#include "EffectPart.h"
#include "RecordStreams.h"

namespace {

const double kBisection = 1.0 / (1 << 14);  // what 15 halvings leave, with a curve slope of up to 2

std::vector<BYTE> Save(const EffectValues& effect) {
    IStream* stream = NewMemoryStream();
    EXPECT_EQ(SaveEffectRecords(stream, effect), S_OK);
    std::vector<BYTE> bytes = StreamBytes(stream);
    stream->Release();
    return bytes;
}

EffectValues Custom(int count) {
    EffectValues e;
    e.id = kEffectCustom;
    e.count = count;
    for (int i = 0; i < count; ++i) {
        e.sides[i] = i % 4;
        for (int k = 0; k < 4; ++k) e.curves[i].p[k] = tagPointF{-1 + k * 2.0 / 3, 1 + 0.1 * i};
    }
    return e;
}

}  // namespace

TEST(EffectRecords, PresetWritesOnlyItsIdAndCustomWritesItsCurves) {
    EffectValues preset;
    SelectEffectPreset(preset, 5);
    EXPECT_EQ(Save(preset).size(), 12u);  // key, size, id
    const EffectValues custom = Custom(3);
    const std::vector<BYTE> bytes = Save(custom);
    EXPECT_EQ(bytes.size(), 12u + 12u + (8u + 12u) + (8u + 192u));
    CTarnPropertyBag bag;
    ASSERT_EQ(BagFromBytes(bytes, bag), S_OK);
    EffectValues loaded;
    ASSERT_EQ(LoadEffectRecords(bag, loaded), S_OK);
    EXPECT_TRUE(loaded == custom);
    EXPECT_EQ(Save(loaded), bytes);
}

TEST(EffectRecords, APresetTakesItsCurvesFromTheTableAndNamesLoadToo) {
    const long id = 10, count = 1;
    const long side = 3;
    RecordWriter w;
    w.Named("EffectId", id);
    CTarnPropertyBag bag;
    ASSERT_EQ(BagFromBytes(w.bytes, bag), S_OK);
    EffectValues loaded;
    ASSERT_EQ(LoadEffectRecords(bag, loaded), S_OK);
    EXPECT_EQ(loaded.count, 2);
    EXPECT_EQ(loaded.curves[0].p[1].y, 0.5);
    // A custom effect written by name (as another writer may) loads its curves from the stream.
    const EffectCurve curve{{{-1, -1}, {-1, 0}, {-1, 0.5}, {-0.5, 1}}};
    RecordWriter named;
    const long custom = kEffectCustom;
    named.Named("EffectId", custom).Named("#ofCurves", count).Named("CurveSides", side).Named("Curves", curve);
    CTarnPropertyBag bag2;
    ASSERT_EQ(BagFromBytes(named.bytes, bag2), S_OK);
    EffectValues fromNames;
    ASSERT_EQ(LoadEffectRecords(bag2, fromNames), S_OK);
    EXPECT_EQ(fromNames.count, 1);
    EXPECT_EQ(fromNames.sides[0], 3);
    EXPECT_EQ(fromNames.curves[0].p[3].x, -0.5);
}

TEST(EffectRecords, DamagedRecordsAreRefusedAndChangeNothing) {
    const long badHigh = 15, badLow = -2, custom = kEffectCustom, tooMany = 11, negative = -1, three = 3;
    const long sides[2] = {0, 2};
    const EffectCurve curves[2] = {};
    struct Case {
        const char* what;
        RecordWriter records;
    };
    std::vector<Case> cases(5);
    cases[0] = {"id 15", RecordWriter().Id(0x40040001, badHigh)};
    cases[1] = {"id -2", RecordWriter().Id(0x40040001, badLow)};
    cases[2] = {"11 curves", RecordWriter().Id(0x40040001, custom).Id(0x40040002, tooMany)};
    cases[3] = {"negative count", RecordWriter().Id(0x40040001, custom).Id(0x40040002, negative)};
    cases[4] = {"short sides and curves",
                RecordWriter().Id(0x40040001, custom).Id(0x40040002, three).Id(0x40040003, sides, 8).Id(0x40040004, curves, 128)};
    for (Case& c : cases) {
        CTarnPropertyBag bag;
        ASSERT_EQ(BagFromBytes(c.records.bytes, bag), S_OK) << c.what;
        EffectValues effect;
        SelectEffectPreset(effect, 4);
        const EffectValues before = effect;
        EXPECT_EQ(LoadEffectRecords(bag, effect), STG_E_DOCFILECORRUPT) << c.what;
        EXPECT_TRUE(effect == before) << c.what;
    }
}

TEST(EffectWarp, PresetTenLowersTheTopMiddleAndKeepsCorners) {
    EffectValues e;
    SelectEffectPreset(e, 10);
    // Document orientation: y down, so the frame's top edge is y = -1.
    const tagPointF middle = WarpEffectPoint(e, tagPointF{0, -1});
    EXPECT_NEAR(middle.x, 0, kBisection);
    EXPECT_NEAR(middle.y, -0.625, kBisection);
    const tagPointF corner = WarpEffectPoint(e, tagPointF{-1, -1});
    EXPECT_NEAR(corner.x, -1, kBisection);
    EXPECT_NEAR(corner.y, -1, kBisection);
    // No effect leaves points alone.
    EffectValues none;
    none.count = 2;  // curves stored but not in use
    const tagPointF same = WarpEffectPoint(none, tagPointF{0.3, 0.7});
    EXPECT_EQ(same.x, 0.3);
    EXPECT_EQ(same.y, 0.7);
}

TEST(EffectWarp, LeftEdgeStaysAndInverseMapReturnsTheStart) {
    for (long id = 1; id <= kLastEffectPreset; ++id) {
        EffectValues e;
        SelectEffectPreset(e, id);
        bool horizontalOnly = true;
        for (int i = 0; i < e.count; ++i) horizontalOnly = horizontalOnly && (e.sides[i] == 0 || e.sides[i] == 2);
        for (double y = -0.9; y <= 0.9; y += 0.3) {
            if (horizontalOnly) EXPECT_NEAR(WarpEffectPoint(e, tagPointF{-1, y}).x, -1, 1e-12) << id;
            for (double x = -0.9; x <= 0.9; x += 0.3) {
                const tagPointF warped = WarpEffectPoint(e, tagPointF{x, y});
                const tagPointF back = InverseMapEffectPoint(e, warped);
                if (!horizontalOnly) continue;  // side curves move x, so the inverse's edges are elsewhere
                EXPECT_NEAR(back.x, x, 1e-3) << "preset " << id << " at " << x << "," << y;
                EXPECT_NEAR(back.y, y, 1e-3) << "preset " << id << " at " << x << "," << y;
            }
        }
    }
}

TEST(EffectWarp, OnePathIsSubdividedAndManyAreWarpedInPlace) {
    EffectValues e;
    SelectEffectPreset(e, 9);
    // A closed square of four lines: subdivided into cubics whose ends follow the envelope.
    CHeapArray one;
    ASSERT_TRUE(one.SetCount(1, 1));
    ASSERT_TRUE(one.AllocItems(0, 5));
    const tagPointF corners[4] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
    for (int i = 0; i < 4; ++i) {
        SegmentDesc& s = one[0].segments[i];
        s = SegmentDesc{};
        s.kind = kSegmentLine;
        s.pt1 = corners[i];
        s.pt2 = corners[(i + 1) % 4];
    }
    one[0].segments[4] = SegmentDesc{};
    one[0].segments[4].kind = kSegmentEnd;
    one[0].segments[4].pt1 = corners[0];
    CEffectPart part;
    part.SetEffectNumber(9);
    EXPECT_TRUE(part.modified);
    part.ApplyToSegments(one);
    const CHeapArrayItem& item = one[0];
    ASSERT_GT(item.segmentCount, 5);
    ASSERT_LE(item.segmentCount, 128 + 1);
    EXPECT_EQ(item.segments[item.segmentCount - 1].kind, kSegmentEnd);
    for (int i = 0; i + 1 < item.segmentCount; ++i) {
        EXPECT_EQ(item.segments[i].kind, kSegmentBezier);
        // The envelope's edges bulge out to 0.95 and pinch in to 0.5 at the sides.
        EXPECT_LE(std::fabs(item.segments[i].pt1.y), 0.95 + 1e-3) << i;
        EXPECT_LE(std::fabs(item.segments[i].pt1.x), 1 + 1e-12) << i;
    }
    // Three paths: records keep their number, lines become cubics.
    CHeapArray three;
    ASSERT_TRUE(three.SetCount(3, 1));
    for (int p = 0; p < 3; ++p) {
        ASSERT_TRUE(three.AllocItems(p, 2));
        three[p].segments[0] = SegmentDesc{};
        three[p].segments[0].kind = kSegmentLine;
        three[p].segments[0].pt1 = tagPointF{-1, 0};
        three[p].segments[0].pt2 = tagPointF{1, 0};
        three[p].segments[1] = SegmentDesc{};
        three[p].segments[1].kind = kSegmentEnd;
        three[p].segments[1].pt1 = tagPointF{1, 0};
    }
    part.ApplyToSegments(three);
    for (int p = 0; p < 3; ++p) {
        EXPECT_EQ(three[p].segmentCount, 2);
        EXPECT_EQ(three[p].segments[0].kind, kSegmentBezier);
    }
}

TEST(EffectPartState, OutOfRangeInputIsIgnored) {
    CEffectPart part;
    part.SetEffectNumber(99);
    EXPECT_EQ(part.effectNumber, 0);
    EXPECT_FALSE(part.modified);
    part.SetCurveCount(11);
    EXPECT_EQ(part.effect.count, 0);
    part.PutCurve(10, 0, EffectCurve{});
    EXPECT_FALSE(part.modified);
    part.SetEffectNumber(kEffectCustom);
    part.SetCurveCount(1);
    part.PutCurve(0, 1, EffectCurve{{{1, -1}, {1, 0}, {1, 0}, {1, 1}}});
    EXPECT_TRUE(part.modified);
    EXPECT_EQ(part.effect.sides[0], 1);
}

TEST(EffectWarp, InverseMapSurvivesEdgesThatMeet) {
    // Presets 3 and 4 bring the left and right edges together at one end of the frame.
    for (long id : {3L, 4L}) {
        EffectValues e;
        SelectEffectPreset(e, id);
        for (const tagPointF p : {tagPointF{0, -1}, tagPointF{0, 1}, tagPointF{0.5, -1}}) {
            const tagPointF back = InverseMapEffectPoint(e, p);
            EXPECT_TRUE(std::isfinite(back.x) && std::isfinite(back.y)) << id << " at " << p.x << "," << p.y;
        }
    }
}

// The colour slots' records: what a slot writes in which order, the three reading forms, the
// setter rules, and the part's drawing requests.
#include <gtest/gtest.h>

#include <cstring>

#include "ColorPart.h"
#include "RecordStreams.h"
#include "render/FillInfo.h"

namespace {

struct Record {
    long key;
    ULONG size;
};

// The keys and sizes of a record stream written by the part.
std::vector<Record> Keys(const std::vector<BYTE>& bytes) {
    std::vector<Record> out;
    size_t pos = 0;
    while (pos + 8 <= bytes.size()) {
        Record r;
        std::memcpy(&r.key, &bytes[pos], 4);
        std::memcpy(&r.size, &bytes[pos + 4], 4);
        out.push_back(r);
        pos += 8 + r.size;
    }
    EXPECT_EQ(pos, bytes.size()) << "records end exactly at the end";
    return out;
}

std::vector<BYTE> Save(const ColorSlotValues (&slots)[2]) {
    IStream* stream = NewMemoryStream();
    EXPECT_EQ(SaveColorRecords(stream, slots), S_OK);
    std::vector<BYTE> bytes = StreamBytes(stream);
    stream->Release();
    return bytes;
}

long K(int slot, int field) { return ColorRecordKey(slot, field); }

}  // namespace

TEST(ColorRecords, WriterEmitsOnlyWhatTheFillTypeAndOutlineNeedInOrder) {
    ColorSlotValues fresh[2] = {ColorSlotValues::Defaults(0), ColorSlotValues::Defaults(1)};
    ColorSlotValues linear[2] = {ColorSlotValues::Defaults(0), ColorSlotValues::Defaults(1)};
    linear[0].fillType = kFillLinear;
    linear[0].gradParamType = 1;
    linear[0].bound[1] = tagPointF{1, 0.5};  // bound 0 and 2 stay at their defaults
    linear[0].gradDensity = 2;
    linear[0].gradAngle = 45;
    linear[0].gradCX = 30;  // an elliptic value: not written for a linear fill
    linear[0].hasOutline = 1;
    ColorSlotValues elliptic[2] = {ColorSlotValues::Defaults(0), ColorSlotValues::Defaults(1)};
    elliptic[1].fillType = kFillElliptic;
    elliptic[1].gradCY = -20;
    elliptic[1].gradCyclic = 0;
    elliptic[1].gradType = 1;
    elliptic[1].gradAngle = 10;  // a linear value: not written for an elliptic fill
    struct Case {
        const char* what;
        ColorSlotValues* slots;
        std::vector<Record> expected;
    } const cases[] = {
        {"new part", fresh, {{K(0, 2), 4}, {K(0, 3), 4}, {K(0, 20), 4}, {K(1, 2), 4}, {K(1, 20), 4}}},
        {"linear by bounds with outline",
         linear,
         {{K(0, 2), 4}, {K(0, 6), 4}, {K(0, 9), 8}, {K(0, 10), 8}, {K(0, 4), 4}, {K(0, 5), 4}, {K(0, 13), 8},
          {K(0, 16), 8}, {K(0, 20), 4}, {K(0, 21), 8}, {K(0, 22), 4}, {K(0, 23), 4}, {K(1, 2), 4}, {K(1, 20), 4}}},
        {"elliptic mask",
         elliptic,
         {{K(0, 2), 4}, {K(0, 3), 4}, {K(0, 20), 4}, {K(1, 2), 4}, {K(1, 4), 4}, {K(1, 5), 4}, {K(1, 14), 4},
          {K(1, 15), 4}, {K(1, 19), 8}, {K(1, 20), 4}}},
    };
    for (const Case& c : cases) {
        ColorSlotValues (&slots)[2] = *reinterpret_cast<ColorSlotValues(*)[2]>(c.slots);
        const std::vector<Record> got = Keys(Save(slots));
        ASSERT_EQ(got.size(), c.expected.size()) << c.what;
        for (size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].key, c.expected[i].key) << c.what << " record " << i;
            EXPECT_EQ(got[i].size, c.expected[i].size) << c.what << " record " << i;
        }
    }
}

TEST(ColorRecords, SaveLoadSaveIsByteIdentical) {
    ColorSlotValues slots[2] = {ColorSlotValues::Defaults(0), ColorSlotValues::Defaults(1)};
    slots[0].fillType = kFillElliptic;
    slots[0].gradParamType = 1;
    slots[0].bound[0] = tagPointF{0.25, -0.75};
    slots[0].bound[2] = tagPointF{0.1, 0.9};
    slots[0].color1 = 0x123456;
    slots[0].gradCX = -12.5;
    slots[0].hasOutline = 1;
    slots[0].outlineWidth = 0.03125;
    slots[0].outlineColor = 0x0000FF;
    slots[0].outlineStyle = 3;
    slots[1].fillType = kFillSolid;
    slots[1].color = 0x80;
    const std::vector<BYTE> first = Save(slots);
    CTarnPropertyBag bag;
    ASSERT_EQ(BagFromBytes(first, bag), S_OK);
    ColorSlotValues loaded[2] = {ColorSlotValues::Defaults(0), ColorSlotValues::Defaults(1)};
    EXPECT_TRUE(LoadColorRecords(bag, loaded));
    EXPECT_TRUE(loaded[0] == slots[0]);
    EXPECT_TRUE(loaded[1] == slots[1]);
    EXPECT_EQ(Save(loaded), first);
}

TEST(ColorRecords, OneSlotFormGoesToSlotZeroByNameOnly) {
    const long solid = kFillSolid, outline = 1;
    const COLORREF red = 0x0000FF;
    const double density = 3;
    const tagPointF bound{5, 5};
    // The one-slot form has no bound points and no keys: a keyed slot-1 record is ignored.
    RecordWriter w;
    w.Named("FillType", solid).Named("Color", red).Named("GradDensity", density).Named("Outline", outline);
    w.Named("Bound1x", bound.x).Id(K(1, 2), solid);
    CTarnPropertyBag bag;
    ASSERT_EQ(BagFromBytes(w.bytes, bag), S_OK);
    ColorSlotValues slots[2] = {ColorSlotValues::Defaults(0), ColorSlotValues::Defaults(1)};
    EXPECT_TRUE(LoadColorRecords(bag, slots));
    EXPECT_EQ(slots[0].color, red);
    EXPECT_EQ(slots[0].gradDensity, 3);
    EXPECT_EQ(slots[0].hasOutline, 1);
    EXPECT_EQ(slots[0].bound[1].x, 1) << "no bound points in the one-slot form";
    EXPECT_TRUE(slots[1] == ColorSlotValues::Defaults(1));
}

TEST(ColorRecords, SuffixedNamesLoadEachSlotAndKeysWinOverNames) {
    const long linear = kFillLinear, solid = kFillSolid;
    const COLORREF named = 0x111111, keyed = 0x222222;
    const double y = 0.5;
    RecordWriter w;
    w.Named("FillType_1", linear).Named("Bound2y_1", y).Named("Color_0", named).Id(K(0, 3), keyed).Id(K(0, 2), solid);
    CTarnPropertyBag bag;
    ASSERT_EQ(BagFromBytes(w.bytes, bag), S_OK);
    ColorSlotValues slots[2] = {ColorSlotValues::Defaults(0), ColorSlotValues::Defaults(1)};
    EXPECT_TRUE(LoadColorRecords(bag, slots));
    EXPECT_EQ(slots[0].color, keyed);
    EXPECT_EQ(slots[1].fillType, kFillLinear);
    EXPECT_EQ(slots[1].bound[2].y, 0.5);
    EXPECT_EQ(slots[1].bound[2].x, 0) << "a missing record keeps its value";
}

TEST(ColorRecords, RecordsAreTakenAtTheirFieldsWidth) {
    const BYTE shortFill[1] = {3};
    const BYTE longColor[12] = {1, 2, 3, 0, 9, 9, 9, 9, 9, 9, 9, 9};
    RecordWriter w;
    w.Id(K(0, 2), shortFill, 1).Id(K(0, 3), longColor, 12).Id(K(0, 21), shortFill, 0);
    CTarnPropertyBag bag;
    ASSERT_EQ(BagFromBytes(w.bytes, bag), S_OK);
    ColorSlotValues slots[2] = {ColorSlotValues::Defaults(0), ColorSlotValues::Defaults(1)};
    slots[0].outlineWidth = 0.5;
    LoadColorRecords(bag, slots);
    EXPECT_EQ(slots[0].fillType, 3);
    EXPECT_EQ(slots[0].color, 0x030201u);
    EXPECT_EQ(slots[0].outlineWidth, 0.5) << "an empty record changes nothing";
    EXPECT_EQ(slots[0].outlineColor, 0u) << "the neighbour of an overlong record is untouched";
}

TEST(ColorRules, ClampsAndAngleReduction) {
    bool clamped = false;
    EXPECT_EQ(ClampGradientCX(600, &clamped), 500);
    EXPECT_TRUE(clamped);
    EXPECT_EQ(ClampGradientCY(600), 100);
    EXPECT_EQ(ClampGradientCY(-600), -100);
    EXPECT_EQ(ClampGradientDensity(0), 0.1);
    EXPECT_EQ(ClampGradientDensity(80), 50);
    EXPECT_EQ(ClampOutlineWidth(2), 1);
    EXPECT_EQ(ClampOutlineWidth(0.5, &clamped), 0.5);
    EXPECT_FALSE(clamped);
    EXPECT_DOUBLE_EQ(ReduceGradientAngle(-30), 330);
    EXPECT_EQ(ReduceGradientAngle(720), 0);
    EXPECT_EQ(ReduceGradientAngle(360), 0);
    const double tiny = ReduceGradientAngle(-1e-20);
    EXPECT_TRUE(tiny >= 0 && tiny < 360) << tiny;
}

TEST(ColorPartDrawing, ZeroWidthOutlineIsOnePixelAndLoadingMarksThePart) {
    CColorPart part;
    FillInfo fill;
    EXPECT_FALSE(part.PrepareStroke(fill, 96));
    part.slots[0].hasOutline = 1;
    part.slots[0].outlineColor = 0x00FF00;
    ASSERT_TRUE(part.PrepareStroke(fill, 96));
    EXPECT_EQ(fill.OutlineWidth, 1.0);
    EXPECT_EQ(fill.OutlineColor, 0x00FF00u);
    ASSERT_TRUE(part.PrepareStroke(fill, 96, true));
    EXPECT_EQ(fill.OutlineWidth, 0.15) << "a thumbnail's hairline";
    part.slots[0].outlineStyle = 2;
    part.PrepareStroke(fill, 96);
    EXPECT_EQ(fill.OutlineType, OutlineDot) << "stroke styles follow 'none'";
    part.slots[0].outlineWidth = 0.25;
    part.PrepareStroke(fill, 96);
    EXPECT_EQ(fill.OutlineWidth, 24.0);
    part.slots[0].fillType = kFillNone;
    part.PrepareFill(fill);
    EXPECT_EQ(fill.FillType, ::FillNone);

    IStream* stream = NewMemoryStream();
    ASSERT_EQ(part.SaveProperties(stream), S_OK);
    const std::vector<BYTE> bytes = StreamBytes(stream);
    stream->Release();
    CColorPart copy;
    CTarnPropertyBag bag;
    ASSERT_EQ(BagFromBytes(bytes, bag), S_OK);
    EXPECT_EQ(copy.LoadProperties(bag), S_OK);
    EXPECT_TRUE(copy.modified && copy.geometryChanged);
    EXPECT_TRUE(copy.IsEqual(part, false));
    copy.slots[0].outlineColor = 0;
    EXPECT_FALSE(copy.IsEqual(part, false));
    EXPECT_TRUE(copy.IsEqual(part, true));
}

TEST(ColorPartSetters, RulesFlagsAndTheCurrentSlot) {
    CColorPart part;
    part.SetGradientAngleValue(-30);
    EXPECT_DOUBLE_EQ(part.slots[0].gradAngle, 330);
    part.SetGradientAngleValue(720);
    EXPECT_EQ(part.slots[0].gradAngle, 0);
    EXPECT_TRUE(part.SetGradientCXValue(600));
    EXPECT_EQ(part.slots[0].gradCX, 500);
    EXPECT_TRUE(part.SetGradientCYValue(600));
    EXPECT_EQ(part.slots[0].gradCY, 100) << "CY clamps to 100, not 500";
    EXPECT_TRUE(part.SetGradientDensityValue(0));
    EXPECT_EQ(part.slots[0].gradDensity, 0.1);
    EXPECT_FALSE(part.geometryChanged) << "none of these reshapes the drawing";
    EXPECT_FALSE(part.SetOutlineWidthValue(0.5));
    EXPECT_TRUE(part.geometryChanged) << "a new outline width does";
    EXPECT_TRUE(part.SetOutlineWidthValue(3));
    EXPECT_EQ(part.slots[0].outlineWidth, 1);

    // Geometry-changed flags follow the table: fill type moves in and out of linear or no fill.
    struct Case {
        long from, to;
        bool changes;
    } const fills[] = {{kFillSolid, kFillElliptic, false}, {kFillSolid, kFillLinear, true},
                       {kFillLinear, kFillElliptic, true}, {kFillSolid, kFillNone, true},
                       {kFillElliptic, kFillSolid, false}};
    for (const Case& c : fills) {
        CColorPart p;
        p.slots[0].fillType = c.from;
        p.SetFillTypeValue(c.to);
        EXPECT_EQ(p.geometryChanged, c.changes) << c.from << " to " << c.to;
        EXPECT_TRUE(p.modified);
    }
    // Parent angle, parameter type and bound points do not mark the part modified.
    CColorPart quiet;
    quiet.currentSlot = 1;
    quiet.SetParentAngleValue(10);
    quiet.SetGradParamTypeValue(1);
    quiet.SetGradBoundValue(2, tagPointF{3, 4});
    quiet.SetGradBoundValue(3, tagPointF{5, 6});  // no such bound point
    EXPECT_FALSE(quiet.modified);
    EXPECT_EQ(quiet.slots[1].bound[2].x, 3);
    EXPECT_EQ(quiet.slots[0].gradParamType, 0) << "setters work on the current slot";
    quiet.SetColorValue(0x80);
    EXPECT_TRUE(quiet.modified);
    EXPECT_EQ(quiet.slots[1].color, 0x80u);
}

TEST(ColorComparison, ObjectsToleranceOnBoundsAndSnapshotsByFillType) {
    ColorSlotValues a = ColorSlotValues::Defaults(0), b = a;
    b.bound[1].x += 5e-7;
    EXPECT_TRUE(SameSlotValues(a, b)) << "bound points within 1e-6";
    b.bound[1].x += 1e-6;
    EXPECT_FALSE(SameSlotValues(a, b));
    b = a;
    b.gradCX = 1;  // unused by a solid fill, but a value of the object
    EXPECT_FALSE(SameSlotValues(a, b));
    EXPECT_TRUE(EquivalentSlotValues(a, b, false)) << "a snapshot of a solid fill compares its colour";
    b.color = 1;
    EXPECT_FALSE(EquivalentSlotValues(a, b, false));

    struct Case {
        const char* what;
        long fillType, paramType;
        void (*change)(ColorSlotValues&);
        bool equal;
    } const cases[] = {
        {"linear angle", kFillLinear, 0, [](ColorSlotValues& v) { v.gradAngle += 1e-11; }, true},
        {"linear angle", kFillLinear, 0, [](ColorSlotValues& v) { v.gradAngle += 1e-9; }, false},
        {"linear ignores CX", kFillLinear, 0, [](ColorSlotValues& v) { v.gradCX = 5; }, true},
        {"linear by bounds ignores angle", kFillLinear, 1, [](ColorSlotValues& v) { v.gradAngle = 9; }, true},
        {"linear by bounds ignores bound 2", kFillLinear, 1, [](ColorSlotValues& v) { v.bound[2].x = 9; }, true},
        {"elliptic by bounds uses bound 2", kFillElliptic, 1, [](ColorSlotValues& v) { v.bound[2].x = 9; }, false},
        {"elliptic CY", kFillElliptic, 0, [](ColorSlotValues& v) { v.gradCY = 1; }, false},
        {"gradient cyclic", kFillElliptic, 0, [](ColorSlotValues& v) { v.gradCyclic = 0; }, false},
        {"no fill ignores colour", kFillNone, 0, [](ColorSlotValues& v) { v.color = 7; }, true},
        {"outline off ignores its colour", kFillNone, 0, [](ColorSlotValues& v) { v.outlineColor = 7; }, true},
        {"outline switched on", kFillNone, 0, [](ColorSlotValues& v) { v.hasOutline = 1; }, false},
    };
    for (const Case& c : cases) {
        ColorSlotValues x = ColorSlotValues::Defaults(0);
        x.fillType = c.fillType;
        x.gradParamType = c.paramType;
        ColorSlotValues y = x;
        c.change(y);
        EXPECT_EQ(EquivalentSlotValues(x, y, false), c.equal) << c.what;
    }
    ColorSlotValues outlined = ColorSlotValues::Defaults(0), other = outlined;
    outlined.hasOutline = 1;
    EXPECT_TRUE(EquivalentSlotValues(outlined, other, true)) << "outline ignored";
}

// Damaged colour and effect streams load or are refused: no crash, and an effect that loads stays
// within its fields (id -1..14, at most ten curves).
#include <gtest/gtest.h>

#include <random>

#include "ColorValues.h"
#include "EffectValues.h"
#include "RecordStreams.h"

namespace {

std::vector<BYTE> SampleStream() {
    ColorSlotValues slots[2] = {ColorSlotValues::Defaults(0), ColorSlotValues::Defaults(1)};
    slots[0].fillType = kFillLinear;
    slots[0].gradParamType = 1;
    slots[0].bound[2] = tagPointF{0.5, 0.5};
    slots[0].hasOutline = 1;
    slots[1].fillType = kFillElliptic;
    slots[1].gradCX = 20;
    EffectValues effect;
    effect.id = kEffectCustom;
    effect.count = 3;
    IStream* stream = NewMemoryStream();
    SaveColorRecords(stream, slots);
    SaveEffectRecords(stream, effect);
    WriteRecordTerminator(stream);
    std::vector<BYTE> bytes = StreamBytes(stream);
    stream->Release();
    return bytes;
}

}  // namespace

TEST(MutatedRecords, TenThousandDamagedStreamsLoadOrAreRefused) {
    const std::vector<BYTE> sample = SampleStream();
    std::mt19937 rng(22);
    int loaded = 0, refused = 0;
    for (int i = 0; i < 10000; ++i) {
        std::vector<BYTE> bytes = sample;
        const int edits = 1 + static_cast<int>(rng() % 4);
        for (int e = 0; e < edits; ++e) {
            const size_t at = rng() % bytes.size();
            switch (rng() % 4) {
            case 0: bytes[at] = static_cast<BYTE>(rng()); break;
            case 1: bytes[at] ^= static_cast<BYTE>(1u << (rng() % 8)); break;
            case 2: bytes.resize(at + 1); break;  // truncated
            default: bytes.insert(bytes.begin() + at, static_cast<BYTE>(rng())); break;
            }
        }
        IStream* stream = StreamOf(bytes);
        CTarnPropertyBag bag;
        const HRESULT read = bag.ReadFrom(stream);
        stream->Release();
        if (FAILED(read)) {
            ++refused;
            continue;
        }
        ColorSlotValues slots[2] = {ColorSlotValues::Defaults(0), ColorSlotValues::Defaults(1)};
        LoadColorRecords(bag, slots);
        EffectValues effect;
        if (FAILED(LoadEffectRecords(bag, effect))) {
            ++refused;
            continue;
        }
        ++loaded;
        ASSERT_GE(effect.id, kEffectCustom) << i;
        ASSERT_LE(effect.id, kLastEffectPreset) << i;
        ASSERT_GE(effect.count, 0) << i;
        ASSERT_LE(effect.count, kMostEffectCurves) << i;
        WarpEffectPoint(effect, tagPointF{0.25, -0.5});
    }
    EXPECT_GT(loaded, 100);
    EXPECT_GT(refused, 100);
}

// Fill and picture records whose controls cannot be made here are kept and written back as read.
#include <gtest/gtest.h>

#include <vector>

#include "BackgroundParams.h"
#include "Persistent.h"
#include "StreamHelpers.h"

namespace {

// A record naming a class nobody registered, followed by that class's own bytes.
const unsigned char kForeignFill[] = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88, 0x99, 0xAA, 0xBB, 0xCC,
                                      0xDD, 0xEE, 0xF0, 0x01, 'f', 'i', 'l', 'l', 1, 2, 3};
const unsigned char kForeignImage[] = {0x21, 0x32, 0x43, 0x54, 0x65, 0x76, 0x87, 0x98, 0xA9, 0xBA, 0xCB, 0xDC,
                                       0xED, 0xFE, 0x0F, 0x10, 'p', 'i', 'c'};

// Parameters written by a program that had the fill and picture classes.
class CParamsFromElsewhere : public CBackgroundParams {
public:
    HRESULT SaveControlProperties(IStream* stream) override
    {
        HRESULT hr = __SaveProp(stream, "FILL_CONTROL", kForeignFill, sizeof kForeignFill, false);
        if (SUCCEEDED(hr)) hr = __SaveProp(stream, "IMAGE_CONTROL", kForeignImage, sizeof kForeignImage, false);
        return hr;
    }
};

struct ComScope {
    ComScope() { CoInitialize(nullptr); }
    ~ComScope() { CoUninitialize(); }
};

TEST(BackgroundKeptRecords, UnloadableControlRecordsAreWrittenBackUnchanged)
{
    ComScope com;
    CParamsFromElsewhere original;
    original.m_color = 0x336699;
    const auto written = ArchiveBytes([&](CArchive& ar) { original.Serialize(ar); });

    CBackgroundParams loaded;
    ReadArchive(written, [&](CArchive& ar) { loaded.Serialize(ar); });
    EXPECT_EQ(nullptr, loaded.m_fillControl);
    EXPECT_EQ(nullptr, loaded.m_imageControl);
    EXPECT_EQ(written, ArchiveBytes([&](CArchive& ar) { loaded.Serialize(ar); }));

    // A copy keeps them too, and counts as equal.
    CBackgroundParams copy;
    copy.Duplicate(&loaded);
    EXPECT_TRUE(copy.Equal(loaded));
    EXPECT_EQ(written, ArchiveBytes([&](CArchive& ar) { copy.Serialize(ar); }));

    // A control set in its place replaces the kept record: here none, so an empty record.
    loaded.SetFillControl(nullptr);
    EXPECT_FALSE(copy.Equal(loaded));
    const auto replaced = ArchiveBytes([&](CArchive& ar) { loaded.Serialize(ar); });
    EXPECT_EQ(written.size() - sizeof kForeignFill, replaced.size());
}

}  // namespace

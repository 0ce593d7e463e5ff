// Page background: stored records, the sheet's geometry and the pixel arithmetic of drawing.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "BackgroundGeometry.h"
#include "ClException.h"
#include "StreamHelpers.h"
#include "TarnBackground.h"

namespace {

struct ComScope {
    ComScope() { CoInitialize(nullptr); }
    ~ComScope() { CoUninitialize(); }
};

// Names of the named records of one record list, in stream order.
std::vector<std::string> RecordNames(const std::vector<unsigned char>& bytes)
{
    std::vector<std::string> names;
    size_t at = 0;
    auto u32 = [&](size_t pos) {
        DWORD v = 0;
        (void)bytes.at(pos + 3);
        std::memcpy(&v, bytes.data() + pos, 4);
        return v;
    };
    for (;;) {
        const DWORD key = u32(at);
        at += 4;
        if (key == 0)
            break;
        names.emplace_back(reinterpret_cast<const char*>(&bytes.at(at)), key);
        at += key;
        at += 4 + u32(at);
    }
    EXPECT_EQ(at, bytes.size());
    return names;
}

TEST(BackgroundParams, NewSheetHasDocumentedDefaults)
{
    CTarnBackground background;
    background.InitNew();
    const CBackgroundParams& p = *background.GetParams();
    EXPECT_EQ(CRectF(0, 0, 6.5, 9), p.m_rect);
    EXPECT_EQ(CRectF(1, 1, 1, 1), p.m_margins);
    EXPECT_EQ(0xFFFFFF, p.m_color);
    EXPECT_EQ(1, p.m_printOutline);
    EXPECT_EQ(0, p.m_printBackground);
    EXPECT_EQ(kImageNone, p.m_imageType);
    EXPECT_EQ(1.0, p.m_imageWidth);
    EXPECT_EQ(1.0, p.m_imageHeight);
    EXPECT_EQ(1, p.m_keepAspectRatio);
    EXPECT_EQ(CRectF(-1, -1, 7.5, 10), background.GetBoundingRect(1));
}

TEST(BackgroundParams, RecordsAreWrittenInStoredOrder)
{
    CBackgroundParams params;
    const auto bytes = ArchiveBytes([&](CArchive& ar) { params.Serialize(ar); });
    const std::vector<std::string> expected = {
        "RECT_LEFT", "RECT_TOP", "RECT_RIGHT", "RECT_BOTTOM", "MARGIN_LEFT", "MARGIN_TOP", "MARGIN_RIGHT",
        "MARGIN_BOTTOM", "USEWINDOWCOLOR", "COLOR", "PRINTBACKGROUND", "PRINTOUTLINE", "FILL_CONTROL",
        "IMAGE_CONTROL", "IMAGESIZE_CX", "IMAGESIZE_CY", "KAR", "IMAGETYPE"};
    EXPECT_EQ(expected, RecordNames(bytes));
}

TEST(BackgroundParams, ValuesSurviveSaveAndLoad)
{
    ComScope com;
    CTarnBackground saved;
    saved.InitNew();
    saved.ProcessPageSetupData(5.0, 7.0, CRectF(0.5, 0.25, 0.75, 1.0));
    saved.SetColor(0x123456, TRUE);
    saved.SetImageLayout(kImageTiled, 0.5, 0.75, FALSE);
    saved.SetPrintBackground(TRUE);
    saved.SetPrintOutline(FALSE);
    const auto bytes = ArchiveBytes([&](CArchive& ar) { saved.Serialize(ar); });

    CTarnBackground loaded;
    ReadArchive(bytes, [&](CArchive& ar) { loaded.Serialize(ar); });
    const CBackgroundParams& p = *loaded.GetParams();
    EXPECT_EQ(CRectF(0, 0, 3.75, 5.75), p.m_rect);
    EXPECT_EQ(CRectF(0.5, 0.25, 0.75, 1.0), p.m_margins);
    EXPECT_EQ(0x123456, p.m_color);
    EXPECT_EQ(1, p.m_useWindowColor);
    EXPECT_EQ(kImageTiled, p.m_imageType);
    EXPECT_EQ(0.5, p.m_imageWidth);
    EXPECT_EQ(0.75, p.m_imageHeight);
    EXPECT_EQ(0, p.m_keepAspectRatio);
    EXPECT_EQ(1, p.m_printBackground);
    EXPECT_EQ(0, p.m_printOutline);
    // The same values give the same bytes.
    EXPECT_EQ(bytes, ArchiveBytes([&](CArchive& ar) { loaded.Serialize(ar); }));
}

TEST(BackgroundParams, UnknownImageLayoutLoadsAsNone)
{
    CBackgroundParams params;
    params.m_imageType = 7;
    const auto bytes = ArchiveBytes([&](CArchive& ar) { params.Serialize(ar); });
    CBackgroundParams loaded;
    loaded.m_imageType = kImageTiled;
    ReadArchive(bytes, [&](CArchive& ar) { loaded.Serialize(ar); });
    EXPECT_EQ(kImageNone, loaded.m_imageType);
}

TEST(BackgroundParams, DamagedControlRecordLeavesNoControl)
{
    ComScope com;
    const unsigned char garbage[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18};
    EXPECT_EQ(nullptr, LoadControlRecord(garbage, sizeof garbage));
    EXPECT_EQ(nullptr, LoadControlRecord(garbage, 3));
    EXPECT_EQ(nullptr, LoadControlRecord(nullptr, 0));
}

TEST(BackgroundParams, TruncatedRecordsAreRefused)
{
    CBackgroundParams params;
    const auto bytes = ArchiveBytes([&](CArchive& ar) { params.Serialize(ar); });
    for (size_t cut : {size_t(0), size_t(3), size_t(20), bytes.size() / 2, bytes.size() - 1}) {
        std::vector<unsigned char> shortBytes(bytes.begin(), bytes.begin() + cut);
        CBackgroundParams loaded;
        bool refused = false;
        try {
            ReadArchive(shortBytes, [&](CArchive& ar) { loaded.Serialize(ar); });
        } catch (CException* e) {
            e->Delete();
            refused = true;
        }
        EXPECT_TRUE(refused) << "cut at " << cut;
    }
}

TEST(BackgroundGeometry, ContourWithCentreLines)
{
    CTarnBackground background;
    background.InitNew();
    SegmentDesc* segs = nullptr;
    ASSERT_EQ(5, background.GetContourLines(segs, 0));
    EXPECT_EQ(kSegmentEnd, segs[4].kind);
    delete[] segs;
    ASSERT_EQ(9, background.GetContourLines(segs, 1));
    EXPECT_EQ(kSegmentLine, segs[5].kind);
    EXPECT_EQ(-200.0, segs[5].pt1.x);
    EXPECT_EQ(200.0, segs[5].pt2.x);
    EXPECT_EQ(4.5, segs[5].pt1.y);
    EXPECT_EQ(kSegmentEnd, segs[6].kind);
    EXPECT_EQ(3.25, segs[7].pt1.x);
    EXPECT_EQ(-200.0, segs[7].pt1.y);
    EXPECT_EQ(kSegmentEnd, segs[8].kind);
    delete[] segs;
}

TEST(BackgroundGeometry, ShadowShrinksOnNarrowSheets)
{
    struct Case {
        double width, height, expectX, expectY;
    } cases[] = {{1.0, 1.0, 0.25, 0.25}, {0.4, 3.0, 0.1, 0.25}, {3.0, 0.2, 0.25, 0.05}, {0.0, 0.0, 0.0, 0.0}};
    for (const Case& c : cases) {
        const CSizeF shadow = ShadowExtent(CRectF(0, 0, c.width, c.height), 0.25);
        EXPECT_DOUBLE_EQ(c.expectX, shadow.cx) << c.width;
        EXPECT_DOUBLE_EQ(c.expectY, shadow.cy) << c.height;
    }
}

TEST(BackgroundGeometry, OnePixelPictureGrowsByFiniteAmount)
{
    struct Case {
        SIZE pixels;
        double u, v;
    } cases[] = {{{11, 21}, 0.1, 0.1}, {{1, 1}, 1.0, 2.0}, {{0, 2}, 1.0, 2.0}};
    for (const Case& c : cases) {
        const CRectF grown = GrowByOneSourcePixel(CRectF(0, 0, 1, 2), c.pixels);
        EXPECT_TRUE(std::isfinite(grown.left) && std::isfinite(grown.top));
        EXPECT_DOUBLE_EQ(-c.u, grown.left) << c.pixels.cx;
        EXPECT_DOUBLE_EQ(1 + c.u, grown.right);
    }
}

TEST(BackgroundGeometry, CenteredPictureSitsOnSheetCentre)
{
    const CRectF picture = CenteredPicture(CRectF(0, 0, 6, 4), 2, 1);
    EXPECT_EQ(CRectF(2, 1.5, 4, 2.5), picture);
}

TEST(BackgroundGeometry, MarginBandsCoverOnlyTheMargins)
{
    const RECT update = {-1000, -1000, 1000, 1000};
    auto bands = MarginBands(CRectF(0, 0, 100, 200), CRectF(10, 20, 90, 180), update);
    ASSERT_EQ(4u, bands.size());
    long area = 0;
    for (const RECT& r : bands)
        area += (r.right - r.left) * (r.bottom - r.top);
    EXPECT_EQ(100 * 200 - 80 * 160, area);
    // No margins: no band; an update rectangle inside the sheet: no band.
    EXPECT_TRUE(MarginBands(CRectF(0, 0, 100, 200), CRectF(0, 0, 100, 200), update).empty());
    EXPECT_TRUE(MarginBands(CRectF(0, 0, 100, 200), CRectF(10, 20, 90, 180), RECT{20, 30, 80, 170}).empty());
}

TEST(BackgroundGeometry, TileCountsNeverDivideByNothing)
{
    const RECT update = {0, 0, 500, 300};
    struct Case {
        double scale;
        CSizeF tile;
        SIZE pixels;
        bool tiles;
    } cases[] = {
        {100, CSizeF(1, 1), {10, 10}, true}, {100, CSizeF(0, 1), {10, 10}, false},
        {100, CSizeF(1, 1), {0, 10}, false}, {0, CSizeF(1, 1), {10, 10}, false},
        {100, CSizeF(1, 1), {1, 1}, true},
    };
    for (const Case& c : cases) {
        const SIZE n = TileCounts(update, c.scale, c.tile, c.pixels);
        if (c.tiles) {
            EXPECT_GE(n.cx, 2);
            EXPECT_GE(n.cy, 2);
        } else {
            EXPECT_EQ(0, n.cx);
            EXPECT_EQ(0, n.cy);
        }
    }
    const SIZE n = TileCounts(update, 100, CSizeF(1, 1), SIZE{10, 10});
    EXPECT_EQ(6, n.cx);
    EXPECT_EQ(4, n.cy);
}

TEST(BackgroundGeometry, TiledBitmapStaysUnderSizeCap)
{
    struct Case {
        SIZE counts, pixels, expected;
    } cases[] = {
        {{100, 3}, {100, 100}, {12, 3}},
        {{5000000, 5000000}, {1, 1}, {1200, 1200}},
        {{3, 3}, {5000, 5000}, {2, 2}},
        {{4, 4}, {10, 10}, {4, 4}},
    };
    for (const Case& c : cases) {
        const SIZE limited = LimitTileCounts(c.counts, c.pixels);
        EXPECT_EQ(c.expected.cx, limited.cx);
        EXPECT_EQ(c.expected.cy, limited.cy);
    }
}

// A reference-counted stand-in for a rendered sheet.
struct CountedSheet : IUnknown {
    LONG refs = 1;
    STDMETHOD(QueryInterface)(REFIID, void**) override { return E_NOINTERFACE; }
    STDMETHOD_(ULONG, AddRef)() override { return ++refs; }
    STDMETHOD_(ULONG, Release)() override { return --refs; }
};

TEST(TileImageCache, FifthZoomEvictsLeastRecentlyUsed)
{
    CountedSheet sheets[5];
    CTileImageCache cache;
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(nullptr, cache.Lookup(i + 1.0));
        cache.Insert(i + 1.0, &sheets[i]);
    }
    // Zoom 1 is used again, so zoom 2 is now the oldest.
    EXPECT_EQ(&sheets[0], cache.Lookup(1.0));
    EXPECT_EQ(nullptr, cache.Lookup(5.0));
    cache.Insert(5.0, &sheets[4]);
    EXPECT_EQ(4, cache.GetCount());
    EXPECT_EQ(0, sheets[1].refs);
    EXPECT_EQ(nullptr, cache.Lookup(2.0));
    EXPECT_EQ(&sheets[0], cache.Lookup(1.0));
    cache.Clear();
    for (const CountedSheet& s : sheets)
        EXPECT_EQ(0, s.refs);
}

}  // namespace

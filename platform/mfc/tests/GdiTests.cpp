// GDI wrappers: ownership of handles, temporary wrappers, selection and drawing on a memory DC.
#include "TestResources.h"

#include <classlib.h>

#include <gtest/gtest.h>

namespace {

bool HandleAlive(HGDIOBJ h) { return ::GetObjectType(h) != 0; }

class MemoryDC : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = 16;
        info.bmiHeader.biHeight = -16;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        ASSERT_TRUE(bitmap.Attach(CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0)));
        oldBitmap = dc.SelectObject(&bitmap);
    }
    void TearDown() override
    {
        dc.SelectObject(oldBitmap);
        CGdiObject::DeleteTempMap();
        CDC::DeleteTempMap();
    }
    CDC dc;
    CBitmap bitmap;
    CBitmap* oldBitmap = nullptr;
};

TEST(GdiObjects, WrappersOwnTheirHandlesUntilDetached)
{
    HGDIOBJ owned;
    {
        CPen pen(PS_SOLID, 2, RGB(1, 2, 3));
        owned = pen.m_hObject;
        ASSERT_TRUE(HandleAlive(owned));
        EXPECT_EQ(CGdiObject::FromHandle(owned), &pen);
        LOGPEN logPen;
        ASSERT_TRUE(pen.GetLogPen(&logPen));
        EXPECT_EQ(logPen.lopnColor, RGB(1, 2, 3));
    }
    EXPECT_FALSE(HandleAlive(owned));

    HGDIOBJ kept;
    {
        CBrush brush(RGB(9, 9, 9));
        kept = brush.Detach();
    }
    EXPECT_TRUE(HandleAlive(kept));
    ::DeleteObject(kept);

    // Making an object again frees the first handle.
    CBrush brush;
    ASSERT_TRUE(brush.CreateSolidBrush(RGB(1, 1, 1)));
    HGDIOBJ first = brush.m_hObject;
    ASSERT_TRUE(brush.CreateHatchBrush(HS_CROSS, RGB(2, 2, 2)));
    EXPECT_FALSE(HandleAlive(first));
}

TEST(GdiObjects, TemporaryWrappersHaveTheHandlesKindAndNeverDeleteIt)
{
    struct Case { int stock; const CRuntimeClass* cls; };
    const Case cases[] = {
        {WHITE_BRUSH, RUNTIME_CLASS(CBrush)}, {BLACK_PEN, RUNTIME_CLASS(CPen)},
        {SYSTEM_FONT, RUNTIME_CLASS(CFont)}, {DEFAULT_PALETTE, RUNTIME_CLASS(CPalette)},
    };
    for (const Case& c : cases) {
        HGDIOBJ stock = ::GetStockObject(c.stock);
        CGdiObject* temp = CGdiObject::FromHandle(stock);
        ASSERT_NE(temp, nullptr);
        EXPECT_EQ(temp->GetRuntimeClass(), c.cls);
        EXPECT_EQ(CGdiObject::FromHandle(stock), temp);   // one wrapper per handle
    }
    CRgn region;
    ASSERT_TRUE(region.CreateRectRgn(0, 0, 4, 4));
    HRGN copy = ::CreateRectRgn(0, 0, 1, 1);
    CRgn* temp = CRgn::FromHandle(copy);
    EXPECT_TRUE(temp->IsKindOf(RUNTIME_CLASS(CRgn)));
    CGdiObject::DeleteTempMap();
    EXPECT_TRUE(HandleAlive(copy));
    ::DeleteObject(copy);
    EXPECT_EQ(CGdiObject::FromHandle(nullptr), nullptr);

    // Classic callers ask a possibly null wrapper for its handle.
    static CGdiObject* volatile none = nullptr;
    EXPECT_EQ(none->GetSafeHandle(), nullptr);
    static CDC* volatile noDC = nullptr;
    EXPECT_EQ(noDC->GetSafeHdc(), nullptr);
}

TEST(GdiObjects, RegionsCombineAndAnswerHitTests)
{
    CRgn a, b, both;
    ASSERT_TRUE(a.CreateRectRgn(0, 0, 10, 10));
    ASSERT_TRUE(b.CreateRectRgn(5, 5, 20, 20));
    ASSERT_TRUE(both.CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(both.CombineRgn(&a, &b, RGN_AND), SIMPLEREGION);
    CRect box;
    both.GetRgnBox(&box);
    EXPECT_EQ(box, CRect(5, 5, 10, 10));
    EXPECT_TRUE(both.PtInRegion(7, 7));
    EXPECT_FALSE(both.PtInRegion(2, 2));
    EXPECT_EQ(both.CopyRgn(&a), SIMPLEREGION);
    EXPECT_TRUE(both.EqualRgn(&a));
}

TEST_F(MemoryDC, FillSolidRectPaintsAndKeepsTheBackgroundColour)
{
    dc.SetBkColor(RGB(10, 20, 30));
    dc.FillSolidRect(2, 2, 4, 4, RGB(255, 0, 0));
    EXPECT_EQ(dc.GetPixel(3, 3), RGB(255, 0, 0));
    EXPECT_NE(dc.GetPixel(7, 7), RGB(255, 0, 0));
    EXPECT_EQ(dc.GetBkColor(), RGB(10, 20, 30));

    dc.FillSolidRect(0, 0, 16, 16, RGB(0, 0, 0));
    dc.Draw3dRect(CRect(1, 1, 9, 9), RGB(255, 255, 255), RGB(0, 0, 255));
    EXPECT_EQ(dc.GetPixel(1, 1), RGB(255, 255, 255));
    EXPECT_EQ(dc.GetPixel(8, 8), RGB(0, 0, 255));
    EXPECT_EQ(dc.GetPixel(8, 1), RGB(0, 0, 255));
    EXPECT_EQ(dc.GetPixel(4, 4), RGB(0, 0, 0));
}

TEST_F(MemoryDC, SelectionAnswersThePreviousObject)
{
    CPen red(PS_SOLID, 1, RGB(255, 0, 0));
    CPen blue(PS_SOLID, 1, RGB(0, 0, 255));
    CPen* original = dc.SelectObject(&red);
    ASSERT_NE(original, nullptr);
    EXPECT_EQ(dc.SelectObject(&blue), &red);
    dc.FillSolidRect(0, 0, 16, 16, RGB(255, 255, 255));
    dc.MoveTo(0, 5);
    dc.LineTo(16, 5);
    EXPECT_EQ(dc.GetPixel(8, 5), RGB(0, 0, 255));
    EXPECT_EQ(dc.SelectObject(original), &blue);
    EXPECT_EQ(CDC::FromHandle(dc.m_hDC), &dc);
}

TEST_F(MemoryDC, BitmapsLoadThroughTheResourceChainAndBlit)
{
    CBitmap loaded;
    ASSERT_TRUE(loaded.LoadBitmap(IDB_TEST_BITMAP));
    BITMAP info;
    ASSERT_TRUE(loaded.GetBitmap(&info));
    EXPECT_EQ(info.bmWidth, 2);
    CDC source;
    ASSERT_TRUE(source.CreateCompatibleDC(&dc));
    CBitmap* old = source.SelectObject(&loaded);
    EXPECT_TRUE(dc.BitBlt(4, 4, 2, 2, &source, 0, 0, SRCCOPY));
    source.SelectObject(old);
    EXPECT_EQ(dc.GetPixel(4, 4), RGB(255, 0, 0));
    EXPECT_EQ(dc.GetPixel(5, 4), RGB(0, 0, 255));
    EXPECT_EQ(dc.GetPixel(4, 5), RGB(0, 255, 0));

    CBitmap missing;
    EXPECT_FALSE(missing.LoadBitmap(9999));
    EXPECT_EQ(missing.m_hObject, nullptr);
}

TEST(CDCTest, TemporaryDCsDoNotDeleteTheirHandle)
{
    HDC raw = ::CreateCompatibleDC(nullptr);
    CDC* temp = CDC::FromHandle(raw);
    ASSERT_NE(temp, nullptr);
    EXPECT_EQ(temp->GetSafeHdc(), raw);
    CDC::DeleteTempMap();
    EXPECT_NE(::GetObjectType(raw), 0u);
    {
        CDC owner;
        owner.Attach(raw);
    }
    EXPECT_EQ(::GetObjectType(raw), 0u);   // an attached DC is deleted with its wrapper
}

TEST(CDCTest, PointFontHeightFollowsTheDevice)
{
    CFont font;
    ASSERT_TRUE(font.CreatePointFont(120, "Arial"));
    LOGFONTA logFont;
    ASSERT_TRUE(font.GetLogFont(&logFont));
    HDC screen = ::GetDC(nullptr);
    const int expected = -(::GetDeviceCaps(screen, LOGPIXELSY) * 120 / 720);
    ::ReleaseDC(nullptr, screen);
    EXPECT_EQ(logFont.lfHeight, expected);
    EXPECT_STREQ(logFont.lfFaceName, "Arial");
}

}  // namespace

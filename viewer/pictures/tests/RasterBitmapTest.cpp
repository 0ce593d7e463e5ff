#include "RasterBitmap.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
std::vector<BYTE> Pixel(const CRasterBitmap& bitmap, int x, int y)
{
    const int bytes = bitmap.m_bitsPerPixel / 8;
    const BYTE* at = bitmap.Row(y) + x * bytes;
    return std::vector<BYTE>(at, at + bytes);
}

// Gives every pixel distinct bytes: (x, y, x + y, 0x80 + x).
void Number(CRasterBitmap& bitmap)
{
    for (int y = 0; y < bitmap.m_height; ++y)
        for (int x = 0; x < bitmap.m_width; ++x)
        {
            BYTE* p = bitmap.Row(y) + x * (bitmap.m_bitsPerPixel / 8);
            p[0] = BYTE(x), p[1] = BYTE(y), p[2] = BYTE(x + y);
            if (bitmap.m_bitsPerPixel == 32)
                p[3] = BYTE(0x80 + x);
        }
}
} // namespace

TEST(RasterBitmap, CreateLaysOutRowsOnFourBytes)
{
    struct Case
    {
        int width, bits, bytesPerRow;
    } cases[] = {{3, 24, 12}, {1, 24, 4}, {4, 24, 12}, {3, 32, 12}, {5, 1, 4}, {33, 1, 8}};
    for (const Case& c : cases)
    {
        CRasterBitmap bitmap;
        ASSERT_EQ(bitmap.Create(c.width, 2, c.bits, 0), 0);
        EXPECT_EQ(bitmap.m_bytesPerRow, c.bytesPerRow) << c.width << "x" << c.bits;
        EXPECT_EQ(bitmap.m_size, DWORD(2 * c.bytesPerRow));
        EXPECT_EQ(bitmap.m_rowOrder, CRasterBitmap::BottomUp);
        EXPECT_TRUE(bitmap.HasPixelMemory());
    }
}

TEST(RasterBitmap, CreateRefusesSizesThatCannotBeHeld)
{
    struct Case
    {
        int width, height, bits;
    } cases[] = {{0, 1, 32}, {1, 0, 32}, {-5, 4, 32}, {4, -5, 24}, {65536, 65536, 32}, {0x7FFFFFFF, 2, 32}, {10, 10, 16}};
    for (const Case& c : cases)
    {
        CRasterBitmap bitmap;
        EXPECT_EQ(bitmap.Create(c.width, c.height, c.bits, 0), -1) << c.width << "x" << c.height;
        EXPECT_FALSE(bitmap.HasPixelMemory());
        EXPECT_EQ(bitmap.m_bits, nullptr);
    }
}

TEST(RasterBitmap, FillWritesTheDocumentedBytes)
{
    struct Case
    {
        int bits;
        DWORD value;
        std::vector<BYTE> pixel;
    } cases[] = {
        {24, 0x00112233, {0x11, 0x22, 0x33}},
        {32, 0x00FFFFFF, {0xFF, 0xFF, 0xFF, 0xFF}},
        {32, 0xFF000000, {0, 0, 0, 0}},
        {32, 0x00FF0000, {0, 0, 0, 0}},
    };
    for (const Case& c : cases)
    {
        CRasterBitmap bitmap;
        ASSERT_EQ(bitmap.Create(3, 2, c.bits, 0), 0);
        bitmap.Fill(c.value);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x)
                EXPECT_EQ(Pixel(bitmap, x, y), c.pixel) << std::hex << c.value;
    }
    CRasterBitmap mono;
    ASSERT_EQ(mono.Create(9, 2, 1, 0), 0);
    mono.Fill(1);
    EXPECT_EQ(mono.Row(1)[0], 0xFF);
    EXPECT_EQ(mono.Row(1)[1], 0xFF);
}

TEST(RasterBitmap, RowOrderChangesMoveWholePixels)
{
    struct Case
    {
        int bits, from, to;
        bool flipped, mirrored;
    } cases[] = {
        {24, CRasterBitmap::BottomUp, CRasterBitmap::TopDown, true, false},
        {32, CRasterBitmap::TopDown, CRasterBitmap::BottomUp, true, false},
        {24, CRasterBitmap::TopDownMirrored, CRasterBitmap::TopDown, false, true},
        {32, CRasterBitmap::TopDownMirrored, CRasterBitmap::TopDown, false, true},
        {32, CRasterBitmap::BottomUpMirrored, CRasterBitmap::BottomUp, false, true},
        {32, CRasterBitmap::TopDown, CRasterBitmap::TopDownMirrored, false, false},
    };
    for (const Case& c : cases)
    {
        CRasterBitmap expected, bitmap;
        ASSERT_EQ(expected.Create(5, 3, c.bits, 0, c.from), 0);
        ASSERT_EQ(bitmap.Create(5, 3, c.bits, 0, c.from), 0);
        Number(expected);
        Number(bitmap);
        EXPECT_EQ(bitmap.SetRowOrder(c.to), 0);
        EXPECT_EQ(bitmap.m_rowOrder, c.flipped || c.mirrored ? c.to : c.from);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x)
                EXPECT_EQ(Pixel(bitmap, x, y), Pixel(expected, c.mirrored ? 4 - x : x, c.flipped ? 2 - y : y))
                    << c.bits << " bits, " << c.from << " -> " << c.to << " at " << x << "," << y;
    }
    CRasterBitmap empty;
    EXPECT_EQ(empty.SetRowOrder(CRasterBitmap::TopDown), 0);
    EXPECT_EQ(empty.m_rowOrder, CRasterBitmap::BottomUp);
}

TEST(RasterBitmap, DibSectionHoldsThePixelsTopDown)
{
    CRasterBitmap expected, bitmap;
    ASSERT_EQ(expected.Create(4, 3, 32, 0), 0);
    ASSERT_EQ(bitmap.Create(4, 3, 32, 0), 0);
    Number(expected);
    Number(bitmap);
    HDC context = bitmap.MakeDIBSection();
    ASSERT_NE(context, nullptr);
    EXPECT_EQ(bitmap.m_memory, nullptr);
    EXPECT_NE(bitmap.m_dibSection, nullptr);
    EXPECT_EQ(bitmap.m_rowOrder, CRasterBitmap::TopDown);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
        {
            EXPECT_EQ(Pixel(bitmap, x, y), Pixel(expected, x, 2 - y));
            const std::vector<BYTE> p = Pixel(expected, x, 2 - y);
            EXPECT_EQ(GetPixel(context, x, y), RGB(p[2], p[1], p[0]));
        }
    bitmap.Free();
    EXPECT_FALSE(bitmap.HasPixelMemory());
    EXPECT_EQ(bitmap.m_dibSection, nullptr);
    DeleteDC(context);
}

TEST(RasterBitmap, AlphaFromGreyWeighsTheMaskChannels)
{
    CRasterBitmap picture, mask;
    ASSERT_EQ(picture.Create(2, 1, 32, 0), 0);
    ASSERT_EQ(mask.Create(2, 1, 32, 0), 0);
    const BYTE masks[2][3] = {{10, 200, 50}, {255, 255, 255}};  // B, G, R
    for (int x = 0; x < 2; ++x)
        for (int i = 0; i < 3; ++i)
            mask.Row(0)[4 * x + i] = masks[x][i];
    EXPECT_EQ(picture.AlphaFromGrey(mask), 0);
    EXPECT_EQ(picture.Row(0)[3], (6 * 200 + 3 * 50 + 10) / 10);
    EXPECT_EQ(picture.Row(0)[7], 255);

    CRasterBitmap smaller, rgb;
    ASSERT_EQ(smaller.Create(1, 1, 32, 0), 0);
    ASSERT_EQ(rgb.Create(2, 1, 24, 0), 0);
    EXPECT_EQ(picture.AlphaFromGrey(smaller), -1);
    EXPECT_EQ(rgb.AlphaFromGrey(mask), -1);
    EXPECT_EQ(picture.AlphaFromGrey(CRasterBitmap()), -1);
}

TEST(MetafileCoverage, AlphaMarksWhereTheMetafilePaints)
{
    const int width = 20, height = 10;
    HDC recorder = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(recorder, nullptr);
    HENHMETAFILE empty = CloseEnhMetaFile(recorder);

    recorder = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
    const RECT bounds = {0, 0, width, height};
    HBRUSH frame = CreateSolidBrush(RGB(0, 0, 0));
    FillRect(recorder, &bounds, static_cast<HBRUSH>(GetStockObject(NULL_BRUSH)));
    // Marks the extent, then paints the left half.
    SetPixel(recorder, 0, 0, RGB(0, 0, 0));
    SetPixel(recorder, width - 1, height - 1, RGB(0, 0, 0));
    const RECT left = {0, 0, width / 2, height};
    FillRect(recorder, &left, frame);
    DeleteObject(frame);
    HENHMETAFILE half = CloseEnhMetaFile(recorder);

    CRasterBitmap target;
    ASSERT_EQ(target.Create(width, height, 32, 0, CRasterBitmap::TopDown), 0);
    target.Fill(0x00FFFFFF);
    ASSERT_EQ(MetafileCoverage(empty, target, width, height), 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            ASSERT_EQ(target.Row(y)[4 * x + 3], 0) << x << "," << y;

    ASSERT_EQ(MetafileCoverage(half, target, width, height), 0);
    EXPECT_EQ(target.Row(height / 2)[4 * 1 + 3], 255);
    EXPECT_EQ(target.Row(height / 2)[4 * (width - 3) + 3], 0);

    EXPECT_EQ(MetafileCoverage(half, target, width + 1, height), -1);
    EXPECT_EQ(MetafileCoverage(nullptr, target, width, height), -1);
    DeleteEnhMetaFile(empty);
    DeleteEnhMetaFile(half);
}

// Resampling goes through the engine over the bitmap's own memory: a flat picture stays flat inside,
// a one-pixel checkerboard shrunk four times turns grey, and a refused size changes nothing.
TEST(RasterBitmap, ResampleScalesThroughTheEngine)
{
    CRasterBitmap flat;
    ASSERT_EQ(0, flat.Create(40, 30, 32, 1, CRasterBitmap::TopDown));
    flat.Fill(0xFFFFFFFF);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            flat.Row(y)[4 * x] = 0x30, flat.Row(y)[4 * x + 1] = 0x60, flat.Row(y)[4 * x + 2] = 0x90;
    ASSERT_EQ(0, flat.Resample(97, 13));
    EXPECT_EQ(97, flat.m_width);
    EXPECT_EQ(13, flat.m_height);
    EXPECT_EQ(32, flat.m_bitsPerPixel);
    EXPECT_EQ(CRasterBitmap::TopDown, flat.m_rowOrder);
    EXPECT_EQ(1, flat.m_alphaFlag);
    for (int y = 1; y < 12; ++y)
        for (int x = 2; x < 95; ++x)
            ASSERT_EQ((std::vector<BYTE>{0x30, 0x60, 0x90, 0xFF}), Pixel(flat, x, y)) << x << " " << y;

    CRasterBitmap checker;
    ASSERT_EQ(0, checker.Create(64, 48, 32, 0));
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            for (int c = 0; c < 3; ++c)
                checker.Row(y)[4 * x + c] = (x + y) % 2 ? 0xFF : 0x00, checker.Row(y)[4 * x + 3] = 0xFF;
    ASSERT_EQ(0, checker.Resample(16, 12));
    for (int y = 1; y < 11; ++y)
        for (int x = 1; x < 15; ++x)
            for (int c = 0; c < 3; ++c)
            {
                const int v = Pixel(checker, x, y)[c];
                EXPECT_TRUE(v >= 126 && v <= 129) << x << " " << y << " " << v;
            }

    const int before = checker.m_width;
    EXPECT_EQ(-1, checker.Resample(0, 5));
    EXPECT_EQ(-1, checker.Resample(5, -1));
    EXPECT_EQ(before, checker.m_width);
    EXPECT_TRUE(checker.HasPixelMemory());
    CRasterBitmap empty, threeBytes;
    EXPECT_EQ(-1, empty.Resample(5, 5));
    ASSERT_EQ(0, threeBytes.Create(4, 4, 24, 0));
    EXPECT_EQ(-1, threeBytes.Resample(8, 8));
    EXPECT_EQ(4, threeBytes.m_width);
}

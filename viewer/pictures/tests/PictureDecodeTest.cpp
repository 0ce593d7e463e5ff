#include "BmpBuilder.h"
#include "JpegEncoder.h"
#include "RasterBitmap.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
using Bgra = std::vector<BYTE>;

Bgra PixelTopDown(const CRasterBitmap& bitmap, int x, int y)
{
    const int row = bitmap.m_rowOrder == CRasterBitmap::BottomUp ? bitmap.m_height - 1 - y : y;
    const int bytes = bitmap.m_bitsPerPixel / 8;
    const BYTE* at = bitmap.Row(row) + x * bytes;
    return Bgra(at, at + bytes);
}

RGBQUAD Colour(BYTE blue, BYTE green, BYTE red)
{
    return RGBQUAD{blue, green, red, 0};
}

struct BmpCase
{
    const char* name;
    BmpBuilder bmp;
    int requestedBits;
    std::vector<Bgra> expected;  // top-down
    int rowOrder;
};

std::vector<BmpCase> BmpCases()
{
    std::vector<BmpCase> cases;
    BmpBuilder b;

    b = BmpBuilder{};
    b.width = 3, b.height = 2, b.bitCount = 24;
    b.pixels = {0x010203, 0x040506, 0x070809, 0x0A0B0C, 0x0D0E0F, 0x101112};
    cases.push_back({"three pixels of 24 bits per 12-byte row", b, 32,
                     {{3, 2, 1, 255}, {6, 5, 4, 255}, {9, 8, 7, 255}, {12, 11, 10, 255}, {15, 14, 13, 255}, {18, 17, 16, 255}},
                     CRasterBitmap::BottomUp});
    cases.push_back({"24 bits into a 24-bit bitmap", b, 24,
                     {{3, 2, 1}, {6, 5, 4}, {9, 8, 7}, {12, 11, 10}, {15, 14, 13}, {18, 17, 16}}, CRasterBitmap::BottomUp});

    b = BmpBuilder{};
    b.width = 3, b.height = 1, b.bitCount = 1, b.pixels = {1, 0, 1};
    cases.push_back({"1 bit without a table is white and black", b, 32,
                     {{255, 255, 255, 255}, {0, 0, 0, 255}, {255, 255, 255, 255}}, CRasterBitmap::BottomUp});
    b.table = {Colour(1, 2, 3), Colour(4, 5, 6)};
    cases.push_back({"1 bit with a table", b, 32, {{4, 5, 6, 255}, {1, 2, 3, 255}, {4, 5, 6, 255}}, CRasterBitmap::BottomUp});
    b.table = {Colour(1, 2, 3)};
    cases.push_back({"1 bit with a short table", b, 32, {{0, 0, 0, 255}, {1, 2, 3, 255}, {0, 0, 0, 255}}, CRasterBitmap::BottomUp});

    b = BmpBuilder{};
    b.width = 3, b.height = 1, b.bitCount = 4, b.pixels = {0, 1, 15};
    b.table = {Colour(10, 20, 30), Colour(40, 50, 60)};
    cases.push_back({"4 bits with an index past the table", b, 32,
                     {{10, 20, 30, 255}, {40, 50, 60, 255}, {0, 0, 0, 255}}, CRasterBitmap::BottomUp});
    b.table.clear();
    cases.push_back({"4 bits without a table are black", b, 32, {{0, 0, 0, 255}, {0, 0, 0, 255}, {0, 0, 0, 255}},
                     CRasterBitmap::BottomUp});

    b = BmpBuilder{};
    b.width = 2, b.height = 1, b.bitCount = 8, b.pixels = {2, 200};
    b.table = {Colour(0, 0, 0), Colour(1, 1, 1), Colour(7, 8, 9)};
    cases.push_back({"8 bits with an index past the table", b, 32, {{7, 8, 9, 255}, {0, 0, 0, 255}}, CRasterBitmap::BottomUp});
    b.table.clear();
    cases.push_back({"8 bits without a table are black", b, 32, {{0, 0, 0, 255}, {0, 0, 0, 255}}, CRasterBitmap::BottomUp});

    b = BmpBuilder{};
    b.width = 3, b.height = 1, b.bitCount = 16, b.pixels = {0x7FFF, 0x001F, 0x7C00};
    cases.push_back({"16 bits are 5-5-5 shifted by 3", b, 32,
                     {{0xF8, 0xF8, 0xF8, 255}, {0xF8, 0, 0, 255}, {0, 0, 0xF8, 255}}, CRasterBitmap::BottomUp});

    b = BmpBuilder{};
    b.width = 2, b.height = 1, b.bitCount = 32, b.pixels = {0x80010203, 0x00040506};
    cases.push_back({"32 bits keep their alpha", b, 32, {{3, 2, 1, 0x80}, {6, 5, 4, 0}}, CRasterBitmap::BottomUp});

    b = BmpBuilder{};
    b.width = 1, b.height = -3, b.bitCount = 24, b.pixels = {0x000001, 0x000002, 0x000003};
    cases.push_back({"negative height is a top-down file", b, 32, {{1, 0, 0, 255}, {2, 0, 0, 255}, {3, 0, 0, 255}},
                     CRasterBitmap::TopDown});

    b = BmpBuilder{};
    b.width = 2, b.height = 1, b.bitCount = 8, b.infoSize = 124, b.pixels = {1, 0};
    b.table = {Colour(11, 12, 13), Colour(21, 22, 23)};
    cases.push_back({"colour table behind a longer header", b, 32, {{21, 22, 23, 255}, {11, 12, 13, 255}},
                     CRasterBitmap::BottomUp});
    return cases;
}

class BmpDecodeTest : public ::testing::TestWithParam<BmpCase>
{
};
} // namespace

TEST_P(BmpDecodeTest, DecodesToTheExpectedPixels)
{
    const BmpCase& c = GetParam();
    const std::vector<BYTE> file = c.bmp.Build();
    CRasterBitmap bitmap;
    ASSERT_EQ(bitmap.LoadPicture(file.data(), DWORD(file.size()), c.requestedBits, 0), 0);
    const int rows = c.bmp.height < 0 ? -c.bmp.height : c.bmp.height;
    ASSERT_EQ(bitmap.m_width, c.bmp.width);
    ASSERT_EQ(bitmap.m_height, rows);
    EXPECT_EQ(bitmap.m_bitsPerPixel, c.requestedBits);
    EXPECT_EQ(bitmap.m_rowOrder, c.rowOrder);
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < c.bmp.width; ++x)
            EXPECT_EQ(PixelTopDown(bitmap, x, y), c.expected.at(size_t(y) * c.bmp.width + x)) << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(Bitmaps, BmpDecodeTest, ::testing::ValuesIn(BmpCases()),
                         [](const ::testing::TestParamInfo<BmpCase>& info) {
                             std::string name;
                             for (const char* c = info.param.name; *c; ++c)
                                 name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
                             return name;
                         });

namespace
{
struct Damage
{
    const char* name;
    std::vector<BYTE> bytes;
};

void Put32(std::vector<BYTE>& file, size_t at, DWORD value)
{
    std::memcpy(file.data() + at, &value, 4);
}

std::vector<Damage> DamagedPictures()
{
    BmpBuilder b;
    b.width = 4, b.height = 4, b.bitCount = 24, b.pixels.assign(16, 0x123456);
    const std::vector<BYTE> good = b.Build();
    std::vector<Damage> damages;
    auto changed = [&](const char* name, auto change) {
        std::vector<BYTE> file = good;
        change(file);
        damages.push_back({name, file});
    };
    changed("only the signature", [](auto& f) { f.resize(2); });
    changed("cut inside the header", [](auto& f) { f.resize(30); });
    changed("cut inside the pixels", [](auto& f) { f.resize(f.size() - 5); });
    changed("zero width", [](auto& f) { Put32(f, 18, 0); });
    changed("negative width", [](auto& f) { Put32(f, 18, DWORD(-4)); });
    changed("zero height", [](auto& f) { Put32(f, 22, 0); });
    changed("lowest height", [](auto& f) { Put32(f, 22, 0x80000000u); });
    changed("size overflowing 32 bits", [](auto& f) { Put32(f, 18, 0x10000); Put32(f, 22, 0x10000); });
    changed("rows overflowing 32 bits", [](auto& f) { Put32(f, 18, 0x7FFFFFFF); });
    changed("bit count 7", [](auto& f) { f[28] = 7; });
    changed("bit count 0", [](auto& f) { f[28] = 0; });
    changed("run-length compression", [](auto& f) { Put32(f, 30, BI_RLE8); });
    changed("bit fields", [](auto& f) { Put32(f, 30, BI_BITFIELDS); });
    changed("core header", [](auto& f) { Put32(f, 14, 12); });
    changed("header size past the file", [](auto& f) { Put32(f, 14, 0x7FFFFFF0); });
    changed("pixel offset inside the header", [](auto& f) { Put32(f, 10, 20); });
    changed("pixel offset past the file", [](auto& f) { Put32(f, 10, 0x7FFFFFF0); });
    damages.push_back({"empty", {}});
    damages.push_back({"not a picture", {'h', 'e', 'l', 'l', 'o', ' ', 'c', 'a', 'r', 'd'}});
    damages.push_back({"JPEG start marker only", {0xFF, 0xD8}});
    damages.push_back({"JPEG header cut short", {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F'}});

    std::vector<BYTE> grey(16 * 16, 0x80);
    const std::vector<BYTE> jpeg = EncodeJpeg(16, 16, JCS_GRAYSCALE, 1, grey);
    auto jpegChanged = [&](const char* name, auto change) {
        std::vector<BYTE> file = jpeg;
        change(file);
        damages.push_back({name, file});
    };
    auto findMarker = [](const std::vector<BYTE>& f, BYTE marker) {
        for (size_t i = 0; i + 1 < f.size(); ++i)
            if (f[i] == 0xFF && f[i + 1] == marker)
                return i;
        return size_t(0);
    };
    jpegChanged("JPEG frame of zero width", [&](auto& f) {
        const size_t sof = findMarker(f, 0xC0);
        f[sof + 7] = 0, f[sof + 8] = 0;
    });
    jpegChanged("JPEG frame with 0 components", [&](auto& f) { f[findMarker(f, 0xC0) + 9] = 0; });
    jpegChanged("JPEG frame of 16 bits precision", [&](auto& f) { f[findMarker(f, 0xC0) + 4] = 16; });
    jpegChanged("JPEG without quantisation tables", [&](auto& f) {
        const size_t dqt = findMarker(f, 0xDB);
        f[dqt + 1] = 0xFE;  // becomes a comment, so the frame refers to a missing table
    });
    std::vector<BYTE> cmyk(8 * 8 * 4, 0x40);
    damages.push_back({"JPEG in CMYK", EncodeJpeg(8, 8, JCS_CMYK, 4, cmyk)});
    return damages;
}

class DamagedPictureTest : public ::testing::TestWithParam<Damage>
{
};
} // namespace

TEST_P(DamagedPictureTest, FailsCleanlyWithoutPixels)
{
    const std::vector<BYTE>& bytes = GetParam().bytes;
    CRasterBitmap bitmap;
    const BYTE nothing = 0;
    EXPECT_EQ(bitmap.LoadPicture(bytes.empty() ? &nothing : bytes.data(), DWORD(bytes.size()), 32, 0), -1);
    EXPECT_FALSE(bitmap.HasPixelMemory());
    EXPECT_EQ(bitmap.m_bits, nullptr);
}

INSTANTIATE_TEST_SUITE_P(Pictures, DamagedPictureTest, ::testing::ValuesIn(DamagedPictures()),
                         [](const ::testing::TestParamInfo<Damage>& info) {
                             std::string name;
                             for (const char* c = info.param.name; *c; ++c)
                                 name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
                             return name;
                         });

TEST(JpegDecode, GreyAndColourComeOutAsOpaqueBgr)
{
    std::vector<BYTE> grey(16 * 8), rgb(16 * 8 * 3);
    for (size_t i = 0; i < grey.size(); ++i)
        grey[i] = 0x60;
    for (size_t i = 0; i < rgb.size(); i += 3)
        rgb[i] = 200, rgb[i + 1] = 100, rgb[i + 2] = 30;
    struct Case
    {
        std::vector<BYTE> jpeg;
        Bgra expected;
    } cases[] = {{EncodeJpeg(16, 8, JCS_GRAYSCALE, 1, grey), {0x60, 0x60, 0x60, 255}},
                 {EncodeJpeg(16, 8, JCS_RGB, 3, rgb), {30, 100, 200, 255}},
                 {EncodeJpeg(16, 8, JCS_RGB, 3, rgb, 1, true), {30, 100, 200, 255}}};
    for (const Case& c : cases)
    {
        CRasterBitmap bitmap;
        ASSERT_EQ(bitmap.LoadPicture(c.jpeg.data(), DWORD(c.jpeg.size()), 0, 0), 0);
        EXPECT_EQ(bitmap.m_width, 16);
        EXPECT_EQ(bitmap.m_height, 8);
        EXPECT_EQ(bitmap.m_bitsPerPixel, 32);
        EXPECT_EQ(bitmap.m_rowOrder, CRasterBitmap::TopDown);
        EXPECT_EQ(bitmap.m_rowCounter, 8);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 16; ++x)
            {
                const Bgra p = PixelTopDown(bitmap, x, y);
                for (int i = 0; i < 3; ++i)
                    EXPECT_NEAR(p[i], c.expected[i], 2) << x << "," << y;
                EXPECT_EQ(p[3], 255);
            }
    }
}

TEST(JpegDecode, StreamCutShortStillGivesTheWholePicture)
{
    std::vector<BYTE> rgb(64 * 64 * 3);
    for (size_t i = 0; i < rgb.size(); ++i)
        rgb[i] = BYTE(i * 7);
    const std::vector<BYTE> jpeg = EncodeJpeg(64, 64, JCS_RGB, 3, rgb, 2);
    for (size_t keep : {jpeg.size() / 2, jpeg.size() - 2, size_t(700)})
    {
        CRasterBitmap bitmap;
        ASSERT_EQ(bitmap.LoadPicture(jpeg.data(), DWORD(keep), 32, 0), 0) << keep;
        EXPECT_EQ(bitmap.m_width, 64);
        EXPECT_EQ(bitmap.m_height, 64);
    }
}

TEST(JpegDecode, CorruptScanDataNeverEndsTheProgram)
{
    std::vector<BYTE> rgb(48 * 48 * 3);
    for (size_t i = 0; i < rgb.size(); ++i)
        rgb[i] = BYTE(i * 13 + i / 7);
    const std::vector<BYTE> jpeg = EncodeJpeg(48, 48, JCS_RGB, 3, rgb, 1);
    unsigned state = 12345;
    for (int round = 0; round < 200; ++round)
    {
        std::vector<BYTE> damaged = jpeg;
        for (int hit = 0; hit < 4; ++hit)
        {
            state = state * 1103515245u + 12345u;
            damaged[20 + (state >> 8) % (damaged.size() - 20)] = BYTE(state >> 24);
        }
        CRasterBitmap bitmap;
        const int result = bitmap.LoadPicture(damaged.data(), DWORD(damaged.size()), 32, 0);
        EXPECT_TRUE(result == 0 || result == -1);
        EXPECT_EQ(bitmap.HasPixelMemory(), result == 0);
    }
}

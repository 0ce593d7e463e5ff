#include "CardComposer.h"
#include "ViewerSiteIcon.h"

#include <gtest/gtest.h>

using namespace cardcomposer;

namespace {

CViewerSiteIcon IconWith(const Bytes& image)
{
    const Bytes list = cardbytes::Records().Id(0x40010001, image).End();
    CViewerSiteIcon icon;
    CViewerSiteIcon reader;
    EXPECT_TRUE(reader.LoadFromBytes(list.data(), list.size(), icon));
    return icon;
}

Bytes Patched(Bytes bytes, size_t offset, uint32_t value, size_t width = 4)
{
    std::memcpy(&bytes[offset], &value, width);
    return bytes;
}

TEST(SiteIcon, BuildsABitmapFromASoundFile)
{
    HBITMAP bitmap = IconWith(SmallBitmapFile()).CreateBitmap();
    ASSERT_NE(bitmap, nullptr);
    BITMAP info{};
    ASSERT_NE(GetObjectA(bitmap, sizeof info, &info), 0);
    EXPECT_EQ(info.bmWidth, 4);
    EXPECT_EQ(info.bmHeight, 2);
    DeleteObject(bitmap);
}

TEST(SiteIcon, RefusesDamagedFiles)
{
    const Bytes good = SmallBitmapFile();
    struct Case
    {
        const char* name;
        Bytes image;
    } cases[] = {
        {"not BM", Patched(good, 0, 'X', 1)},
        {"headers cut", Bytes(good.begin(), good.begin() + 40)},
        {"bits cut", Bytes(good.begin(), good.end() - 3)},
        {"bits beyond the file", Patched(good, 10, 0x7FFFFFF0)},
        {"bits inside the colour table", Patched(good, 10, 60)},
        {"too many colours", Patched(good, 14 + 32, 100000)},
        {"huge width", Patched(good, 14 + 4, 0x40000000)},
        {"zero height", Patched(good, 14 + 8, 0)},
        {"odd bit count", Patched(good, 14 + 14, 7, 2)},
        {"compressed", Patched(good, 14 + 16, BI_RLE4)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IconWith(c.image).CreateBitmap(), nullptr) << c.name;
}

}  // namespace

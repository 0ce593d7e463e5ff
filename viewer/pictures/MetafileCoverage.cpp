#include "RasterBitmap.h"

#include <cstring>

namespace
{
// A 1-bit top-down DIB section in its own memory device context, released with the object.
class MonochromeCanvas
{
public:
    MonochromeCanvas(int width, int height, bool white)
    {
        struct
        {
            BITMAPINFOHEADER header;
            RGBQUAD colours[2];
        } info = {};
        info.header.biSize = sizeof(BITMAPINFOHEADER);
        info.header.biWidth = width;
        info.header.biHeight = -height;
        info.header.biPlanes = 1;
        info.header.biBitCount = 1;
        info.header.biCompression = BI_RGB;
        info.header.biXPelsPerMeter = 150;
        info.header.biYPelsPerMeter = 150;
        info.colours[1] = RGBQUAD{0xFF, 0xFF, 0xFF, 0};
        m_bytesPerRow = (width + 31) / 32 * 4;
        m_context = CreateCompatibleDC(nullptr);
        if (!m_context)
            return;
        m_section = CreateDIBSection(m_context, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS,
                                     reinterpret_cast<void**>(&m_bits), nullptr, 0);
        if (!m_section || !m_bits)
            return;
        m_previous = SelectObject(m_context, m_section);
        std::memset(m_bits, white ? 0xFF : 0x00, size_t(m_bytesPerRow) * size_t(height));
    }
    ~MonochromeCanvas()
    {
        if (m_previous)
            SelectObject(m_context, m_previous);
        if (m_section)
            DeleteObject(m_section);
        if (m_context)
            DeleteDC(m_context);
    }
    MonochromeCanvas(const MonochromeCanvas&) = delete;
    MonochromeCanvas& operator=(const MonochromeCanvas&) = delete;

    bool IsReady() const { return m_previous != nullptr; }
    HDC Context() const { return m_context; }
    bool Bit(int x, int y) const { return (m_bits[size_t(y) * m_bytesPerRow + x / 8] >> (7 - x % 8)) & 1; }

private:
    HDC m_context = nullptr;
    HBITMAP m_section = nullptr;
    HGDIOBJ m_previous = nullptr;
    BYTE* m_bits = nullptr;
    int m_bytesPerRow = 0;
};
} // namespace

int MetafileCoverage(HENHMETAFILE metafile, CRasterBitmap& target, int width, int height)
{
    if (!metafile || !target.HasPixelMemory() || target.m_bitsPerPixel != 32 || target.m_width != width ||
        target.m_height != height)
        return -1;
    // Painted pixels come out the same on a white and on a black ground; untouched ones differ.
    MonochromeCanvas onWhite(width, height, true);
    MonochromeCanvas onBlack(width, height, false);
    if (!onWhite.IsReady() || !onBlack.IsReady())
        return -1;
    const RECT frame = {0, 0, width, height};
    PlayEnhMetaFile(onWhite.Context(), metafile, &frame);
    PlayEnhMetaFile(onBlack.Context(), metafile, &frame);
    GdiFlush();

    const bool bottomUp = target.m_rowOrder == CRasterBitmap::BottomUp || target.m_rowOrder == CRasterBitmap::BottomUpMirrored;
    const bool mirrored =
        target.m_rowOrder == CRasterBitmap::TopDownMirrored || target.m_rowOrder == CRasterBitmap::BottomUpMirrored;
    for (int y = 0; y < height; ++y)
    {
        BYTE* row = target.Row(bottomUp ? height - 1 - y : y);
        for (int x = 0; x < width; ++x)
        {
            const int column = mirrored ? width - 1 - x : x;
            row[4 * column + 3] = onWhite.Bit(x, y) == onBlack.Bit(x, y) ? 255 : 0;
        }
    }
    return 0;
}

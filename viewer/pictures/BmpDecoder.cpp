#include "PictureDecoders.h"

#include <algorithm>
#include <new>
#include <vector>

namespace
{
const DWORD kFileHeaderSize = 14;
const DWORD kInfoHeaderSize = 40;
// Header versions beyond the basic one add at most a few hundred bytes; more means damage.
const DWORD kLargestInfoHeader = 1024;

bool ReadExactly(IStream* source, void* buffer, ULONG size)
{
    ULONG got = 0;
    return SUCCEEDED(source->Read(buffer, size, &got)) && got == size;
}

struct ColourTable
{
    RGBQUAD entries[256] = {};
    DWORD count = 0;

    // Indexes outside the table (or any index of a missing table) show black rather than stray memory.
    RGBQUAD At(DWORD index) const
    {
        return index < count ? entries[index] : RGBQUAD{0, 0, 0, 0};
    }
};

void ConvertRow(const BYTE* in, BYTE* out, int width, int fileBits, int bitsPerPixel, const ColourTable& table)
{
    for (int x = 0; x < width; ++x)
    {
        BYTE blue = 0, green = 0, red = 0, alpha = 255;
        switch (fileBits)
        {
        case 1:
        {
            const DWORD bit = (in[x / 8] >> (7 - x % 8)) & 1;
            if (table.count == 0)
            {
                blue = green = red = bit ? 0xFF : 0x00;
            }
            else
            {
                const RGBQUAD colour = table.At(bit);
                blue = colour.rgbBlue, green = colour.rgbGreen, red = colour.rgbRed;
            }
            break;
        }
        case 4:
        case 8:
        {
            const DWORD index = fileBits == 8 ? in[x] : (in[x / 2] >> (x % 2 ? 0 : 4)) & 0x0F;
            const RGBQUAD colour = table.At(index);
            blue = colour.rgbBlue, green = colour.rgbGreen, red = colour.rgbRed;
            break;
        }
        case 16:
        {
            const WORD value = WORD(in[2 * x] | (in[2 * x + 1] << 8));
            blue = BYTE(value << 3);
            green = BYTE((value >> 5) << 3);
            red = BYTE((value >> 10) << 3);
            break;
        }
        case 24:
            blue = in[3 * x], green = in[3 * x + 1], red = in[3 * x + 2];
            break;
        case 32:
            blue = in[4 * x], green = in[4 * x + 1], red = in[4 * x + 2], alpha = in[4 * x + 3];
            break;
        }
        StorePixel(out, x, bitsPerPixel, blue, green, red, alpha);
    }
}
} // namespace

int DecodeBmp(IStream* source, CRasterBitmap& bitmap, int bitsPerPixel, int alphaFlag)
{
    BITMAPFILEHEADER fileHeader;
    BITMAPINFOHEADER info;
    static_assert(sizeof fileHeader == kFileHeaderSize && sizeof info == kInfoHeaderSize, "BMP header layout");
    if (!ReadExactly(source, &fileHeader, kFileHeaderSize) || fileHeader.bfType != 0x4D42 ||
        !ReadExactly(source, &info, kInfoHeaderSize))
        return -1;
    // Later header versions keep the basic fields in front; the colour table follows the whole header.
    if (info.biSize < kInfoHeaderSize || info.biSize > kLargestInfoHeader)
        return -1;
    const DWORD tableStart = kFileHeaderSize + info.biSize;
    if (fileHeader.bfOffBits < tableStart)
        return -1;
    const int fileBits = info.biBitCount;
    if (fileBits != 1 && fileBits != 4 && fileBits != 8 && fileBits != 16 && fileBits != 24 && fileBits != 32)
        return -1;
    // Run-length and bit-field pixels are not decoded.
    if (info.biCompression != BI_RGB)
        return -1;
    if (info.biWidth <= 0 || info.biHeight == 0 || info.biHeight < -0x7FFFFFFF)
        return -1;
    const bool topDown = info.biHeight < 0;
    const int height = topDown ? -info.biHeight : info.biHeight;
    const ULONGLONG fileRowBytes = (ULONGLONG(info.biWidth) * fileBits + 31) / 32 * 4;
    if (fileRowBytes * ULONGLONG(height) > 0x7FFFFFFF)
        return -1;

    ColourTable table;
    table.count = std::min<DWORD>((fileHeader.bfOffBits - tableStart) / 4, 256);
    LARGE_INTEGER at;
    at.QuadPart = tableStart;
    if (FAILED(source->Seek(at, STREAM_SEEK_SET, nullptr)) ||
        (table.count && !ReadExactly(source, table.entries, table.count * sizeof(RGBQUAD))))
        return -1;
    at.QuadPart = fileHeader.bfOffBits;
    if (FAILED(source->Seek(at, STREAM_SEEK_SET, nullptr)))
        return -1;
    // A header that promises more rows than the stream holds is refused before any memory is taken.
    STATSTG status = {};
    if (SUCCEEDED(source->Stat(&status, STATFLAG_NONAME)) &&
        status.cbSize.QuadPart < ULONGLONG(fileHeader.bfOffBits) + fileRowBytes * ULONGLONG(height))
        return -1;

    if (bitmap.Create(info.biWidth, height, bitsPerPixel, alphaFlag,
                      topDown ? CRasterBitmap::TopDown : CRasterBitmap::BottomUp) != 0)
        return -1;
    bitmap.m_resolutionX = info.biXPelsPerMeter;
    bitmap.m_resolutionY = info.biYPelsPerMeter;
    std::vector<BYTE> row;
    try
    {
        row.resize(static_cast<size_t>(fileRowBytes));
    }
    catch (const std::bad_alloc&)
    {
        return -1;
    }
    for (int y = 0; y < height; ++y)
    {
        if (!ReadExactly(source, row.data(), ULONG(row.size())))
            return -1;
        ConvertRow(row.data(), bitmap.Row(y), info.biWidth, fileBits, bitsPerPixel, table);
        bitmap.m_rowCounter = y + 1;
    }
    return 0;
}

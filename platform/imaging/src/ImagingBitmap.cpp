#include "imaging/ImagingBitmap.h"

#include <cstring>
#include <limits>

namespace {

bool SupportedDepth(int bitsPerPixel)
{
    // 16-bit pixels are 5-5-5 (BI_RGB): what the canvas hands to 16-bit screens.
    return bitsPerPixel == 8 || bitsPerPixel == 16 || bitsPerPixel == 24 || bitsPerPixel == 32;
}

// Row length padded to 4 bytes; 0 when the size does not fit 32-bit arithmetic.
int PaddedRowBytes(int width, int bitsPerPixel)
{
    long long bytes = (static_cast<long long>(width) * bitsPerPixel + 31) / 32 * 4;
    return bytes > std::numeric_limits<int>::max() ? 0 : static_cast<int>(bytes);
}

bool SizeFits(int width, int height, int bitsPerPixel)
{
    if (width <= 0 || height <= 0) return false;
    int row = PaddedRowBytes(width, bitsPerPixel);
    return row > 0 && static_cast<long long>(row) * height <= std::numeric_limits<int>::max();
}

} // namespace

void ImagingInitBitmap(ImagingBitmap* bitmap)
{
    if (!bitmap) return;
    std::memset(bitmap, 0, sizeof(*bitmap));
}

int ImagingAllocateBitmap(ImagingBitmap* bitmap, int width, int height, int bitsPerPixel)
{
    if (!bitmap || !SupportedDepth(bitsPerPixel) || !SizeFits(width, height, bitsPerPixel))
        return ImagingBadArgument;
    ImagingFreeBitmap(bitmap);

    // 8-bit DIBs need a colour table; a grey ramp keeps them meaningful to GDI.
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[256];
    } info;
    std::memset(&info, 0, sizeof(info));
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = width;
    info.header.biHeight = -height;  // top-down rows
    info.header.biPlanes = 1;
    info.header.biBitCount = static_cast<WORD>(bitsPerPixel);
    info.header.biCompression = BI_RGB;
    if (bitsPerPixel == 8) {
        info.header.biClrUsed = 256;
        for (int i = 0; i < 256; ++i)
            info.colours[i].rgbBlue = info.colours[i].rgbGreen = info.colours[i].rgbRed = static_cast<BYTE>(i);
    }
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!dib || !bits) {
        if (dib) DeleteObject(dib);
        return ImagingNoMemory;
    }
    bitmap->Addr = static_cast<unsigned char*>(bits);
    bitmap->Width = width;
    bitmap->Height = height;
    bitmap->BitsPerPixel = bitsPerPixel;
    bitmap->BytesPerLine = PaddedRowBytes(width, bitsPerPixel);
    bitmap->Allocated = 1;
    bitmap->Dib = dib;
    bitmap->AccessCount = 0;
    std::memset(bits, 0, static_cast<size_t>(bitmap->BytesPerLine) * height);
    return ImagingOk;
}

int ImagingAttachBits(ImagingBitmap* bitmap, unsigned char* bits, int width, int height,
                      int bitsPerPixel, int bytesPerLine)
{
    if (!bitmap || !bits || !SupportedDepth(bitsPerPixel) || !SizeFits(width, height, bitsPerPixel))
        return ImagingBadArgument;
    if (bytesPerLine < (width * bitsPerPixel + 7) / 8) return ImagingBadArgument;
    ImagingFreeBitmap(bitmap);
    bitmap->Addr = bits;
    bitmap->Width = width;
    bitmap->Height = height;
    bitmap->BitsPerPixel = bitsPerPixel;
    bitmap->BytesPerLine = bytesPerLine;
    bitmap->Allocated = 1;
    bitmap->Dib = nullptr;
    bitmap->AccessCount = 0;
    return ImagingOk;
}

void ImagingFreeBitmap(ImagingBitmap* bitmap)
{
    if (!bitmap) return;
    if (bitmap->Dib) DeleteObject(bitmap->Dib);
    ImagingInitBitmap(bitmap);
}

int ImagingAccessBitmap(ImagingBitmap* bitmap)
{
    if (!bitmap) return ImagingBadArgument;
    if (!bitmap->Allocated || !bitmap->Addr) return ImagingNotAllocated;
    // DIB pixels may be touched by GDI on this thread; finish its queued drawing first.
    if (bitmap->AccessCount++ == 0 && bitmap->Dib) GdiFlush();
    return ImagingOk;
}

void ImagingReleaseBitmap(ImagingBitmap* bitmap)
{
    if (bitmap && bitmap->AccessCount > 0) --bitmap->AccessCount;
}

int ImagingFillBitmap(ImagingBitmap* bitmap, COLORREF colour)
{
    ImagingAccessScope access(bitmap);
    if (!access.ok()) return bitmap ? ImagingNotAllocated : ImagingBadArgument;
    const unsigned char red = GetRValue(colour), green = GetGValue(colour), blue = GetBValue(colour);
    for (int y = 0; y < bitmap->Height; ++y) {
        unsigned char* p = bitmap->Addr + static_cast<size_t>(y) * bitmap->BytesPerLine;
        switch (bitmap->BitsPerPixel) {
        case 8:
            std::memset(p, red, bitmap->Width);
            break;
        case 16: {
            const unsigned short packed =
                static_cast<unsigned short>(((red >> 3) << 10) | ((green >> 3) << 5) | (blue >> 3));
            for (int x = 0; x < bitmap->Width; ++x, p += 2) { p[0] = packed & 0xFF; p[1] = packed >> 8; }
            break;
        }
        case 24:
            for (int x = 0; x < bitmap->Width; ++x, p += 3) { p[0] = blue; p[1] = green; p[2] = red; }
            break;
        default:
            for (int x = 0; x < bitmap->Width; ++x, p += 4) { p[0] = blue; p[1] = green; p[2] = red; p[3] = 255; }
            break;
        }
    }
    return ImagingOk;
}

unsigned char* ImagingPixelAddress(const ImagingBitmap* bitmap, int x, int y)
{
    if (!bitmap || !bitmap->Allocated || !bitmap->Addr) return nullptr;
    if (x < 0 || y < 0 || x >= bitmap->Width || y >= bitmap->Height) return nullptr;
    return bitmap->Addr + static_cast<size_t>(y) * bitmap->BytesPerLine + static_cast<size_t>(x) * (bitmap->BitsPerPixel / 8);
}

#pragma once
// Raster bitmaps of the imaging stand-in (8, 16 as 5-5-5, 24 and 32 bits per pixel). A bitmap record is owned by its caller and passed by
// pointer; its pixels live in a top-down GDI DIB section (or in memory the caller lends), so row y
// starts at Addr + y * BytesPerLine. 24-bit pixels are blue, green, red bytes; 32-bit pixels carry
// alpha in the top byte.
#include <windows.h>

struct ImagingBitmap {
    unsigned char* Addr;   // first row; valid while the bitmap is accessed
    int Width;
    int Height;
    int BitsPerPixel;      // 8, 16, 24 or 32
    int BytesPerLine;      // rows are padded to 4 bytes, as GDI requires
    int Allocated;         // nonzero once pixels exist
    HBITMAP Dib;           // the DIB section owning the pixels, null for lent memory
    int AccessCount;       // nesting of access/release pairs
};

enum ImagingResult {
    ImagingOk = 1,
    ImagingBadArgument = -1,
    ImagingNoMemory = -2,
    ImagingNotAllocated = -3,
};

// Sets every field to its empty state; a record must be initialised before any other call.
void ImagingInitBitmap(ImagingBitmap* bitmap);

// Allocates width x height pixels of 8, 16, 24 or 32 bits, all zero. A bitmap that already holds pixels
// is freed first. Widths and heights must be positive and small enough for 32-bit row arithmetic.
int ImagingAllocateBitmap(ImagingBitmap* bitmap, int width, int height, int bitsPerPixel);

// Describes pixels owned by the caller (bytesPerLine may be larger than the packed row); nothing is
// copied and ImagingFreeBitmap will not free them.
int ImagingAttachBits(ImagingBitmap* bitmap, unsigned char* bits, int width, int height,
                      int bitsPerPixel, int bytesPerLine);

// Releases owned pixels and returns the record to its empty state.
void ImagingFreeBitmap(ImagingBitmap* bitmap);

// Access and release bracket every read or write of the pixels; they nest.
int ImagingAccessBitmap(ImagingBitmap* bitmap);
void ImagingReleaseBitmap(ImagingBitmap* bitmap);

// Fills every pixel with a 0x00BBGGRR colour (8-bit bitmaps take the red channel's byte, 32-bit
// pixels get alpha 255).
int ImagingFillBitmap(ImagingBitmap* bitmap, COLORREF colour);

// Address of pixel (x, y) or null when it lies outside the bitmap or the bitmap holds no pixels.
unsigned char* ImagingPixelAddress(const ImagingBitmap* bitmap, int x, int y);

// Scoped access: releases on every return path.
class ImagingAccessScope {
public:
    explicit ImagingAccessScope(ImagingBitmap* bitmap)
        : bitmap_(bitmap), ok_(bitmap && ImagingAccessBitmap(bitmap) == ImagingOk) {}
    ~ImagingAccessScope() { if (ok_) ImagingReleaseBitmap(bitmap_); }
    ImagingAccessScope(const ImagingAccessScope&) = delete;
    ImagingAccessScope& operator=(const ImagingAccessScope&) = delete;
    bool ok() const { return ok_; }
private:
    ImagingBitmap* bitmap_;
    bool ok_;
};

#pragma once
// A 24-bit imaging bitmap together with a memory device context drawing into it: the canvas's main
// and work surfaces. GDI drawing through the context and direct pixel access see the same pixels.
#include <windows.h>

#include "imaging/ImagingBitmap.h"

class CCanvasBitmap {
public:
    CCanvasBitmap();
    ~CCanvasBitmap();
    CCanvasBitmap(const CCanvasBitmap&) = delete;
    CCanvasBitmap& operator=(const CCanvasBitmap&) = delete;

    // Allocates width x height pixels of the given depth with a context on them; false (and empty)
    // when either fails.
    bool Create(int width, int height, int bitsPerPixel = 24);
    void Free();
    // Hands the pixels and the context to other, leaving this one empty.
    void MoveTo(CCanvasBitmap& other);

    bool IsAllocated() const { return bitmap_.Allocated != 0; }
    HDC Dc() const { return dc_; }
    ImagingBitmap* Bitmap() { return &bitmap_; }
    int Width() const { return bitmap_.Width; }
    int Height() const { return bitmap_.Height; }

    // Fills the whole bitmap with a colour through the context (its viewport origin is ignored).
    void FillSolid(COLORREF colour);

private:
    ImagingBitmap bitmap_;
    HDC dc_ = nullptr;
    HGDIOBJ previous_ = nullptr;
};

// Bits per pixel of what drawing into dc lands on: the selected bitmap of a memory context, the
// device's depth otherwise.
int TargetBitsPerPixel(HDC dc);

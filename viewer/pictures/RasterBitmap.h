#pragma once
#include <windows.h>
#include <objidl.h>

// The viewer's memory bitmap: pixels in moveable global memory, or in a DIB section once GDI must
// draw into it. Pixels of 32 bits are B, G, R, A; of 24 bits B, G, R; rows are padded to 4 bytes.
class CRasterBitmap
{
public:
    enum RowOrder
    {
        TopDown = 0,
        TopDownMirrored = 1,
        BottomUp = 2,
        BottomUpMirrored = 3,
    };
    enum Flags
    {
        HasPixels = 1,
    };

    CRasterBitmap() = default;
    ~CRasterBitmap() { Free(); }
    CRasterBitmap(const CRasterBitmap&) = delete;
    CRasterBitmap& operator=(const CRasterBitmap&) = delete;

    // 0, or -1 when the size is out of range or memory is short (the bitmap then has no pixels).
    int Create(int width, int height, int bitsPerPixel, int alphaFlag, int rowOrder = BottomUp);
    void Free();
    // Turns the pixels into a top-down DIB section selected into a memory device context of the screen
    // and answers that context (null on failure, the pixels then stay where they were).
    HDC MakeDIBSection();
    void Fill(DWORD value);
    int SetRowOrder(int target);

    // Decodes a BMP or, failing the "BM" signature, a JPEG picture. 0, or -1 for a damaged or unsupported
    // picture, which leaves the bitmap without pixels. bitsPerPixel 0 means 32; 24 and 32 are made.
    int LoadPicture(const void* data, DWORD size, int bitsPerPixel, int alphaFlag);
    // The picture starts at the beginning of the stream.
    int LoadPicture(IStream* source, int bitsPerPixel, int alphaFlag);

    // Makes a 32-bit bitmap of the new size (same row order and alpha flag), draws this one into it
    // through the rendering engine's bitmap transformation (area-averaged where it shrinks, bilinear),
    // and takes its place. 0, or -1 (the bitmap unchanged) without 32-bit pixels or for a bad size.
    int Resample(int newWidth, int newHeight);

    // alpha = (6 G + 3 R + B) / 10 of the mask's pixel at the same place; both 32 bits and of one size.
    int AlphaFromGrey(const CRasterBitmap& mask);

    BYTE* Row(int y) const { return m_bits + static_cast<size_t>(y) * m_bytesPerRow; }
    bool HasPixelMemory() const { return (m_flags & HasPixels) != 0; }

    HGLOBAL m_memory = nullptr;
    BYTE* m_bits = nullptr;
    int m_width = 0;
    int m_height = 0;
    int m_bitsPerPixel = 0;
    int m_bytesPerRow = 0;
    int m_rowCounter = 0;
    DWORD m_flags = 0;
    int m_rowOrder = BottomUp;
    int m_alphaFlag = 0;
    DWORD m_size = 0;
    LONG m_resolutionX = 0;
    LONG m_resolutionY = 0;
    HBITMAP m_dibSection = nullptr;
    HGDIOBJ m_previousObject = nullptr;
    HDC m_deviceContext = nullptr;
};

struct ImagingBitmap;
// The bitmap's pixels as an imaging record over its own memory (no pixels: an empty record), for the
// rendering engine; valid while the bitmap keeps them. Freeing the record leaves the pixels alone.
ImagingBitmap LendImagingRecord(const CRasterBitmap& bitmap);

// Sets the target's alpha to 255 where the metafile paints and to 0 where the background shows through.
// The target must be a 32-bit bitmap of width x height. 0, or -1 on failure.
int MetafileCoverage(HENHMETAFILE metafile, CRasterBitmap& target, int width, int height);

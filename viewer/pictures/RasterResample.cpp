// Resampling a viewer bitmap through the rendering engine's bitmap transformation. The engine reads
// and writes the viewer's own pixel memory, lent to it as imaging records.
#include "RasterBitmap.h"

#include "imaging/ImagingBitmap.h"
#include "render/TransformBitmap.h"

ImagingBitmap LendImagingRecord(const CRasterBitmap& bitmap)
{
    ImagingBitmap record;
    ImagingInitBitmap(&record);
    if (bitmap.HasPixelMemory() && bitmap.m_bits)
        ImagingAttachBits(&record, bitmap.m_bits, bitmap.m_width, bitmap.m_height, bitmap.m_bitsPerPixel,
                          bitmap.m_bytesPerRow);
    return record;
}

int CRasterBitmap::Resample(int newWidth, int newHeight)
{
    if (!HasPixelMemory() || m_bitsPerPixel != 32 || m_width <= 0 || m_height <= 0)
        return -1;
    CRasterBitmap resized;
    // The rows keep their order, so that the picture stays the right way up.
    if (resized.Create(newWidth, newHeight, 32, m_alphaFlag, m_rowOrder) != 0)
        return -1;
    // Pixel edges meet: the bitmaps' outer edges map onto each other, centres sit half a pixel in.
    const double kx = double(newWidth) / m_width, ky = double(newHeight) / m_height;
    const CAffineMatrix scale(kx, 0, 0.5 * (kx - 1), 0, ky, 0.5 * (ky - 1), 0, 0, 1);
    ImagingBitmap from = LendImagingRecord(*this), to = LendImagingRecord(resized);
    const RECT clip = {0, 0, newWidth, newHeight};
    TransformBitmap(&from, &to, &clip, scale, TransformReducedBilinear, false);
    ImagingFreeBitmap(&from);
    ImagingFreeBitmap(&to);

    // Take the new pixels' place; the emptied record frees nothing.
    Free();
    m_memory = resized.m_memory;
    m_bits = resized.m_bits;
    m_width = resized.m_width;
    m_height = resized.m_height;
    m_bitsPerPixel = resized.m_bitsPerPixel;
    m_bytesPerRow = resized.m_bytesPerRow;
    m_rowCounter = 0;
    m_flags = resized.m_flags;
    m_rowOrder = resized.m_rowOrder;
    m_size = resized.m_size;
    resized.m_flags = 0;
    resized.m_memory = nullptr;
    resized.m_bits = nullptr;
    return 0;
}

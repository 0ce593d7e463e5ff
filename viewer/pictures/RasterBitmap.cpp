#include "RasterBitmap.h"

#include "PictureDecoders.h"

#include <shlwapi.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace
{
const ULONGLONG kLargestPixelMemory = 0x7FFFFFFF;

void MirrorRow(BYTE* row, int width, int bytesPerPixel)
{
    for (int left = 0, right = width - 1; left < right; ++left, --right)
        std::swap_ranges(row + left * bytesPerPixel, row + (left + 1) * bytesPerPixel, row + right * bytesPerPixel);
}
} // namespace

int CRasterBitmap::Create(int width, int height, int bitsPerPixel, int alphaFlag, int rowOrder)
{
    Free();
    m_memory = nullptr;
    m_bits = nullptr;
    m_rowCounter = 0;
    m_flags = 0;
    m_rowOrder = BottomUp;
    m_dibSection = nullptr;
    m_previousObject = nullptr;
    m_deviceContext = nullptr;
    m_width = m_height = m_bytesPerRow = 0;
    m_size = 0;
    m_resolutionX = m_resolutionY = 0;
    if (width <= 0 || height <= 0 || (bitsPerPixel != 1 && bitsPerPixel != 24 && bitsPerPixel != 32))
        return -1;
    const ULONGLONG bytesPerRow = (ULONGLONG(width) * bitsPerPixel + 31) / 32 * 4;
    const ULONGLONG size = bytesPerRow * ULONGLONG(height);
    if (size > kLargestPixelMemory)
        return -1;

    m_width = width;
    m_height = height;
    m_bitsPerPixel = bitsPerPixel;
    m_bytesPerRow = int(bytesPerRow);
    m_alphaFlag = alphaFlag;
    m_rowOrder = rowOrder;
    m_size = DWORD(size);
    m_memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, m_size);
    m_bits = m_memory ? static_cast<BYTE*>(GlobalLock(m_memory)) : nullptr;
    if (!m_bits)
    {
        if (m_memory)
            GlobalFree(m_memory);
        m_memory = nullptr;
        m_width = m_height = m_bytesPerRow = 0;
        m_size = 0;
        return -1;
    }
    m_flags |= HasPixels;
    return 0;
}

void CRasterBitmap::Free()
{
    if (m_flags & HasPixels)
    {
        if (m_memory)
        {
            GlobalUnlock(m_memory);
            GlobalFree(m_memory);
            m_memory = nullptr;
        }
        if (m_dibSection)
        {
            SelectObject(m_deviceContext, m_previousObject);
            DeleteObject(m_dibSection);
            m_dibSection = nullptr;
            m_previousObject = nullptr;
        }
        m_bits = nullptr;
    }
    m_flags &= ~DWORD(HasPixels);
}

HDC CRasterBitmap::MakeDIBSection()
{
    if (!HasPixelMemory() || !m_memory || (m_bitsPerPixel != 24 && m_bitsPerPixel != 32))
        return nullptr;
    if (m_rowOrder == BottomUpMirrored)
        SetRowOrder(BottomUp);
    SetRowOrder(TopDown);

    HDC context = CreateCompatibleDC(nullptr);
    if (!context)
        return nullptr;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = m_width;
    info.bmiHeader.biHeight = -m_height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = WORD(m_bitsPerPixel);
    info.bmiHeader.biCompression = BI_RGB;
    info.bmiHeader.biSizeImage = m_size;
    info.bmiHeader.biXPelsPerMeter = m_resolutionX;
    info.bmiHeader.biYPelsPerMeter = m_resolutionY;
    void* sectionBits = nullptr;
    HBITMAP section = CreateDIBSection(context, &info, DIB_RGB_COLORS, &sectionBits, nullptr, 0);
    if (!section || !sectionBits)
    {
        if (section)
            DeleteObject(section);
        DeleteDC(context);
        return nullptr;
    }
    m_previousObject = SelectObject(context, section);
    std::memcpy(sectionBits, m_bits, m_size);
    GlobalUnlock(m_memory);
    GlobalFree(m_memory);
    m_memory = nullptr;
    m_bits = static_cast<BYTE*>(sectionBits);
    m_dibSection = section;
    m_deviceContext = context;
    return context;
}

void CRasterBitmap::Fill(DWORD value)
{
    if (!HasPixelMemory())
        return;
    for (int y = 0; y < m_height; ++y)
    {
        BYTE* row = Row(y);
        switch (m_bitsPerPixel)
        {
        case 1:
            std::memset(row, (value & 1) ? 0xFF : 0x00, size_t(m_bytesPerRow));
            break;
        case 24:
            for (int x = 0; x < m_width; ++x)
            {
                row[3 * x] = BYTE(value >> 16);
                row[3 * x + 1] = BYTE(value >> 8);
                row[3 * x + 2] = BYTE(value);
            }
            break;
        case 32:
            std::memset(row, BYTE(value), size_t(m_width) * 4);
            break;
        }
    }
}

int CRasterBitmap::SetRowOrder(int target)
{
    if (!HasPixelMemory())
        return 0;
    const bool flip = (m_rowOrder == TopDown && target == BottomUp) || (m_rowOrder == BottomUp && target == TopDown);
    const bool mirror = (m_rowOrder == TopDownMirrored && target == TopDown) ||
                        (m_rowOrder == BottomUpMirrored && target == BottomUp);
    if (flip)
    {
        for (int top = 0, bottom = m_height - 1; top < bottom; ++top, --bottom)
            std::swap_ranges(Row(top), Row(top) + m_bytesPerRow, Row(bottom));
    }
    else if (mirror)
    {
        // A pixel moves with all its bytes: 3 for 24 bits, 4 (with its alpha) for 32 bits.
        if (m_bitsPerPixel != 24 && m_bitsPerPixel != 32)
            return 0;
        for (int y = 0; y < m_height; ++y)
            MirrorRow(Row(y), m_width, m_bitsPerPixel / 8);
    }
    else
    {
        return 0;
    }
    m_rowOrder = target;
    return 0;
}

int CRasterBitmap::LoadPicture(const void* data, DWORD size, int bitsPerPixel, int alphaFlag)
{
    Free();
    if (!data || size == 0)
        return -1;
    IStream* stream = SHCreateMemStream(static_cast<const BYTE*>(data), size);
    if (!stream)
        return -1;
    const int result = LoadPicture(stream, bitsPerPixel, alphaFlag);
    stream->Release();
    return result;
}

int CRasterBitmap::LoadPicture(IStream* source, int bitsPerPixel, int alphaFlag)
{
    Free();
    if (!source)
        return -1;
    if (bitsPerPixel == 0)
        bitsPerPixel = 32;
    if (bitsPerPixel != 24 && bitsPerPixel != 32)
        return -1;
    char signature[2] = {};
    ULONG got = 0;
    if (FAILED(source->Read(signature, sizeof signature, &got)))
        return -1;
    LARGE_INTEGER start = {};
    if (FAILED(source->Seek(start, STREAM_SEEK_SET, nullptr)))
        return -1;
    int result = -1;
    if (got == 2 && signature[0] == 'B' && signature[1] == 'M')
        result = DecodeBmp(source, *this, bitsPerPixel, alphaFlag);
    else
        result = DecodeJpeg(source, *this, alphaFlag);
    if (result != 0)
        Free();
    return result;
}

int CRasterBitmap::AlphaFromGrey(const CRasterBitmap& mask)
{
    if (!HasPixelMemory() || !mask.HasPixelMemory() || m_bitsPerPixel != 32 || mask.m_bitsPerPixel != 32 ||
        mask.m_width != m_width || mask.m_height != m_height)
        return -1;
    for (int y = 0; y < m_height; ++y)
    {
        BYTE* row = Row(y);
        const BYTE* maskRow = mask.Row(y);
        for (int x = 0; x < m_width; ++x)
        {
            const BYTE* grey = maskRow + 4 * x;
            row[4 * x + 3] = BYTE((6 * grey[1] + 3 * grey[2] + grey[0]) / 10);
        }
    }
    return 0;
}

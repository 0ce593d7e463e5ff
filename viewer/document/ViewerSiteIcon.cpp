#include "ViewerSiteIcon.h"

#include <cstring>
#include <memory>

namespace {
const uint32_t kIconImage = 0x40010001;
const uint32_t kIconValue = 0x40010002;
const size_t kFileHeaderSize = 14;
const size_t kInfoHeaderSize = 40;

template <class T> T ReadAt(const std::vector<BYTE>& bytes, size_t offset)
{
    T value;
    std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}
}

int CViewerSiteIcon::OnLoadProperties(CViewerPropertyBag& bag)
{
    bag.GetValue(kIconValue, m_extraValue);
    if (const CViewerPropertyBag::Record* image = bag.FindById(kIconImage))
        m_image = image->data;
    return 0;
}

HBITMAP CViewerSiteIcon::CreateBitmap() const
{
    const size_t size = m_image.size();
    if (size < kFileHeaderSize + kInfoHeaderSize || m_image[0] != 'B' || m_image[1] != 'M')
        return nullptr;
    const DWORD bitsOffset = ReadAt<DWORD>(m_image, 10);
    BITMAPINFOHEADER header = ReadAt<BITMAPINFOHEADER>(m_image, kFileHeaderSize);
    if (header.biSize < kInfoHeaderSize || header.biWidth <= 0 || header.biHeight == 0 || header.biPlanes != 1 ||
        header.biCompression != BI_RGB)
        return nullptr;
    const WORD bitCount = header.biBitCount;
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
        return nullptr;

    // The colour table sits between the headers and the bits.
    const size_t tableOffset = kFileHeaderSize + header.biSize;
    size_t colours = 0;
    if (bitsOffset != kFileHeaderSize + kInfoHeaderSize) {
        colours = header.biClrUsed ? header.biClrUsed : (bitCount <= 8 ? (size_t(1) << bitCount) : 0);
        if (colours > 256)
            return nullptr;
    }
    if (tableOffset > size || colours * sizeof(RGBQUAD) > size - tableOffset ||
        bitsOffset < tableOffset + colours * sizeof(RGBQUAD) || bitsOffset > size)
        return nullptr;
    const unsigned long long height = header.biHeight < 0 ? -static_cast<long long>(header.biHeight) : header.biHeight;
    const unsigned long long stride = ((static_cast<unsigned long long>(header.biWidth) * bitCount + 31) / 32) * 4;
    if (stride * height > size - bitsOffset)
        return nullptr;

    const size_t infoSize = sizeof(BITMAPINFOHEADER) + (colours ? colours : 1) * sizeof(RGBQUAD);
    std::unique_ptr<BYTE[]> infoBytes(new BYTE[infoSize]());
    BITMAPINFO* info = reinterpret_cast<BITMAPINFO*>(infoBytes.get());
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biClrUsed = static_cast<DWORD>(colours);
    info->bmiHeader = header;
    std::memcpy(info->bmiColors, m_image.data() + tableOffset, colours * sizeof(RGBQUAD));

    HPALETTE palette = nullptr;
    if (colours) {
        std::unique_ptr<BYTE[]> paletteBytes(new BYTE[sizeof(LOGPALETTE) + colours * sizeof(PALETTEENTRY)]());
        LOGPALETTE* logical = reinterpret_cast<LOGPALETTE*>(paletteBytes.get());
        logical->palVersion = 0x300;
        logical->palNumEntries = static_cast<WORD>(colours);
        for (size_t i = 0; i < colours; ++i) {
            const RGBQUAD& quad = info->bmiColors[i];
            logical->palPalEntry[i] = {quad.rgbRed, quad.rgbGreen, quad.rgbBlue, 0};
        }
        palette = CreatePalette(logical);
    }

    HDC screen = GetDC(nullptr);
    if (!screen) {
        if (palette)
            DeleteObject(palette);
        return nullptr;
    }
    HPALETTE previous = nullptr;
    if (palette) {
        previous = SelectPalette(screen, palette, FALSE);
        RealizePalette(screen);
    }
    HBITMAP bitmap = CreateDIBitmap(screen, &info->bmiHeader, CBM_INIT, m_image.data() + bitsOffset, info,
                                    DIB_RGB_COLORS);
    if (palette) {
        SelectPalette(screen, previous, FALSE);
        DeleteObject(palette);
    }
    ReleaseDC(nullptr, screen);
    return bitmap;
}

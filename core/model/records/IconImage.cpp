#include "IconImage.h"

#include <wincodec.h>

#include <cstring>

namespace {

// {CACAF262-9370-4615-A13B-9F5539DA4C0A}
const CLSID kWicFactoryClass = {0xcacaf262, 0x9370, 0x4615, {0xa1, 0x3b, 0x9f, 0x55, 0x39, 0xda, 0x4c, 0x0a}};
// {EC5EC8A9-C395-4314-9C77-54D7A935FF70}
const IID kWicFactoryInterface = {0xec5ec8a9, 0xc395, 0x4314, {0x9c, 0x77, 0x54, 0xd7, 0xa9, 0x35, 0xff, 0x70}};
// {6FDDC324-4E03-4BFE-B185-3D77768DC90E}: 32 bits per pixel, blue green red and an unused byte.
const GUID kPixelFormat32bppBGR = {0x6fddc324, 0x4e03, 0x4bfe, {0xb1, 0x85, 0x3d, 0x77, 0x76, 0x8d, 0xc9, 0x0e}};

// The sixteen colours of the standard system palette, in its order.
const COLORREF kStandardColours[16] = {
    RGB(0, 0, 0),       RGB(128, 0, 0),   RGB(0, 128, 0),   RGB(128, 128, 0), RGB(0, 0, 128),   RGB(128, 0, 128),
    RGB(0, 128, 128),   RGB(192, 192, 192), RGB(128, 128, 128), RGB(255, 0, 0), RGB(0, 255, 0),   RGB(255, 255, 0),
    RGB(0, 0, 255),     RGB(255, 0, 255), RGB(0, 255, 255), RGB(255, 255, 255)};

// Images larger than this are no icons.
constexpr UINT kLargestSide = 4096;

template <class T>
struct Released {
    T* p = nullptr;
    ~Released()
    {
        if (p)
            p->Release();
    }
};

BYTE NearestIndex(uint32_t rgb)
{
    const int r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
    int best = 0;
    long bestDistance = -1;
    for (int i = 0; i < 16; ++i) {
        const int dr = r - GetRValue(kStandardColours[i]), dg = g - GetGValue(kStandardColours[i]),
                  db = b - GetBValue(kStandardColours[i]);
        const long distance = static_cast<long>(dr) * dr + static_cast<long>(dg) * dg + static_cast<long>(db) * db;
        if (bestDistance < 0 || distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return static_cast<BYTE>(best);
}

template <class T>
void Put(std::vector<BYTE>& out, size_t at, T value)
{
    std::memcpy(out.data() + at, &value, sizeof value);
}

}  // namespace

bool DecodeImageFile(const void* data, size_t size, DecodedImage& image)
{
    if (!data || size == 0 || size > 0x7FFFFFFF)
        return false;
    Released<IWICImagingFactory> factory;
    if (FAILED(CoCreateInstance(kWicFactoryClass, nullptr, CLSCTX_INPROC_SERVER, kWicFactoryInterface,
                                reinterpret_cast<void**>(&factory.p))))
        return false;
    Released<IWICStream> stream;
    Released<IWICBitmapDecoder> decoder;
    Released<IWICBitmapFrameDecode> frame;
    Released<IWICFormatConverter> converter;
    UINT width = 0, height = 0;
    if (FAILED(factory.p->CreateStream(&stream.p)) ||
        FAILED(stream.p->InitializeFromMemory(static_cast<BYTE*>(const_cast<void*>(data)), static_cast<DWORD>(size))) ||
        FAILED(factory.p->CreateDecoderFromStream(stream.p, nullptr, WICDecodeMetadataCacheOnDemand, &decoder.p)) ||
        FAILED(decoder.p->GetFrame(0, &frame.p)) || FAILED(factory.p->CreateFormatConverter(&converter.p)) ||
        FAILED(converter.p->Initialize(frame.p, kPixelFormat32bppBGR, WICBitmapDitherTypeNone, nullptr, 0.0,
                                       WICBitmapPaletteTypeCustom)) ||
        FAILED(converter.p->GetSize(&width, &height)) || width == 0 || height == 0 || width > kLargestSide ||
        height > kLargestSide)
        return false;
    image.width = static_cast<int>(width);
    image.height = static_cast<int>(height);
    image.pixels.assign(static_cast<size_t>(width) * height, 0);
    if (FAILED(converter.p->CopyPixels(nullptr, width * 4, static_cast<UINT>(image.pixels.size() * 4),
                                       reinterpret_cast<BYTE*>(image.pixels.data()))))
        return false;
    for (uint32_t& pixel : image.pixels)
        pixel &= 0x00FFFFFF;
    return true;
}

std::vector<BYTE> EncodeSixteenColourBmp(const DecodedImage& image)
{
    const size_t stride = ((static_cast<size_t>(image.width) * 4 + 31) / 32) * 4;
    const size_t bitsAt = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + 16 * sizeof(RGBQUAD);
    const size_t total = bitsAt + stride * static_cast<size_t>(image.height);
    std::vector<BYTE> out(total, 0);
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfSize = static_cast<DWORD>(total);
    file.bfOffBits = static_cast<DWORD>(bitsAt);
    Put(out, 0, file);
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = image.width;
    info.biHeight = image.height;  // bottom-up
    info.biPlanes = 1;
    info.biBitCount = 4;
    info.biCompression = BI_RGB;
    info.biSizeImage = static_cast<DWORD>(stride * static_cast<size_t>(image.height));
    info.biClrUsed = 16;
    Put(out, sizeof file, info);
    for (int i = 0; i < 16; ++i) {
        const RGBQUAD quad = {GetBValue(kStandardColours[i]), GetGValue(kStandardColours[i]),
                              GetRValue(kStandardColours[i]), 0};
        Put(out, sizeof file + sizeof info + i * sizeof(RGBQUAD), quad);
    }
    for (int y = 0; y < image.height; ++y) {
        BYTE* row = out.data() + bitsAt + stride * static_cast<size_t>(image.height - 1 - y);
        for (int x = 0; x < image.width; ++x) {
            const BYTE index = NearestIndex(image.pixels[static_cast<size_t>(y) * image.width + x]);
            row[x / 2] |= x % 2 ? index : static_cast<BYTE>(index << 4);
        }
    }
    return out;
}

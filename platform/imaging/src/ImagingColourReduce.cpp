#include "imaging/ImagingColourReduce.h"

#include <unordered_map>

namespace {

const unsigned char kVga[16][3] = {
    {0, 0, 0}, {128, 0, 0}, {0, 128, 0}, {128, 128, 0}, {0, 0, 128}, {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
    {128, 128, 128}, {255, 0, 0}, {0, 255, 0}, {255, 255, 0}, {0, 0, 255}, {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};

RGBQUAD Quad(int r, int g, int b)
{
    RGBQUAD q = {};
    q.rgbRed = static_cast<BYTE>(r);
    q.rgbGreen = static_cast<BYTE>(g);
    q.rgbBlue = static_cast<BYTE>(b);
    return q;
}

int Nearest(const std::vector<RGBQUAD>& palette, int r, int g, int b)
{
    int best = 0;
    long bestDistance = -1;
    for (size_t i = 0; i < palette.size(); ++i) {
        const long dr = palette[i].rgbRed - r, dg = palette[i].rgbGreen - g, db = palette[i].rgbBlue - b;
        const long distance = dr * dr + dg * dg + db * db;
        if (bestDistance < 0 || distance < bestDistance) {
            best = static_cast<int>(i);
            bestDistance = distance;
        }
    }
    return best;
}

std::vector<RGBQUAD> CubeAndGreys()
{
    std::vector<RGBQUAD> palette;
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                palette.push_back(Quad(r * 51, g * 51, b * 51));
    for (int i = 0; i < 40; ++i)
        palette.push_back(Quad(6 + i * 6, 6 + i * 6, 6 + i * 6));
    return palette;
}

} // namespace

void ImagingReadRgb(const ImagingBitmap* bitmap, int x, int y, unsigned char bgr[3])
{
    const unsigned char* p = ImagingPixelAddress(bitmap, x, y);
    bgr[0] = p[0];
    bgr[1] = p[1];
    bgr[2] = p[2];
}

int ImagingReduceColours(const ImagingBitmap* bitmap, int bitsPerPixel, ImagingIndexedImage* out)
{
    if (!bitmap || !out || !bitmap->Allocated || (bitmap->BitsPerPixel != 24 && bitmap->BitsPerPixel != 32) ||
        (bitsPerPixel != 1 && bitsPerPixel != 4 && bitsPerPixel != 8))
        return ImagingBadArgument;
    out->Width = bitmap->Width;
    out->Height = bitmap->Height;
    out->BitsPerPixel = bitsPerPixel;
    out->Indices.assign(static_cast<size_t>(bitmap->Width) * bitmap->Height, 0);
    out->Palette.clear();
    if (bitsPerPixel == 1) {
        out->Palette = {Quad(0, 0, 0), Quad(255, 255, 255)};
    } else if (bitsPerPixel == 4) {
        for (const auto& c : kVga)
            out->Palette.push_back(Quad(c[0], c[1], c[2]));
    } else {
        // The image's own colours, in order of appearance, when they fit.
        std::unordered_map<unsigned, int> seen;
        for (int y = 0; y < bitmap->Height && seen.size() <= 256; ++y) {
            for (int x = 0; x < bitmap->Width && seen.size() <= 256; ++x) {
                unsigned char bgr[3];
                ImagingReadRgb(bitmap, x, y, bgr);
                const unsigned key = bgr[2] << 16 | bgr[1] << 8 | bgr[0];
                if (seen.emplace(key, static_cast<int>(seen.size())).second && seen.size() <= 256)
                    out->Palette.push_back(Quad(bgr[2], bgr[1], bgr[0]));
            }
        }
        if (seen.size() > 256)
            out->Palette = CubeAndGreys();
        while (out->Palette.size() < 256)
            out->Palette.push_back(Quad(0, 0, 0));
    }
    std::unordered_map<unsigned, int> cache;
    for (int y = 0; y < bitmap->Height; ++y) {
        for (int x = 0; x < bitmap->Width; ++x) {
            unsigned char bgr[3];
            ImagingReadRgb(bitmap, x, y, bgr);
            int index;
            if (bitsPerPixel == 1) {
                // Rec. 601 luminance, in integers.
                index = (299 * bgr[2] + 587 * bgr[1] + 114 * bgr[0]) >= 128000 ? 1 : 0;
            } else {
                const unsigned key = bgr[2] << 16 | bgr[1] << 8 | bgr[0];
                auto found = cache.find(key);
                if (found == cache.end())
                    found = cache.emplace(key, Nearest(out->Palette, bgr[2], bgr[1], bgr[0])).first;
                index = found->second;
            }
            out->Indices[static_cast<size_t>(y) * bitmap->Width + x] = static_cast<unsigned char>(index);
        }
    }
    return ImagingOk;
}

int ImagingConvertTo16(const ImagingBitmap* source, ImagingBitmap* target)
{
    if (!source || !target || source == target || !source->Allocated ||
        (source->BitsPerPixel != 24 && source->BitsPerPixel != 32))
        return ImagingBadArgument;
    const int result = ImagingAllocateBitmap(target, source->Width, source->Height, 16);
    if (result != ImagingOk)
        return result;
    ImagingAccessScope access(target);
    for (int y = 0; y < source->Height; ++y) {
        for (int x = 0; x < source->Width; ++x) {
            unsigned char bgr[3];
            ImagingReadRgb(source, x, y, bgr);
            const unsigned pixel = (bgr[2] >> 3) << 10 | (bgr[1] >> 3) << 5 | (bgr[0] >> 3);
            unsigned char* p = ImagingPixelAddress(target, x, y);
            p[0] = static_cast<unsigned char>(pixel & 0xFF);
            p[1] = static_cast<unsigned char>(pixel >> 8);
        }
    }
    return ImagingOk;
}

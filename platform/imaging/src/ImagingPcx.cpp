#include "imaging/ImagingPcx.h"

#include <cstdio>
#include <cstring>
#include <vector>
#include "imaging/ImagingColourReduce.h"

namespace {

void Put16(unsigned char* p, int value)
{
    p[0] = static_cast<unsigned char>(value & 0xFF);
    p[1] = static_cast<unsigned char>((value >> 8) & 0xFF);
}

// Run-length encoding of one plane of a scan line: runs of up to 63, and a single byte of
// 0xC0 or more written as a run of one.
void EncodeLine(const std::vector<unsigned char>& line, std::vector<unsigned char>& out)
{
    for (size_t i = 0; i < line.size();) {
        size_t run = 1;
        while (i + run < line.size() && run < 63 && line[i + run] == line[i])
            ++run;
        if (run > 1 || line[i] >= 0xC0)
            out.push_back(static_cast<unsigned char>(0xC0 | run));
        out.push_back(line[i]);
        i += run;
    }
}

} // namespace

int ImagingSavePcx(const ImagingBitmap* bitmap, const char* path, int bitsPerPixel)
{
    if (!bitmap || !path || !bitmap->Allocated || (bitmap->BitsPerPixel != 24 && bitmap->BitsPerPixel != 32) ||
        (bitsPerPixel != 1 && bitsPerPixel != 4 && bitsPerPixel != 8 && bitsPerPixel != 24) ||
        bitmap->Width > 65535 || bitmap->Height > 65535)
        return ImagingBadArgument;
    const int width = bitmap->Width, height = bitmap->Height;
    const int bitsPerPlane = bitsPerPixel == 24 ? 8 : bitsPerPixel == 4 ? 1 : bitsPerPixel;
    const int planes = bitsPerPixel == 24 ? 3 : bitsPerPixel == 4 ? 4 : 1;
    const int planeBytes = ((width * bitsPerPlane + 7) / 8 + 1) & ~1;  // even, as the format asks

    ImagingIndexedImage indexed;
    if (bitsPerPixel != 24) {
        const int result = ImagingReduceColours(bitmap, bitsPerPixel, &indexed);
        if (result != ImagingOk)
            return result;
    }

    unsigned char header[128] = {};
    header[0] = 10;
    header[1] = 5;
    header[2] = 1;
    header[3] = static_cast<unsigned char>(bitsPerPlane);
    Put16(header + 8, width - 1);
    Put16(header + 10, height - 1);
    Put16(header + 12, 96);
    Put16(header + 14, 96);
    if (bitsPerPixel == 1 || bitsPerPixel == 4) {
        for (size_t i = 0; i < indexed.Palette.size() && i < 16; ++i) {
            header[16 + 3 * i] = indexed.Palette[i].rgbRed;
            header[17 + 3 * i] = indexed.Palette[i].rgbGreen;
            header[18 + 3 * i] = indexed.Palette[i].rgbBlue;
        }
    }
    header[65] = static_cast<unsigned char>(planes);
    Put16(header + 66, planeBytes);
    Put16(header + 68, 1);

    std::vector<unsigned char> data(header, header + sizeof header);
    std::vector<unsigned char> line(static_cast<size_t>(planeBytes) * planes);
    for (int y = 0; y < height; ++y) {
        std::fill(line.begin(), line.end(), 0);
        for (int x = 0; x < width; ++x) {
            if (bitsPerPixel == 24) {
                unsigned char bgr[3];
                ImagingReadRgb(bitmap, x, y, bgr);
                line[x] = bgr[2];
                line[planeBytes + x] = bgr[1];
                line[2 * planeBytes + x] = bgr[0];
                continue;
            }
            const unsigned char index = indexed.Indices[static_cast<size_t>(y) * width + x];
            if (bitsPerPixel == 8) {
                line[x] = index;
            } else {
                // One bit per plane: plane p holds bit p of the index.
                for (int p = 0; p < planes; ++p)
                    if (index >> p & 1)
                        line[static_cast<size_t>(p) * planeBytes + x / 8] |= static_cast<unsigned char>(0x80 >> (x % 8));
            }
        }
        for (int p = 0; p < planes; ++p)
            EncodeLine(std::vector<unsigned char>(line.begin() + static_cast<size_t>(p) * planeBytes,
                                                  line.begin() + static_cast<size_t>(p + 1) * planeBytes),
                       data);
    }
    if (bitsPerPixel == 8) {
        data.push_back(12);
        for (const RGBQUAD& q : indexed.Palette) {
            data.push_back(q.rgbRed);
            data.push_back(q.rgbGreen);
            data.push_back(q.rgbBlue);
        }
    }
    std::FILE* file = std::fopen(path, "wb");
    if (!file)
        return ImagingWriteFailed;
    const bool written = std::fwrite(data.data(), 1, data.size(), file) == data.size();
    const bool closed = std::fclose(file) == 0;
    return written && closed ? ImagingOk : ImagingWriteFailed;
}

// Writes PCX files of two test patterns at every depth for check_pcx.py:
// a: a gradient of many colours, b: vertical stripes of twelve colours; 37 and 48 pixels wide.
#include <cstdio>
#include <cstdlib>
#include <string>
#include "imaging/ImagingBitmap.h"
#include "imaging/ImagingPcx.h"

namespace {

void Pattern(ImagingBitmap* bitmap, char pattern)
{
    static const unsigned char stripes[12][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 0}, {0, 255, 255},
                                                 {255, 0, 255}, {0, 0, 0}, {255, 255, 255}, {200, 100, 50},
                                                 {10, 20, 30}, {128, 128, 128}, {250, 192, 203}};
    for (int y = 0; y < bitmap->Height; ++y) {
        for (int x = 0; x < bitmap->Width; ++x) {
            unsigned char* p = ImagingPixelAddress(bitmap, x, y);
            unsigned char r, g, b;
            if (pattern == 'a') {
                r = static_cast<unsigned char>(x * 37 & 255);
                g = static_cast<unsigned char>(y * 59 & 255);
                b = static_cast<unsigned char>((x + y) * 13 & 255);
            } else {
                const unsigned char* c = stripes[(x / 3) % 12];
                r = c[0];
                g = c[1];
                b = c[2];
            }
            p[0] = b;
            p[1] = g;
            p[2] = r;
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    const std::string folder = argv[1];
    int failures = 0;
    for (const char* name : {"a37", "b37", "a48", "b48"}) {
        const char pattern = name[0];
        ImagingBitmap bitmap;
        ImagingInitBitmap(&bitmap);
        if (ImagingAllocateBitmap(&bitmap, std::atoi(name + 1), 23, 24) != ImagingOk)
            return 1;
        ImagingAccessScope access(&bitmap);
        Pattern(&bitmap, pattern);
        for (int bits : {1, 4, 8, 24}) {
            const std::string path = folder + "\\" + name + "_" + std::to_string(bits) + ".pcx";
            if (ImagingSavePcx(&bitmap, path.c_str(), bits) != ImagingOk)
                ++failures;
        }
        // Depths the format does not have, and a path that cannot be written.
        if (ImagingSavePcx(&bitmap, (folder + "\\x.pcx").c_str(), 16) != ImagingBadArgument)
            ++failures;
        if (ImagingSavePcx(&bitmap, (folder + "\\no such folder\\x.pcx").c_str(), 24) != ImagingWriteFailed)
            ++failures;
        ImagingFreeBitmap(&bitmap);
    }
    std::printf("FAILURES %d\n", failures);
    return failures ? 1 : 0;
}

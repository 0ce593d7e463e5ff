// Runs the bitmap transformation cases of a text file for the Python model check.
// Each line: source-file sourceW sourceH destW destH destBits destFill clipL clipT clipR clipB
// m0 m1 m2 m3 m4 m5 method blend. The source file holds sourceW x sourceH 32-bit pixels, rows
// top-down; "-" stands for a bitmap without pixels. Each case writes int32 width, height, bytes per
// line and stored byte count, then the destination's stored bytes with the guard bytes around them.
#include <cstdio>
#include <vector>

#include "imaging/ImagingBitmap.h"
#include "render/TransformBitmap.h"
#include "../TestRaster.h"
#include "../ProbeFiles.h"

int main(int argc, char** argv) {
    FILE *in, *out;
    if (!OpenProbeFiles(argc, argv, "transform-probe", in, out)) return 2;
    char line[2048], path[1024];
    while (std::fgets(line, sizeof line, in)) {
        int sw, sh, dw, dh, bits, fill, method, blend;
        long l, t, r, b;
        double m[6];
        if (std::sscanf(line, "%1023s %d %d %d %d %d %d %ld %ld %ld %ld %lf %lf %lf %lf %lf %lf %d %d", path, &sw, &sh,
                        &dw, &dh, &bits, &fill, &l, &t, &r, &b, &m[0], &m[1], &m[2], &m[3], &m[4], &m[5], &method,
                        &blend) != 19)
            continue;
        std::vector<uint8_t> pixels;
        ImagingBitmap source, dest;
        ImagingInitBitmap(&source);
        ImagingInitBitmap(&dest);
        if (path[0] != '-' && sw > 0 && sh > 0) {
            pixels.resize(size_t(sw) * sh * 4);
            FILE* f = std::fopen(path, "rb");
            if (!f || std::fread(pixels.data(), 1, pixels.size(), f) != pixels.size()) return 3;
            std::fclose(f);
            ImagingAttachBits(&source, pixels.data(), sw, sh, 32, sw * 4);
        }
        TestRaster raster(dw, dh, bits, uint8_t(fill));
        ImagingAttachBits(&dest, raster.View().bits, dw, dh, bits, raster.View().bytesPerLine);
        const RECT clip = {l, t, r, b};
        TransformBitmap(&source, &dest, &clip, CAffineMatrix(m[0], m[1], m[2], m[3], m[4], m[5], 0, 0, 1), method,
                        blend != 0);
        const std::vector<uint8_t> stored = raster.Bytes();
        const int header[4] = {dw, dh, raster.View().bytesPerLine, int(stored.size())};
        std::fwrite(header, sizeof header, 1, out);
        std::fwrite(stored.data(), 1, stored.size(), out);
        ImagingFreeBitmap(&source);
        ImagingFreeBitmap(&dest);
    }
    std::fclose(in);
    std::fclose(out);
    return 0;
}

// Paints the gradient cases of a text file for the Python model check.
// Each line: width height bits fill, then FillLinearGradient's 26 arguments with the bitmap left out
// (kind extentW extentH cx cy rx ry angle density startX startY length smooth colour1 colour2 dither
// left top right bottom originX originY coarse cyclic). A width of 0 hands over a bitmap without
// pixels. Each case writes int32 width, height, bytes per line and stored byte count, then the stored
// bytes: the pixels with their guard bytes around them (or the allocated pixels).
#include <cstdio>
#include <cstring>
#include <vector>

#include "imaging/ImagingBitmap.h"
#include "render/GradientFill.h"
#include "../TestRaster.h"
#include "../ProbeFiles.h"

int main(int argc, char** argv) {
    FILE *in, *out;
    if (!OpenProbeFiles(argc, argv, "gradient-probe", in, out)) return 2;
    char line[1024];
    while (std::fgets(line, sizeof line, in)) {
        int w, h, bits, fill, kind, ew, eh, smooth, dither, l, t, r, b, ox, oy, coarse, cyclic;
        unsigned c1, c2;
        double cx, cy, rx, ry, angle, density, sx, sy, length;
        if (std::sscanf(line, "%d %d %d %d %d %d %d %lf %lf %lf %lf %lf %lf %lf %lf %lf %d %u %u %d %d %d %d %d %d %d %d %d",
                        &w, &h, &bits, &fill, &kind, &ew, &eh, &cx, &cy, &rx, &ry, &angle, &density, &sx, &sy,
                        &length, &smooth, &c1, &c2, &dither, &l, &t, &r, &b, &ox, &oy, &coarse, &cyclic) != 28)
            continue;
        ImagingBitmap bitmap;
        ImagingInitBitmap(&bitmap);
        std::vector<uint8_t> stored;
        int header[4];
        if (w > 0) {
            TestRaster raster(w, h, bits, uint8_t(fill));
            ImagingAttachBits(&bitmap, raster.View().bits, w, h, bits, raster.View().bytesPerLine);
            FillLinearGradient(kind, ew, eh, cx, cy, rx, ry, angle, density, sx, sy, length, smooth, c1, c2,
                               &bitmap, bits, dither, l, t, r, b, ox, oy, coarse, cyclic);
            stored = raster.Bytes();
            header[0] = w, header[1] = h, header[2] = raster.View().bytesPerLine;
        } else {
            FillLinearGradient(kind, ew, eh, cx, cy, rx, ry, angle, density, sx, sy, length, smooth, c1, c2,
                               &bitmap, bits, dither, l, t, r, b, ox, oy, coarse, cyclic);
            header[0] = bitmap.Width, header[1] = bitmap.Height, header[2] = bitmap.BytesPerLine;
            if (bitmap.Allocated && ImagingAccessBitmap(&bitmap) == ImagingOk) {
                stored.assign(bitmap.Addr, bitmap.Addr + size_t(bitmap.BytesPerLine) * bitmap.Height);
                ImagingReleaseBitmap(&bitmap);
            }
        }
        header[3] = int(stored.size());
        std::fwrite(header, sizeof header, 1, out);
        std::fwrite(stored.data(), 1, stored.size(), out);
        ImagingFreeBitmap(&bitmap);
    }
    std::fclose(in);
    std::fclose(out);
    return 0;
}

// picture_dump <picture> <output> [width height]: decodes a stored picture (resampled to the given size
// when one is given) and writes "width height\n" followed by the pixels as B, G, R, A bytes, top row
// first. Exit code 1 when the picture cannot be decoded or resampled.
#include "RasterBitmap.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char** argv)
{
    if (argc != 3 && argc != 5)
    {
        std::fprintf(stderr, "usage: picture_dump <picture> <output> [width height]\n");
        return 2;
    }
    std::FILE* in = std::fopen(argv[1], "rb");
    if (!in)
        return 2;
    std::vector<BYTE> data;
    BYTE chunk[65536];
    for (size_t got; (got = std::fread(chunk, 1, sizeof chunk, in)) > 0;)
        data.insert(data.end(), chunk, chunk + got);
    std::fclose(in);

    CRasterBitmap bitmap;
    if (data.empty() || bitmap.LoadPicture(data.data(), DWORD(data.size()), 32, 0) != 0)
    {
        std::fprintf(stderr, "cannot decode %s\n", argv[1]);
        return 1;
    }
    if (argc == 5 && bitmap.Resample(std::atoi(argv[3]), std::atoi(argv[4])) != 0)
    {
        std::fprintf(stderr, "cannot resample %s\n", argv[1]);
        return 1;
    }
    bitmap.SetRowOrder(CRasterBitmap::TopDown);
    std::FILE* out = std::fopen(argv[2], "wb");
    if (!out)
        return 2;
    std::fprintf(out, "%d %d\n", bitmap.m_width, bitmap.m_height);
    for (int y = 0; y < bitmap.m_height; ++y)
        std::fwrite(bitmap.Row(y), 1, size_t(bitmap.m_width) * 4, out);
    std::fclose(out);
    return 0;
}

#pragma once
#include <windows.h>

#include <cstring>
#include <vector>

// Makes BMP files for the tests: pixel values (indexes or packed colours) are packed per bit count,
// rows are padded to 4 bytes and stored bottom-up unless the height is negative.
struct BmpBuilder
{
    int width = 1;
    int height = 1;
    int bitCount = 24;
    std::vector<RGBQUAD> table;
    std::vector<DWORD> pixels;  // top-down, width x |height|
    DWORD infoSize = 40;
    DWORD compression = BI_RGB;

    std::vector<BYTE> Build() const
    {
        const int rows = height < 0 ? -height : height;
        const size_t rowBytes = (size_t(width) * bitCount + 31) / 32 * 4;
        const DWORD pixelOffset = DWORD(14 + infoSize + table.size() * 4);
        std::vector<BYTE> file(pixelOffset + rowBytes * rows, 0);
        BITMAPFILEHEADER fileHeader = {};
        fileHeader.bfType = 0x4D42;
        fileHeader.bfSize = DWORD(file.size());
        fileHeader.bfOffBits = pixelOffset;
        std::memcpy(file.data(), &fileHeader, 14);
        BITMAPINFOHEADER info = {};
        info.biSize = infoSize;
        info.biWidth = width;
        info.biHeight = height;
        info.biPlanes = 1;
        info.biBitCount = WORD(bitCount);
        info.biCompression = compression;
        std::memcpy(file.data() + 14, &info, sizeof info);
        if (!table.empty())
            std::memcpy(file.data() + 14 + infoSize, table.data(), table.size() * 4);
        for (int y = 0; y < rows; ++y)
        {
            BYTE* row = file.data() + pixelOffset + rowBytes * size_t(height < 0 ? y : rows - 1 - y);
            for (int x = 0; x < width; ++x)
            {
                const DWORD value = pixels.at(size_t(y) * width + x);
                switch (bitCount)
                {
                case 1: row[x / 8] |= BYTE((value & 1) << (7 - x % 8)); break;
                case 4: row[x / 2] |= BYTE((value & 15) << (x % 2 ? 0 : 4)); break;
                case 8: row[x] = BYTE(value); break;
                case 16: std::memcpy(row + 2 * x, &value, 2); break;
                case 24: std::memcpy(row + 3 * x, &value, 3); break;
                case 32: std::memcpy(row + 4 * x, &value, 4); break;
                }
            }
        }
        return file;
    }
};

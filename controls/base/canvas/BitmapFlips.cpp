#include "BitmapFlips.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {
int PixelBytes(const ImagingBitmap* b) { return b->BitsPerPixel / 8; }

unsigned char* Row(ImagingBitmap* b, int y) { return b->Addr + static_cast<size_t>(y) * b->BytesPerLine; }

void ReverseRow(unsigned char* row, int width, int pixelBytes) {
    for (int l = 0, r = width - 1; l < r; ++l, --r)
        for (int k = 0; k < pixelBytes; ++k) std::swap(row[l * pixelBytes + k], row[r * pixelBytes + k]);
}
}  // namespace

void MirrorLeftToRight(ImagingBitmap* bitmap) {
    ImagingAccessScope access(bitmap);
    if (!access.ok() || bitmap->BitsPerPixel < 8) return;
    for (int y = 0; y < bitmap->Height; ++y) ReverseRow(Row(bitmap, y), bitmap->Width, PixelBytes(bitmap));
}

void MirrorTopToBottom(ImagingBitmap* bitmap) {
    ImagingAccessScope access(bitmap);
    if (!access.ok()) return;
    std::vector<unsigned char> spare(bitmap->BytesPerLine);
    for (int t = 0, b = bitmap->Height - 1; t < b; ++t, --b) {
        std::memcpy(spare.data(), Row(bitmap, t), spare.size());
        std::memcpy(Row(bitmap, t), Row(bitmap, b), spare.size());
        std::memcpy(Row(bitmap, b), spare.data(), spare.size());
    }
}

void RotateHalfTurn(ImagingBitmap* bitmap) {
    MirrorTopToBottom(bitmap);
    MirrorLeftToRight(bitmap);
}

void MoveBitmapBlock(ImagingBitmap* bitmap, int sx, int sy, int width, int height, int dx, int dy) {
    ImagingAccessScope access(bitmap);
    if (!access.ok()) return;
    // Clip against both places so that neither reads nor writes leave the bitmap.
    const int cutLeft = std::max({0, -sx, -dx}), cutTop = std::max({0, -sy, -dy});
    sx += cutLeft, dx += cutLeft, width -= cutLeft;
    sy += cutTop, dy += cutTop, height -= cutTop;
    width = std::min({width, bitmap->Width - sx, bitmap->Width - dx});
    height = std::min({height, bitmap->Height - sy, bitmap->Height - dy});
    if (width <= 0 || height <= 0) return;
    const int pb = PixelBytes(bitmap);
    const size_t bytes = static_cast<size_t>(width) * pb;
    auto copyRow = [&](int y) { std::memmove(Row(bitmap, dy + y) + dx * pb, Row(bitmap, sy + y) + sx * pb, bytes); };
    // Rows are walked away from the destination so that a row is read before it is overwritten.
    if (dy > sy)
        for (int y = height - 1; y >= 0; --y) copyRow(y);
    else
        for (int y = 0; y < height; ++y) copyRow(y);
}

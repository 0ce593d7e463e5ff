#include "BackgroundGeometry.h"

#include <algorithm>
#include <cmath>

namespace {

void AddBand(std::vector<RECT>& bands, RECT band, const RECT& update)
{
    RECT cut = {};
    if (band.right > band.left && band.bottom > band.top && IntersectRect(&cut, &band, &update))
        bands.push_back(cut);
}

double AtLeastOnePixelApart(long pixels) { return static_cast<double>(std::max(pixels - 1, 1L)); }

}  // namespace

std::vector<RECT> MarginBands(const CRectF& outer, const CRectF& inner, const RECT& update)
{
    const long ol = static_cast<long>(outer.left), ot = static_cast<long>(outer.top);
    const long orr = static_cast<long>(outer.right), ob = static_cast<long>(outer.bottom);
    const long il = std::max(ol, static_cast<long>(inner.left)), it = std::max(ot, static_cast<long>(inner.top));
    const long ir = std::min(orr, static_cast<long>(inner.right)), ib = std::min(ob, static_cast<long>(inner.bottom));
    std::vector<RECT> bands;
    AddBand(bands, RECT{ol, ot, orr, it}, update);
    AddBand(bands, RECT{ol, it, il, ib}, update);
    AddBand(bands, RECT{ol, ib, orr, ob}, update);
    AddBand(bands, RECT{ir, it, orr, ib}, update);
    return bands;
}

CSizeF ShadowExtent(const CRectF& sheet, double shadowSize)
{
    const double w = sheet.Width(), h = sheet.Height();
    return CSizeF(w < 2 * shadowSize ? w / 4 : shadowSize, h < 2 * shadowSize ? h / 4 : shadowSize);
}

CRectF GrowByOneSourcePixel(const CRectF& picture, SIZE pixels)
{
    const double u = picture.Width() / AtLeastOnePixelApart(pixels.cx);
    const double v = picture.Height() / AtLeastOnePixelApart(pixels.cy);
    return CRectF(picture.left - u, picture.top - v, picture.right + u, picture.bottom + v);
}

CRectF CenteredPicture(const CRectF& sheet, double width, double height)
{
    const double dx = -0.5 * (width - sheet.Width());
    const double dy = -0.5 * (height - sheet.Height());
    return CRectF(sheet.left + dx, sheet.top + dy, sheet.left + dx + width, sheet.top + dy + height);
}

SIZE TileCounts(const RECT& update, double scale, const CSizeF& tile, SIZE pixels)
{
    if (!(scale > 0) || !(tile.cx > 0) || !(tile.cy > 0) || pixels.cx < 1 || pixels.cy < 1)
        return SIZE{0, 0};
    auto count = [&](long from, long to, double tileSide, long sourcePixels) {
        const double tileDevice = tileSide * scale;
        const double phase = std::fmod(static_cast<double>(from), tileDevice) / scale;
        const double span = (to - from) / scale + phase + tileSide / sourcePixels;
        const double tiles = std::trunc(span / tileSide) + 1;
        // An absurd zoom must not turn into an absurd allocation: the caller caps the bitmap.
        return static_cast<long>(std::max(2.0, std::min(tiles, 1e6)));
    };
    return SIZE{count(update.left, update.right, tile.cx, pixels.cx), count(update.top, update.bottom, tile.cy, pixels.cy)};
}

SIZE LimitTileCounts(SIZE counts, SIZE pixels)
{
    if (pixels.cx > 0 && static_cast<long long>(counts.cx) * pixels.cx > kMaxTiledBitmapSide)
        counts.cx = std::max(2L, kMaxTiledBitmapSide / pixels.cx);
    if (pixels.cy > 0 && static_cast<long long>(counts.cy) * pixels.cy > kMaxTiledBitmapSide)
        counts.cy = std::max(2L, kMaxTiledBitmapSide / pixels.cy);
    return counts;
}

#pragma once
// Pixel arithmetic of a page background: margin bands, shadow bars, picture rectangles and the
// tiling grid. Kept apart from the drawing so that every division can be checked on its own.
#include <windows.h>

#include <vector>

#include "RectF.h"
#include "TarnApi.h"

// Largest side, in pixels, of the bitmap the tiled picture is repeated into; larger sheets are
// covered by drawing that bitmap several times.
constexpr int kMaxTiledBitmapSide = 1200;

// The four coloured bands between the outer rectangle (margins included) and the inner sheet,
// each cut to the update rectangle; empty bands are left out.
TARN_API std::vector<RECT> MarginBands(const CRectF& outer, const CRectF& inner, const RECT& update);

// Width and height of the drop shadow of a sheet: the shadow size, or a quarter of a side shorter
// than twice that size.
TARN_API CSizeF ShadowExtent(const CRectF& sheet, double shadowSize);

// The picture rectangle grown by one source pixel on each side, so that the filtered edge of the
// picture falls outside the sheet. A picture one pixel across grows by its whole width.
TARN_API CRectF GrowByOneSourcePixel(const CRectF& picture, SIZE pixels);

// Centred picture of the given size over the sheet.
TARN_API CRectF CenteredPicture(const CRectF& sheet, double width, double height);

// Number of tiles across and down that cover the update rectangle (device pixels) of a sheet
// drawn at scale pixels per inch, with tiles of tile size inches and picture pixels across and
// down. At least 2 in each axis; 0 when the tile or the scale has no extent.
TARN_API SIZE TileCounts(const RECT& update, double scale, const CSizeF& tile, SIZE pixels);

// The tile counts brought under the bitmap side limit.
TARN_API SIZE LimitTileCounts(SIZE counts, SIZE pixels);

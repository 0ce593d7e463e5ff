#pragma once
// Drawing entry of the anti-aliased poly-Bezier rasteriser: draws a path of segment records with a
// fill and/or outline request into a 24- or 32-bit bitmap, tile by tile, and optionally records the
// coverage it painted as CoverageMaskList nodes.
#include <windows.h>

#include "render/CoverageMaskList.h"
#include "render/FillInfo.h"
#include "render/SegmentDesc.h"

struct ImagingBitmap;
class SplitDrawingCache;

// Results besides byte counts (>= 0).
enum RenderResult {
    RenderFailed = -1,        // the drawing could not be completed (even the fallback failed)
    RenderListFull = -2,      // painted, but the record is incomplete (the caller's coverage buffer was
                              // too small, or a pixel lies beyond the entries' 16-bit coordinates): discard it
};

// Why a tile could not be drawn with the fixed working storage; the driver splits it.
enum TileStatus {
    TileDone = 0,
    TileTooLarge = 1,         // too many rows, or a point pool ran full: split into quadrants
    TileTooManyPieces = 2,    // 128 outline pieces needed: split into quadrants
    TileTooComplex = 3,       // scan conversion ran out of cells: split into halves
};

// How a path is drawn, besides the request.
struct RenderOptions {
    int highestQuality = 1;              // never take the small-shape shortcut
    int closed = 1;                      // sub-paths are closed: fill them and join their ends
    unsigned short* dashKey = nullptr;   // caller's slot for the dash-cache key, or null
    int nonZeroFill = 0;                 // fill by the non-zero rule instead of even-odd
    // Set by the driver for the tiles of a drawing it splits: the coverage they share. Callers
    // leave it null.
    SplitDrawingCache* splitCache = nullptr;
};

// Tile driver. maskCursor/maskLimit bound the caller's buffer for coverage nodes (both null: no
// record is kept); the result is the byte length of the nodes written, RenderFailed or
// RenderListFull. cliprect is narrowed to the area rendered. depth is 0 for an outside caller.
int DrawPolyBezierTiled(ImagingBitmap* bdst, RECT* cliprect, const SegmentDesc* segments, int snum,
                        unsigned char* maskCursor, const unsigned char* maskLimit, const FillInfo* fillInfo,
                        int highestQuality, int closed, unsigned short* dashKey, int depth);

// The same with every option (fill rule included).
int DrawPolyBezierTiledEx(ImagingBitmap* bdst, RECT* cliprect, const SegmentDesc* segments, int snum,
                          unsigned char* maskCursor, const unsigned char* maskLimit, const FillInfo* fillInfo,
                          const RenderOptions& options, int depth);

// One tile. Sets *status (TileStatus) when the tile must be split and returns what was recorded
// so far; otherwise leaves *status as passed and returns the byte length of the nodes written.
int RenderPolyBezierTile(ImagingBitmap* bdst, RECT* cliprect, const SegmentDesc* segments, int snum,
                         unsigned char* maskCursor, const unsigned char* maskLimit, const FillInfo* fillInfo,
                         const RenderOptions& options, int* status);

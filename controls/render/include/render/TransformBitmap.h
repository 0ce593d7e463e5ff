// Affine transformation of a 32-bit bitmap into another bitmap, inverse-mapped in 16.16 fixed point.
//
// Sampling phase: the matrix maps pixel centres, which sit on whole coordinates in both bitmaps.
// Destination pixel (X, Y) takes the source position inverse(X, Y); nearest sampling takes the
// source pixel whose centre is closest (ties to the right and down), bilinear sampling weighs the
// four pixels around the position. So the identity and
// whole-pixel translations copy one to one, and the image's footprint, with its one-pixel fade for
// bilinear sampling, reaches from -1 to the width (height) in source coordinates.
#pragma once

#include <windows.h>

#include <cstdint>

#include "geometry/AffineMatrix.h"
#include "render/RasterBits.h"

struct ImagingBitmap;

enum TransformMethod {
    TransformNearest = 0,          // nearest pixel
    TransformReducedBilinear = 1,  // bilinear after an area-averaging reduction where the image shrinks
    TransformBilinear = 2,         // bilinear only
};

// Draws the 32-bit source through matrix (source to destination pixels) into dest inside clip (right
// and bottom exclusive). A 32-bit destination takes the samples as they are (alpha included); with
// blendToDest a 24-bit destination is blended by the source alpha. Nothing outside the footprint of
// the image, the clip or the destination changes. A singular or non-finite matrix, positions beyond
// the 16.16 range, unusable bitmaps or a destination of the wrong depth draw nothing. Without the
// multimedia extension every method samples the nearest pixel.
void TransformBitmap(ImagingBitmap* source, ImagingBitmap* dest, const RECT* clip, CAffineMatrix matrix, int method,
                     bool blendToDest);

// The same on accessed pixel rows, with the method taken as given.
void TransformRaster(const RasterBits& source, const RasterBits& dest, const RECT& clip, const CAffineMatrix& matrix,
                     int method, bool blendToDest);

// 16.16 product: the signed 64-bit product shifted right by 16, truncated to 32 bits.
int32_t FixedMul(int32_t a, int32_t b);

// Sutherland-Hodgman clipping of a polygon against the edges top, right, bottom, left of rect
// (inside: y >= top, x < right, y < bottom, x >= left). out must hold count + 4 points; polygons of
// more than 12 points are refused. Returns the clipped count (0 when nothing is left).
int ClipPolygonToRect(const tagPointF* points, int count, const RECT& rect, tagPointF* out);

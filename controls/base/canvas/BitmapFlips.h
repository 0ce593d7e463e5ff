#pragma once
// In-place rearrangements of a bitmap's pixels used when the canvas paints to a printer, and the
// block move used when it scrolls.
#include "imaging/ImagingBitmap.h"

void MirrorLeftToRight(ImagingBitmap* bitmap);
void MirrorTopToBottom(ImagingBitmap* bitmap);
void RotateHalfTurn(ImagingBitmap* bitmap);

// Copies the width x height block at (sx, sy) to (dx, dy) inside one bitmap; the two may overlap.
// The block is clipped to the bitmap on both sides.
void MoveBitmapBlock(ImagingBitmap* bitmap, int sx, int sy, int width, int height, int dx, int dy);

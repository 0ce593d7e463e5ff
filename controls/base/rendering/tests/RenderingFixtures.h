#pragma once
// What the rendering object's tests hand it: a closed square path, and an imaging bitmap owned by
// the test and filled with one colour, passed as its opaque handle.
#include "TarnControls.h"
#include "imaging/ImagingBitmap.h"

// Owned imaging bitmap filled with one colour (32-bit pixels get alpha 255).
struct FilledBitmap {
    ImagingBitmap bitmap;
    FilledBitmap(int w, int h, int bits, COLORREF colour) {
        ImagingInitBitmap(&bitmap);
        ImagingAllocateBitmap(&bitmap, w, h, bits);
        ImagingFillBitmap(&bitmap, colour);
    }
    ~FilledBitmap() { ImagingFreeBitmap(&bitmap); }
    long* Handle() { return reinterpret_cast<long*>(&bitmap); }
    int Red(int x, int y) {
        ImagingAccessScope access(&bitmap);
        return ImagingPixelAddress(&bitmap, x, y)[2];
    }
};

// A closed square of line records with its corner at (x, y) and sides of length size.
struct SquareRecords {
    SegmentDesc records[5];
    SquareRecords(double x, double y, double size) {
        const double pts[5][2] = {{x, y}, {x + size, y}, {x + size, y + size}, {x, y + size}, {x, y}};
        for (int i = 0; i < 4; ++i) {
            records[i] = SegmentDesc{};
            records[i].kind = kSegmentLine;
            records[i].pt1 = tagPointF{pts[i][0], pts[i][1]};
            records[i].pt2 = tagPointF{pts[i + 1][0], pts[i + 1][1]};
        }
        records[4] = SegmentDesc{};
        records[4].kind = kSegmentEnd;
        records[4].pt1 = tagPointF{x, y};
    }
};

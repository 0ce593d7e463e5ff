// Poly-draw output (points with PT_ type bytes) into a device context.
#pragma once

#include <windows.h>

// Hands the points to PolyDraw where the system has it (the NT platform, asked on every call) and
// draws them piece by piece otherwise. Returns PolyDraw's result, else 1; 0 for a missing context or
// arrays.
int PolyDrawEmulated(HDC dc, const POINT* points, const BYTE* types, int count);

// The piece-by-piece drawing: LineTo, PolyBezierTo with three points, MoveToEx, and CloseFigure where
// the point (for a Bezier its third point) carries PT_CLOSEFIGURE. A Bezier that lacks any of its three
// points is not drawn. Returns 1, or 0 for a missing context or arrays.
int PolyDrawByParts(HDC dc, const POINT* points, const BYTE* types, int count);

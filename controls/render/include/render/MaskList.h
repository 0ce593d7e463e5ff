// Operations on coverage-mask lists: moving and clipping a kept list, hit tests against it, and the
// rectangles a scroll uncovers. Every operation is told the size of the block it reads, and a list
// that does not fit in its block is refused whole rather than read past its end.
#pragma once

#include <windows.h>

#include <cstddef>

#include "render/MaskListFormat.h"

// Size of a list block on the process heap (what the smart cache keeps), 0 for a null block.
size_t HeapMaskListSize(const void* block);

// Moves every node of the process-heap block *list by (dx, dy), clips it to clip, compacts the list in
// place and shrinks the block, storing the block's new address in *list. With no movement and every
// node inside the clip the block is left untouched. A malformed list is left as it was and its error
// returned.
MaskListError OffsetClipMaskList(void** list, int dx, int dy, const RECT& clip);

// True when the list covers a pixel within tolerance of (x, y) in a node whose bounds hold (x, y).
bool MaskHitTest(const void* list, size_t size, int x, int y, int tolerance);

// True when the list covers a pixel inside (left, top, right, bottom), right and bottom exclusive.
bool MaskIntersectsRect(const void* list, size_t size, int left, int top, int right, int bottom);

// The same for a list kept in a block of the process heap, whose size the heap knows.
bool MaskHitTest(const void* heapList, int x, int y, int tolerance);
bool MaskIntersectsRect(const void* heapList, int left, int top, int right, int bottom);

// Writes a minus b as up to four rectangles (top, left, right, bottom bands) and returns their count.
int SubtractRect4(const RECT& a, const RECT& b, RECT out[4]);

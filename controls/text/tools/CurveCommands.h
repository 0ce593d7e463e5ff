#pragma once
// The curve commands of text-dump.

// Reads "path x0 y0 x1 y1 ..." and "near x y" lines from path; prints "length L" for each path
// and "nearest INDEX T" for each point, the position of the path nearest to it.
int PrintNearestPositions(const char* path);

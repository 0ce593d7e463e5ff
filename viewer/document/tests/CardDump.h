#pragma once
#include "ViewerDoc.h"

#include <cstdio>

// Prints what the viewer made of a card, one line per document, site, page and placement, for checks
// that run outside the test program.
void PrintCard(std::FILE* out, const CCardViewerDoc& doc, CardLoadResult result);

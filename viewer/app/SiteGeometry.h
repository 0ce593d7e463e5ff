#pragma once
#include "ViewerBackground.h"

// The rectangle of a card site's background in inches, with its top-left corner at (0, 0): with margins
// the whole sheet area, without them the printable part.
CRectD CardSiteRect(const CViewerBackground& background, bool withMargins);
// Width / height of the printable part; 0 when the rectangle is empty.
double CardSiteAspect(const CViewerBackground& background);

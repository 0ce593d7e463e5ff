#pragma once
// Colours that stand out against a drawing object's fill: the background behind its editing text
// (black or white) and the colour of its editing marks (opposite hue, far lightness).
#include <windows.h>

#include "ColorValues.h"

struct HlsColor {
    double h, l, s;  // each 0..1
};

// The standard RGB/HLS pair over channels of byte / 255; channels come back rounded.
HlsColor ColorToHls(COLORREF colour);
COLORREF HlsToColor(const HlsColor& hls);

// The opposite hue with the lightness moved away: above 0.6 to 0, below 0.4 to 1.
COLORREF ContrastOfColor(COLORREF colour);
// The same for a gradient's pair: the hue opposite their mean direction, their mean lightness and
// the first colour's saturation.
COLORREF ContrastOfPair(COLORREF first, COLORREF second);

// Black (0x000000) or white (0xFFFFFF) behind the fill and outline of slot 0.
COLORREF ContrastBackground(const ColorSlotValues& slot0);
// The editing marks' colour of slot 0: by the outline, else by a closed fill, else red (0xFF0000).
COLORREF ContrastMarkColor(const ColorSlotValues& slot0, bool closed);

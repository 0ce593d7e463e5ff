#include "ColorContrast.h"

#include <algorithm>
#include <cmath>

namespace {

const double kTwoPi = 6.283185307179586;

bool IsDark(COLORREF c) {
    const double l = 0.299 * GetRValue(c) + 0.587 * GetGValue(c) + 0.114 * GetBValue(c);
    return std::lround(l) <= 192;
}

double HueChannel(double m1, double m2, double h) {
    h -= std::floor(h);
    if (h < 1.0 / 6) return m1 + (m2 - m1) * h * 6;
    if (h < 0.5) return m2;
    if (h < 2.0 / 3) return m1 + (m2 - m1) * (2.0 / 3 - h) * 6;
    return m1;
}

BYTE ToByte(double channel) { return static_cast<BYTE>(std::lround(std::clamp(channel, 0.0, 1.0) * 255)); }

double FarLightness(double l) { return l > 0.6 ? 0 : l < 0.4 ? 1 : l; }

}  // namespace

HlsColor ColorToHls(COLORREF colour) {
    const double r = GetRValue(colour) / 255.0, g = GetGValue(colour) / 255.0, b = GetBValue(colour) / 255.0;
    const double hi = std::max({r, g, b}), lo = std::min({r, g, b});
    HlsColor out{0, (hi + lo) / 2, 0};
    if (hi == lo) return out;
    const double d = hi - lo;
    out.s = out.l < 0.5 ? d / (hi + lo) : d / (2 - hi - lo);
    double h;
    if (r == hi)
        h = (g - b) / d;
    else if (g == hi)
        h = 2 + (b - r) / d;
    else
        h = 4 + (r - g) / d;
    h /= 6;
    out.h = h < 0 ? h + 1 : h;
    return out;
}

COLORREF HlsToColor(const HlsColor& c) {
    if (c.s == 0) return RGB(ToByte(c.l), ToByte(c.l), ToByte(c.l));
    const double m2 = c.l < 0.5 ? c.l * (1 + c.s) : c.l + c.s - c.l * c.s;
    const double m1 = 2 * c.l - m2;
    return RGB(ToByte(HueChannel(m1, m2, c.h + 1.0 / 3)), ToByte(HueChannel(m1, m2, c.h)),
               ToByte(HueChannel(m1, m2, c.h - 1.0 / 3)));
}

COLORREF ContrastOfColor(COLORREF colour) {
    HlsColor c = ColorToHls(colour);
    c.h += 0.5;
    if (c.h > 1) c.h -= 1;
    c.l = FarLightness(c.l);
    return HlsToColor(c);
}

COLORREF ContrastOfPair(COLORREF first, COLORREF second) {
    const HlsColor a = ColorToHls(first), b = ColorToHls(second);
    double c = std::cos(kTwoPi * a.h) + std::cos(kTwoPi * b.h);
    double s = std::sin(kTwoPi * a.h) + std::sin(kTwoPi * b.h);
    const double length = std::hypot(c, s);
    if (length > 0) {
        c /= length;
        s /= length;
    } else {  // opposite hues have no mean direction: take the first's
        c = std::cos(kTwoPi * a.h);
        s = std::sin(kTwoPi * a.h);
    }
    HlsColor out{std::atan2(-c, -s) / kTwoPi + 0.5, FarLightness((a.l + b.l) / 2), a.s};
    return HlsToColor(out);
}

COLORREF ContrastBackground(const ColorSlotValues& slot) {
    const COLORREF white = 0xFFFFFF, black = 0x000000;
    const bool darkOutline = slot.hasOutline && IsDark(slot.outlineColor);
    switch (slot.fillType) {
    case kFillNone: return darkOutline || !slot.hasOutline ? white : black;
    case kFillSolid: return darkOutline || IsDark(slot.color) ? white : black;
    case kFillLinear:
    case kFillElliptic: return darkOutline || IsDark(slot.color1) || IsDark(slot.color2) ? white : black;
    default: return white;
    }
}

COLORREF ContrastMarkColor(const ColorSlotValues& slot, bool closed) {
    if (slot.hasOutline) return ContrastOfColor(slot.outlineColor);
    if (slot.fillType == kFillSolid && closed) return ContrastOfColor(slot.color);
    if ((slot.fillType == kFillLinear || slot.fillType == kFillElliptic) && closed)
        return ContrastOfPair(slot.color1, slot.color2);
    return 0xFF0000;
}

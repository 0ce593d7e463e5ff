#include "render/PolyDrawEmulation.h"

namespace {

bool Usable(HDC dc, const POINT* points, const BYTE* types, int count) {
    return dc && (count <= 0 || (points && types));
}

bool SystemHasPolyDraw() {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExA(&version)) return false;
#pragma GCC diagnostic pop
    return version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

}  // namespace

int PolyDrawEmulated(HDC dc, const POINT* points, const BYTE* types, int count) {
    if (!Usable(dc, points, types, count)) return 0;
    if (SystemHasPolyDraw()) return PolyDraw(dc, points, types, count > 0 ? count : 0);
    return PolyDrawByParts(dc, points, types, count);
}

int PolyDrawByParts(HDC dc, const POINT* points, const BYTE* types, int count) {
    if (!Usable(dc, points, types, count)) return 0;
    for (int i = 0; i < count; ++i) {
        switch (types[i] & ~PT_CLOSEFIGURE) {
        case PT_LINETO:
            LineTo(dc, points[i].x, points[i].y);
            break;
        case PT_BEZIERTO:
            if (i + 2 >= count) return 1;
            PolyBezierTo(dc, points + i, 3);
            i += 2;
            break;
        case PT_MOVETO:
            MoveToEx(dc, points[i].x, points[i].y, nullptr);
            break;
        default:
            break;
        }
        if (types[i] & PT_CLOSEFIGURE) CloseFigure(dc);
    }
    return 1;
}

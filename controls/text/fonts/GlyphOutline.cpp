#include "GlyphOutline.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <cwctype>

#include "CharacterMap.h"

namespace {

constexpr DWORD kFirstBufferSize = 10000;

double FixedToDouble(const FIXED& f) {
    return double(f.value) + double(f.fract) / 65536.0;
}

tagPointF ToPoint(const POINTFX& p) {
    return {FixedToDouble(p.x), FixedToDouble(p.y)};
}

SegmentDesc Record(unsigned char kind, tagPointF p0, tagPointF p1 = {0, 0}, tagPointF p2 = {0, 0}) {
    SegmentDesc s;
    std::memset(&s, 0, sizeof s);
    s.kind = kind;
    s.pt1 = p0;
    s.pt2 = p1;
    s.pt3 = p2;
    return s;
}

tagPointF Mid(tagPointF a, tagPointF b) { return {(a.x + b.x) / 2, (a.y + b.y) / 2}; }

// One contour's curves, from the first curve record to the end of the contour's bytes.
void ConvertContour(const BYTE* curve, const BYTE* end, tagPointF start, SegmentArray& out) {
    const size_t first = out.size();
    tagPointF current = start;
    constexpr size_t kCurveHead = offsetof(TTPOLYCURVE, apfx);
    while (static_cast<size_t>(end - curve) >= kCurveHead) {
        TTPOLYCURVE head;
        std::memcpy(&head, curve, kCurveHead);
        const size_t count = head.cpfx;
        if (count > (static_cast<size_t>(end - curve) - kCurveHead) / sizeof(POINTFX)) break;
        auto pointAt = [curve](size_t i) {
            POINTFX p;
            std::memcpy(&p, curve + kCurveHead + i * sizeof(POINTFX), sizeof p);
            return ToPoint(p);
        };
        if (head.wType == TT_PRIM_LINE) {
            for (size_t i = 0; i < count; ++i) {
                const tagPointF p = pointAt(i);
                out.push_back(Record(kSegmentLine, current, p));
                current = p;
            }
        } else {
            // A quadratic B-spline: between two off-curve points lies an implied on-curve midpoint.
            tagPointF b = count ? pointAt(0) : current;
            for (size_t i = 0; i + 1 < count; ++i) {
                const tagPointF following = pointAt(i + 1);
                const tagPointF c = i + 2 == count ? following : Mid(b, following);
                const tagPointF c1 = {(current.x + 2 * b.x) / 3, (current.y + 2 * b.y) / 3};
                const tagPointF c2 = {(c.x + 2 * b.x) / 3, (c.y + 2 * b.y) / 3};
                out.push_back(Record(kSegmentBezier, current, c1, c2));
                current = c;
                b = following;
            }
        }
        curve += kCurveHead + count * sizeof(POINTFX);
    }
    if (std::fabs(current.x - start.x) >= 1e-10 || std::fabs(current.y - start.y) >= 1e-10)
        out.push_back(Record(kSegmentLine, current, start));
    if (out.size() == first) return;  // a contour without curves draws nothing
    SegmentDesc close = out[first];
    close.kind = kSegmentEnd;
    out.push_back(close);
}

void AppendBar(std::vector<SegmentArray>& bars, double width, double y0, double y1) {
    const double low = std::fmin(y0, y1), high = std::fmax(y0, y1);
    const tagPointF a{0, low}, b{0, high}, c{width, high}, d{width, low};
    SegmentArray bar{Record(kSegmentLine, a, b), Record(kSegmentLine, b, c), Record(kSegmentLine, c, d),
                     Record(kSegmentLine, d, a)};
    SegmentDesc close = bar.front();
    close.kind = kSegmentEnd;
    bar.push_back(close);
    bars.push_back(std::move(bar));
}

}  // namespace

void ConvertNativeOutline(const BYTE* buffer, size_t size, SegmentArray& out) {
    // At most one record a point, and an end record a contour: one allocation serves.
    out.reserve(out.size() + size / sizeof(POINTFX) + 1);
    const BYTE* at = buffer;
    const BYTE* const end = buffer + size;
    while (static_cast<size_t>(end - at) >= sizeof(TTPOLYGONHEADER)) {
        TTPOLYGONHEADER header;
        std::memcpy(&header, at, sizeof header);
        if (header.cb < sizeof(TTPOLYGONHEADER) || header.cb > static_cast<size_t>(end - at)) break;
        ConvertContour(at + sizeof header, at + header.cb, ToPoint(header.pfxStart), out);
        at += header.cb;
    }
}

std::vector<SegmentArray> DecorationBars(const FontEntry& font, const GLYPHMETRICS& metrics) {
    std::vector<SegmentArray> bars;
    const OutlineMetricsRecord& m = font.metrics;
    const double width = metrics.gmCellIncX;
    const double fallbackLow = double(metrics.gmCellIncY) - 20, fallbackHigh = metrics.gmCellIncY;
    bool underlineFellBack = false;
    if (font.logFont.lfUnderline) {
        const double y0 = m.otmsUnderscorePosition;
        const double y1 = m.otmsUnderscorePosition < m.otmDescent ? y0 + m.otmsUnderscoreSize
                                                                  : y0 - m.otmsUnderscoreSize;
        underlineFellBack = y0 == 0 && y1 == 0;
        if (underlineFellBack) AppendBar(bars, width, fallbackLow, fallbackHigh);
        else AppendBar(bars, width, y0, y1);
    }
    if (font.logFont.lfStrikeOut) {
        const double y0 = double(m.otmsStrikeoutPosition) - double(m.otmsStrikeoutSize);
        const double y1 = m.otmsStrikeoutPosition;
        if (y0 == 0 && y1 == 0) {
            // Both bars on the fallback place would coincide: the underline alone is drawn.
            if (!underlineFellBack) AppendBar(bars, width, fallbackLow, fallbackHigh);
        } else {
            AppendBar(bars, width, y0, y1);
        }
    }
    return bars;
}

int BuildGlyphOutlines(const FontEntry& font, HDC dc, wchar_t ch, const CharacterMap& map, GLYPHMETRICS& metrics,
                       SegmentArray& segments, OutlineUnion merge, std::vector<BYTE>* scratch) {
    segments.clear();
    static const MAT2 kIdentity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
    const UINT glyph = map.GlyphIndex(ch);
    const UINT format = GGO_GLYPH_INDEX | GGO_NATIVE;
    std::memset(&metrics, 0, sizeof metrics);
    // One call into the first buffer serves most glyphs; GDI refuses a buffer that is too small,
    // and then the size is asked for and a buffer of its own made.
    std::vector<BYTE> local;
    std::vector<BYTE>& buffer = scratch ? *scratch : local;
    if (buffer.size() < kFirstBufferSize) buffer.resize(kFirstBufferSize);
    DWORD size = GetGlyphOutlineA(dc, glyph, format, &metrics, DWORD(buffer.size()), buffer.data(), &kIdentity);
    if (size == GDI_ERROR) {
        size = GetGlyphOutlineA(dc, glyph, format, &metrics, 0, nullptr, &kIdentity);
        if (size != GDI_ERROR && size > buffer.size()) {
            buffer.resize(size);
            size = GetGlyphOutlineA(dc, glyph, format, &metrics, size, buffer.data(), &kIdentity);
        } else {
            size = 0;  // no outline to be had
        }
    }
    if (size != GDI_ERROR && size != 0 && !std::iswspace(ch)) {
        // Only the bytes GDI reported are walked, never the rest of the buffer.
        ConvertNativeOutline(buffer.data(), std::min<size_t>(size, buffer.size()), segments);
    }
    const std::vector<SegmentArray> bars = DecorationBars(font, metrics);
    if (bars.empty()) return static_cast<int>(segments.size());
    if (segments.empty()) {
        // White space and empty glyphs: the bars are the whole outline.
        for (const SegmentArray& bar : bars) segments.insert(segments.end(), bar.begin(), bar.end());
        return static_cast<int>(segments.size());
    }
    SegmentArray joined;
    if (merge && merge(segments, bars, joined) && !joined.empty()) segments.swap(joined);
    return static_cast<int>(segments.size());
}

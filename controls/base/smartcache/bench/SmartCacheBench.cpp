// Times 1,000 ellipse controls drawn through the smart cache: a full render (no cache) and the
// redraw after a whole-pixel scroll (kept coverage moved and repainted, exposed strips rendered).
// With a file argument it also writes the ellipses' device paths for the cairo comparison
// (cairo_compare.py), which prints cairo's time for filling the same paths beside these.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

#include "ShapeFixtures.h"

namespace {
const int kWidth = 1000, kHeight = 800, kShapes = 1000, kReps = 9;

double Now() {
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) * 1000.0 / f.QuadPart;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
    CoInitialize(nullptr);
    std::mt19937 random(1000);
    std::uniform_real_distribution<double> x(0.2, kWidth / 100.0 - 0.2), y(0.2, kHeight / 100.0 - 0.2),
        size(0.08, 0.6);
    std::vector<TestShapeObject*> shapes;
    for (int i = 0; i < kShapes; ++i) {
        const double cx = x(random), cy = y(random), w = size(random), h = size(random);
        TestShapeObject* shape = NewShape(tagRectF{cx - w / 2, cy - h / 2, cx + w / 2, cy + h / 2},
                                          RGB(random() % 256, random() % 256, random() % 256));
        shape->UseEngine(DefaultShapeEngine());
        shapes.push_back(shape);
    }
    CRecordingView view;
    CTestCanvas canvas(kWidth, kHeight);
    auto drawAll = [&] {
        for (TestShapeObject* s : shapes) canvas.Draw(AsBase(s), &view);
    };
    std::vector<double> full, cached;
    for (int rep = 0; rep < kReps; ++rep) {
        for (TestShapeObject* s : shapes) {
            s->EnableCache(0);
            s->EnableCache(1);
        }
        canvas.offset = POINT{0, 0};
        canvas.Clear();
        double t0 = Now();
        drawAll();
        full.push_back(Now() - t0);
        // Scroll by whole pixels: the kept coverage serves, shifted.
        canvas.offset = POINT{rep % 2 ? -6 : 6, 4};
        canvas.Clear();
        t0 = Now();
        drawAll();
        cached.push_back(Now() - t0);
    }
    const double f = Median(full), c = Median(cached);
    std::printf("smart cache, %d ellipses on %dx%d pixels, median of %d\n", kShapes, kWidth, kHeight, kReps);
    std::printf("  full render                  %8.2f ms\n", f);
    std::printf("  cached redraw after a scroll %8.2f ms   (%.1fx faster)\n", c, f / c);

    if (argc > 1) {
        // The device paths of the first rendering (offset 0), one sub-path a line of cubics.
        FILE* out = _wfopen(argv[1], L"w");
        if (out) {
            std::fprintf(out, "%d %d\n", kWidth, kHeight);
            for (TestShapeObject* s : shapes) {
                const CHeapArray& path = s->Path();
                const COLORREF colour = s->ColorPart().slots[0].color;
                std::fprintf(out, "%d %d %d", GetRValue(colour), GetGValue(colour), GetBValue(colour));
                for (int i = 0; i < path.Count(); ++i)
                    for (int k = 0; k < path[i].segmentCount; ++k) {
                        const SegmentDesc& seg = path[i].segments[k];
                        if (seg.kind == kSegmentEnd) continue;
                        std::fprintf(out, " %.4f %.4f %.4f %.4f %.4f %.4f", seg.pt1.x * 100, seg.pt1.y * 100,
                                     seg.pt2.x * 100, seg.pt2.y * 100, seg.pt3.x * 100, seg.pt3.y * 100);
                    }
                std::fprintf(out, "\n");
            }
            std::fclose(out);
        }
    }
    for (TestShapeObject* s : shapes) s->Release();
    CoUninitialize();
    return 0;
}

#include "BenchWorkloads.h"

#include <cmath>
#include <random>

namespace {

constexpr double kPi = 3.14159265358979323846;
// Cubic control distance that makes four arcs a close circle.
constexpr double kArc = 0.5522847498;

class Random {
public:
    explicit Random(unsigned seed) : engine_(seed) {}
    double Uniform(double lo, double hi) { return lo + (hi - lo) * (double(engine_()) / 4294967296.0); }
    int Below(int n) { return int(engine_() % unsigned(n)); }

private:
    std::mt19937 engine_;
};

SceneShape Filled(bool nonZero, Random& r) {
    SceneShape s;
    s.nonZero = nonZero;
    s.r = (unsigned char)r.Below(256);
    s.g = (unsigned char)r.Below(256);
    s.b = (unsigned char)r.Below(256);
    return s;
}

SceneShape Stroked(double width, int dashKind, Random& r) {
    SceneShape s = Filled(false, r);
    s.stroke = true;
    s.width = width;
    s.dashKind = dashKind;
    return s;
}

void AddEllipse(SceneShape& s, double cx, double cy, double rx, double ry) {
    const double kx = kArc * rx, ky = kArc * ry;
    s.MoveTo(cx + rx, cy)
        .CurveTo(cx + rx, cy + ky, cx + kx, cy + ry, cx, cy + ry)
        .CurveTo(cx - kx, cy + ry, cx - rx, cy + ky, cx - rx, cy)
        .CurveTo(cx - rx, cy - ky, cx - kx, cy - ry, cx, cy - ry)
        .CurveTo(cx + kx, cy - ry, cx + rx, cy - ky, cx + rx, cy)
        .Close();
}

void AddRect(SceneShape& s, double x, double y, double w, double h) {
    s.MoveTo(x, y).LineTo(x + w, y).LineTo(x + w, y + h).LineTo(x, y + h).Close();
}

ShapeScene Canvas(int w, int h) {
    ShapeScene scene;
    scene.width = w;
    scene.height = h;
    return scene;
}

Workload SmallFigures() {
    Random r(101);
    Workload w{"small-figures", Canvas(1024, 768), 5};
    for (int i = 0; i < 10000; ++i) {
        SceneShape s = Filled(false, r);
        const double x = r.Uniform(0, 1014), y = r.Uniform(0, 758), size = r.Uniform(3, 10);
        switch (i % 3) {
        case 0: AddEllipse(s, x + size / 2, y + size / 2, size / 2, size / 2 * r.Uniform(0.5, 1)); break;
        case 1: AddRect(s, x, y, size, size * r.Uniform(0.5, 1)); break;
        default:
            s.MoveTo(x, y + size).LineTo(x + size / 2, y).LineTo(x + size, y + size * r.Uniform(0.6, 1)).Close();
        }
        w.scene.shapes.push_back(s);
    }
    return w;
}

Workload Ellipses(const char* name, int count, double minSize, double maxSize, unsigned seed, int reps) {
    Random r(seed);
    Workload w{name, Canvas(1024, 768), reps};
    for (int i = 0; i < count; ++i) {
        SceneShape s = Filled(false, r);
        const double rx = r.Uniform(minSize, maxSize) / 2, ry = r.Uniform(minSize, maxSize) / 2;
        const double cx = r.Uniform(rx, 1024 - rx), cy = r.Uniform(std::min(ry, 384.0), std::max(768 - ry, 384.0));
        if (i % 2)
            AddEllipse(s, cx, cy, rx, ry);
        else
            AddRect(s, cx - rx, cy - ry, 2 * rx, 2 * ry);
        w.scene.shapes.push_back(s);
    }
    return w;
}

// Random walks with a join at every vertex.
void AddWalk(SceneShape& s, Random& r, int vertices, double step) {
    double x = r.Uniform(100, 924), y = r.Uniform(100, 668), heading = r.Uniform(0, 2 * kPi);
    s.MoveTo(x, y);
    for (int i = 0; i < vertices; ++i) {
        heading += r.Uniform(-2.1, 2.1);
        x = std::fmin(1020, std::fmax(4, x + std::cos(heading) * step * r.Uniform(0.5, 1.5)));
        y = std::fmin(764, std::fmax(4, y + std::sin(heading) * step * r.Uniform(0.5, 1.5)));
        s.LineTo(x, y);
    }
}

Workload Strokes(const char* name, double width, int count, unsigned seed) {
    Random r(seed);
    Workload w{name, Canvas(1024, 768), 3};
    for (int i = 0; i < count; ++i) {
        SceneShape s = Stroked(width, 1, r);
        AddWalk(s, r, 40, 20);
        w.scene.shapes.push_back(s);
    }
    return w;
}

Workload Dashes(int kind) {
    Random r(400 + kind);
    Workload w{"dashed-kind-" + std::to_string(kind), Canvas(1024, 768), 3};
    for (int i = 0; i < 200; ++i) {
        SceneShape s = Stroked(1.0, kind, r);
        if (i % 2)
            AddEllipse(s, r.Uniform(80, 944), r.Uniform(80, 688), r.Uniform(10, 80), r.Uniform(10, 80));
        else
            AddWalk(s, r, 20, 30);
        w.scene.shapes.push_back(s);
    }
    return w;
}

// A letter-like outline: a closed blob of cubic arcs with one or two counters turning the other way.
void AddGlyph(SceneShape& s, Random& r, double x, double y, double em) {
    auto blob = [&](double cx, double cy, double rx, double ry, bool reverse) {
        const int arcs = 6 + r.Below(5);
        std::vector<double> px, py;
        for (int i = 0; i < arcs; ++i) {
            const double a = (reverse ? -1 : 1) * 2 * kPi * i / arcs, k = r.Uniform(0.75, 1.0);
            px.push_back(cx + std::cos(a) * rx * k);
            py.push_back(cy + std::sin(a) * ry * k);
        }
        s.MoveTo(px[0], py[0]);
        for (int i = 0; i < arcs; ++i) {
            const int j = (i + 1) % arcs;
            const double mx = (px[i] + px[j]) / 2, my = (py[i] + py[j]) / 2;
            const double bulgeX = (mx - cx) * 0.25, bulgeY = (my - cy) * 0.25;
            s.CurveTo(px[i] + bulgeX, py[i] + bulgeY, px[j] + bulgeX, py[j] + bulgeY, px[j], py[j]);
        }
        s.Close();
    };
    const double cx = x + em * 0.35, cy = y + em * 0.45;
    blob(cx, cy, em * 0.32, em * 0.42, false);
    const int counters = r.Below(3);
    for (int c = 0; c < counters; ++c)
        blob(cx, cy + (c == 0 ? -1 : 1) * em * 0.17 * (counters - 1), em * 0.14, em * 0.12, true);
}

Workload Glyphs(const char* name, double em, unsigned seed) {
    Random r(seed);
    const int columns = int(1024 / (em * 0.75)), rows = int(768 / (em * 1.1));
    Workload w{name, Canvas(1024, 768), 3};
    for (int i = 0; i < 2000; ++i) {
        SceneShape s = Filled(true, r);
        s.r = s.g = s.b = 0;
        const int cell = i % (columns * rows);
        AddGlyph(s, r, (cell % columns) * em * 0.75, (cell / columns) * em * 1.1, em);
        w.scene.shapes.push_back(s);
    }
    return w;
}

Workload TallPaths() {
    Random r(600);
    Workload w{"tall-paths", Canvas(512, 6000), 3};
    for (int i = 0; i < 12; ++i) {
        SceneShape s = i % 3 == 2 ? Stroked(3.0, 1, r) : Filled(false, r);
        const double x = r.Uniform(20, 400), width = r.Uniform(20, 90), swing = r.Uniform(10, 60);
        s.MoveTo(x, 5);
        for (double y = 5; y < 5990; y += 500)
            s.CurveTo(x + swing, y + 160, x - swing, y + 330, x, std::fmin(5995, y + 500));
        s.LineTo(x + width, 5995);
        for (double y = 5995; y > 10; y -= 500)
            s.CurveTo(x + width - swing, y - 160, x + width + swing, y - 330, x + width, std::fmax(5, y - 500));
        s.Close();
        w.scene.shapes.push_back(s);
    }
    return w;
}

Workload SpikeStar() {
    Random r(700);
    Workload w{"star-300-spikes", Canvas(1024, 1024), 3};
    for (int pass = 0; pass < 2; ++pass) {
        SceneShape s = pass == 0 ? Filled(false, r) : Stroked(2.0, 1, r);
        for (int i = 0; i < 600; ++i) {
            const double a = kPi * i / 300, radius = i % 2 ? 100 : 500;
            const double x = 512 + std::cos(a) * radius, y = 512 + std::sin(a) * radius;
            if (i == 0) s.MoveTo(x, y); else s.LineTo(x, y);
        }
        s.Close();
        w.scene.shapes.push_back(s);
    }
    return w;
}

}  // namespace

std::vector<Workload> MakeWorkloads() {
    std::vector<Workload> all;
    all.push_back(SmallFigures());
    all.push_back(Ellipses("medium-ellipses-rects", 1000, 20, 80, 201, 3));
    all.push_back(Ellipses("large-ellipses-rects", 10, 400, 700, 202, 3));
    all.push_back(Strokes("stroke-0.5px", 0.5, 500, 301));
    all.push_back(Strokes("stroke-1px", 1.0, 500, 302));
    all.push_back(Strokes("stroke-3px", 3.0, 300, 303));
    all.push_back(Strokes("stroke-20px", 20.0, 100, 304));
    for (int kind = 2; kind <= 5; ++kind) all.push_back(Dashes(kind));
    all.push_back(Glyphs("glyphs-10pt", 96.0 * 10 / 72, 501));
    all.push_back(Glyphs("glyphs-72pt", 96.0, 502));
    all.push_back(TallPaths());
    all.push_back(SpikeStar());
    return all;
}

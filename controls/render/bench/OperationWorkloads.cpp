#include "OperationWorkloads.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <memory>
#include <random>

#include "CurveSets.h"
#include "geometry/AffineMatrix.h"
#include "imaging/ImagingBitmap.h"
#include "render/GradientFill.h"
#include "render/PathBoolean.h"
#include "render/PointInPath.h"
#include "render/TransformBitmap.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
const char* const kOperations[3] = {"union", "difference", "intersection"};

std::uint32_t Fnv(const unsigned char* p, std::size_t n, std::uint32_t h = 2166136261u) {
    for (std::size_t i = 0; i < n; ++i) h = (h ^ p[i]) * 16777619u;
    return h;
}

std::string RawName(const std::string& path) {
    const size_t dot = path.find_last_of('.');
    return (dot == std::string::npos ? path : path.substr(0, dot)) + ".raw";
}

std::string BaseName(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// An owned bitmap for a workload's result.
struct Bitmap {
    ImagingBitmap image;
    Bitmap(int w, int h, int bits) {
        ImagingInitBitmap(&image);
        ImagingAllocateBitmap(&image, w, h, bits);
    }
    ~Bitmap() { ImagingFreeBitmap(&image); }
    std::uint32_t Checksum() const {
        std::uint32_t h = 2166136261u;
        const int row = image.Width * image.BitsPerPixel / 8;
        for (int y = 0; y < image.Height; ++y) h = Fnv(image.Addr + std::size_t(y) * image.BytesPerLine, row, h);
        return h;
    }
    // Rows top-down without their padding.
    bool WriteRaw(const std::string& path) const {
        FILE* f = std::fopen(path.c_str(), "wb");
        if (!f) return false;
        const int row = image.Width * image.BitsPerPixel / 8;
        bool ok = true;
        for (int y = 0; y < image.Height && ok; ++y)
            ok = std::fwrite(image.Addr + std::size_t(y) * image.BytesPerLine, 1, row, f) == std::size_t(row);
        return std::fclose(f) == 0 && ok;
    }
};

OperationWorkload Gradient(bool elliptical, bool dither, int size) {
    OperationWorkload w;
    w.name = std::string(elliptical ? "gradient-elliptical" : "gradient-linear") + (dither ? "-dither" : "") + "-" +
             (size > 2000 ? "16mpx" : "1mpx");
    w.units = double(size) * size;
    auto bitmap = std::make_shared<Bitmap>(size, size, 24);
    const double angle = elliptical ? 20 : 30, cx = size * 0.5, cy = size * 0.5, rx = size * 0.45, ry = size * 0.3;
    const COLORREF from = RGB(250, 40, 20), to = RGB(10, 60, 230);
    w.prepare = [] {};
    w.run = [=] {
        FillLinearGradient(elliptical ? GradientElliptical : GradientLinear, size, size, cx, cy, rx, ry, angle, 1.0, 0,
                           0, 0, 0, from, to, &bitmap->image, 24, dither, 0, 0, size, size, 0, 0, 0, 0);
        return true;
    };
    w.checksum = [=] { return bitmap->Checksum(); };
    w.dump = [=](const std::string& path) {
        std::ofstream out(path);
        out << "operation gradient\nsize " << size << ' ' << size << "\nkind " << (elliptical ? "elliptical" : "linear")
            << "\nangle " << angle << "\ncolours 250 40 20 10 60 230\ncentre " << cx << ' ' << cy << "\nradii " << rx
            << ' ' << ry << "\ndither " << int(dither) << "\nresult " << BaseName(RawName(path)) << " 24\n";
        return bool(out) && bitmap->WriteRaw(RawName(path));
    };
    return w;
}

// The transformations' source: 2000 x 1500 opaque pixels from a formula a peer can repeat.
std::shared_ptr<Bitmap> PatternSource() {
    auto source = std::make_shared<Bitmap>(2000, 1500, 32);
    for (int y = 0; y < 1500; ++y) {
        std::uint32_t* row = reinterpret_cast<std::uint32_t*>(source->image.Addr + std::size_t(y) * source->image.BytesPerLine);
        for (int x = 0; x < 2000; ++x) {
            const std::uint32_t b = (x / 4 + y / 8) & 255, g = ((x * y) >> 10) & 255, r = ((x ^ y) >> 2) & 255;
            row[x] = 0xFF000000u | (r << 16) | (g << 8) | b;
        }
    }
    return source;
}

OperationWorkload Transform(const std::shared_ptr<Bitmap>& source, double scale, double degrees, int method, bool blend) {
    OperationWorkload w;
    char name[64];
    std::snprintf(name, sizeof name, "transform-%g-%gdeg-m%d-%s", scale, degrees, method, blend ? "blend24" : "copy32");
    w.name = name;
    const int width = 800, height = 600;
    w.units = double(width) * height;
    auto dest = std::make_shared<Bitmap>(width, height, blend ? 24 : 32);
    CAffineMatrix m;
    m.Translate(width / 2.0, height / 2.0).Rotate(degrees * kPi / 180).Scale(scale, scale).Translate(-1000, -750);
    w.prepare = [=] { ImagingFillBitmap(&dest->image, RGB(255, 255, 255)); };
    w.run = [=] {
        const RECT clip = {0, 0, width, height};
        TransformBitmap(&source->image, &dest->image, &clip, m, method, blend);
        return true;
    };
    w.checksum = [=] { return dest->Checksum(); };
    w.dump = [=](const std::string& path) {
        std::ofstream out(path);
        out.precision(17);
        out << "operation transform\nsize " << width << ' ' << height << "\nsource pattern 2000 1500\nmatrix";
        for (int i = 0; i < 6; ++i) out << ' ' << m.m[i];
        out << "\nmethod " << method << "\nblend " << int(blend) << "\nbackground 255 255 255\nresult "
            << BaseName(RawName(path)) << ' ' << (blend ? 24 : 32) << "\n";
        return bool(out) && dest->WriteRaw(RawName(path));
    };
    return w;
}

void WriteRecords(std::ofstream& out, const SegmentDesc* records, int count) {
    for (int i = 0; i < count; ++i) {
        const SegmentDesc& s = records[i];
        out << int(s.kind) << ' ' << s.pt1.x << ' ' << s.pt1.y << ' ' << s.pt2.x << ' ' << s.pt2.y << ' ' << s.pt3.x
            << ' ' << s.pt3.y << '\n';
    }
}

OperationWorkload PointTests() {
    OperationWorkload w;
    w.name = "point-tests-10000";
    // A flower of eight cubic petals around a square hole.
    auto path = std::make_shared<std::vector<SegmentDesc>>();
    const double cx = 500, cy = 400;
    for (int i = 0; i < 8; ++i) {
        const double a0 = 2 * kPi * i / 8, a1 = 2 * kPi * (i + 1) / 8;
        SegmentDesc s = {};
        s.kind = SegmentCubic;
        s.pt1 = {cx + 150 * std::cos(a0), cy + 150 * std::sin(a0)};
        s.pt2 = {cx + 380 * std::cos(a0 + 0.2), cy + 380 * std::sin(a0 + 0.2)};
        s.pt3 = {cx + 380 * std::cos(a1 - 0.2), cy + 380 * std::sin(a1 - 0.2)};
        path->push_back(s);
    }
    SegmentDesc end = {};
    end.kind = SegmentEnd;
    end.pt1 = (*path)[0].pt1;
    path->push_back(end);
    const auto hole = RectangleRecords(440, 340, 560, 460);
    path->insert(path->end(), hole.begin(), hole.end());
    auto points = std::make_shared<std::vector<tagPointF>>();
    std::mt19937 random(404);
    for (int i = 0; i < 10000; ++i)
        points->push_back({100 + 800 * (random() / 4294967296.0), 20 + 760 * (random() / 4294967296.0)});
    auto answers = std::make_shared<std::vector<unsigned char>>(points->size());
    w.items = int(points->size());
    w.units = double(points->size());
    w.prepare = [] {};
    w.run = [=] {
        for (size_t i = 0; i < points->size(); ++i)
            (*answers)[i] = static_cast<unsigned char>(PtInPolyBezier((*points)[i], path->data(), int(path->size())));
        return true;
    };
    w.checksum = [=] { return Fnv(answers->data(), answers->size()); };
    w.dump = [=](const std::string& path_) {
        std::ofstream out(path_);
        out.precision(17);
        out << "operation points\npath " << path->size() << '\n';
        WriteRecords(out, path->data(), int(path->size()));
        out << "points " << points->size() << '\n';
        for (const tagPointF& p : *points) out << p.x << ' ' << p.y << '\n';
        out << "result " << BaseName(RawName(path_)) << " 8\n";
        std::ofstream raw(RawName(path_), std::ios::binary);
        raw.write(reinterpret_cast<const char*>(answers->data()), std::streamsize(answers->size()));
        return bool(out) && bool(raw);
    };
    return w;
}

using CurveSet = std::vector<std::vector<SegmentDesc>>;

// One combination: the operands are copied afresh before every run (the operation snaps and cleans
// them in place); the last result is kept for the dump.
OperationWorkload Boolean(const std::string& name, const CurveSet& first, const CurveSet& second, int op, int hint) {
    OperationWorkload w;
    w.name = name;
    struct State {
        CurveSet originals[2], working[2];
        std::vector<SegmentDesc> result;
        std::vector<int> counts;
    };
    auto state = std::make_shared<State>();
    state->originals[0] = first, state->originals[1] = second;
    int segments = 0;
    for (const CurveSet* set : {&first, &second})
        for (const auto& a : *set) segments += int(a.size());
    w.items = segments;
    w.units = segments;
    w.repetitions = 3;
    w.prepare = [=] { state->working[0] = state->originals[0], state->working[1] = state->originals[1]; };
    w.run = [=] {
        std::vector<SegmentDesc*> p[2];
        std::vector<int> c[2];
        for (int k = 0; k < 2; ++k)
            for (auto& a : state->working[k]) p[k].push_back(a.data()), c[k].push_back(int(a.size()));
        SegmentDesc** arrays = nullptr;
        SegmentDesc* buffer = nullptr;
        int* counts = nullptr;
        int n = 0;
        const int ok = PathBooleanOperation(p[0].data(), c[0].data(), int(p[0].size()), p[1].data(), c[1].data(),
                                            int(p[1].size()), &arrays, &buffer, &counts, &n, op, hint, 0);
        state->result.clear();
        state->counts.clear();
        for (int a = 0; ok && a < n; ++a) {
            state->result.insert(state->result.end(), arrays[a], arrays[a] + counts[a]);
            state->counts.push_back(counts[a]);
        }
        delete[] arrays;
        delete[] buffer;
        delete[] counts;
        return ok != 0;
    };
    w.checksum = [=] {
        return Fnv(reinterpret_cast<const unsigned char*>(state->result.data()), state->result.size() * sizeof(SegmentDesc));
    };
    w.dump = [=](const std::string& path) {
        std::ofstream out(path);
        out.precision(17);
        out << "operation boolean\nop " << kOperations[op] << "\nhint " << hint << '\n';
        for (int k = 0; k < 2; ++k) {
            out << "operand " << k + 1 << ' ' << state->originals[k].size() << '\n';
            for (const auto& a : state->originals[k]) {
                out << "array " << a.size() << '\n';
                WriteRecords(out, a.data(), int(a.size()));
            }
        }
        out << "result " << state->counts.size() << '\n';
        size_t at = 0;
        for (int count : state->counts) {
            out << "array " << count << '\n';
            WriteRecords(out, state->result.data() + at, count);
            at += size_t(count);
        }
        return bool(out);
    };
    return w;
}

// Circles scattered over a field: arrays of four cubics each, overlapping one another.
CurveSet Circles(int count, unsigned seed) {
    std::mt19937 random(seed);
    auto uniform = [&](double lo, double hi) { return lo + (hi - lo) * (random() / 4294967296.0); };
    const double field = 40 * std::sqrt(double(count));
    CurveSet set;
    for (int i = 0; i < count; ++i) set.push_back(CircleRecords(uniform(0, field), uniform(0, field), uniform(8, 30)));
    return set;
}

}  // namespace

std::vector<OperationWorkload> MakeOperationWorkloads() {
    std::vector<OperationWorkload> all;
    for (int size : {1000, 4000})
        for (bool elliptical : {false, true})
            for (bool dither : {false, true}) all.push_back(Gradient(elliptical, dither, size));
    const auto source = PatternSource();
    for (double scale : {0.1, 0.6, 2.0})
        for (double degrees : {0.0, 30.0})
            for (int method : {0, 1, 2})
                for (bool blend : {false, true}) all.push_back(Transform(source, scale, degrees, method, blend));
    all.push_back(PointTests());
    CurveSet ring = {CircleRecords(20, 20, 15)};
    const auto inner = CircleRecords(20, 20, 9, true);
    ring[0].insert(ring[0].end(), inner.begin(), inner.end());
    all.push_back(Boolean("boolean-ring-bar", ring, {RectangleRecords(2, 18, 38, 22)}, BooleanUnion, BooleanHintOneArray));
    for (int segments : {100, 1000, 5000}) {
        const int circles = segments / 10;
        const CurveSet a = Circles(circles, 7 + segments), b = Circles(circles, 9 + segments);
        for (int op : {BooleanUnion, BooleanDifference})
            all.push_back(Boolean(std::string("boolean-") + kOperations[op] + "-" + std::to_string(segments), a, b, op, 0));
    }
    return all;
}

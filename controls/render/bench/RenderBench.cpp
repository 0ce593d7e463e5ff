// Benchmark of the rasteriser: renders fixed-seed workloads and prints the median time and the
// throughput (bounding-box pixels of the shapes, clipped to the canvas, per second) of each.
//
//   render-bench [--reps N] [--only NAME]   time the workloads
//   render-bench --repaint [...]            time repainting them from their recorded coverage lists
//   render-bench --checksum [...]          also print a checksum of each workload's pixels, so that
//                                           a faster build can be shown to paint the same
//   render-bench --dump FILE                write each workload as a scene: FILE with the workload's
//                                           name before its extension (bench.txt -> bench.NAME.txt);
//                                           the other operations' workloads write their parameters
//                                           and the engine's result there (pixels in bench.NAME.raw)
//
// After the rasteriser's scenes come the other operations: gradient fills, bitmap transformations,
// point tests and Boolean operations (their rate counts pixels, points or segments per second).
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "BenchWorkloads.h"
#include "OperationWorkloads.h"
#include "imaging/ImagingBitmap.h"
#include "render/DrawPolyBezier.h"
#include "render/MaskListFill.h"

namespace {

struct PreparedShape {
    std::vector<SegmentDesc> segments;
    FillInfo request;
    RenderOptions options;
};

double BoundingPixels(const ShapeScene& scene) {
    double total = 0;
    for (const SceneShape& s : scene.shapes) {
        double l = 1e300, t = 1e300, r = -1e300, b = -1e300;
        for (const PathCommand& c : s.path) {
            const int n = c.op == 'C' ? 3 : c.op == 'Z' ? 0 : 1;
            for (int i = 0; i < n; ++i) {
                l = std::min(l, c.v[2 * i]); r = std::max(r, c.v[2 * i]);
                t = std::min(t, c.v[2 * i + 1]); b = std::max(b, c.v[2 * i + 1]);
            }
        }
        const double h = s.stroke ? s.width / 2 : 0;
        l = std::max(0.0, l - h); t = std::max(0.0, t - h);
        r = std::min(double(scene.width), r + h); b = std::min(double(scene.height), b + h);
        if (r > l && b > t) total += (r - l) * (b - t);
    }
    return total;
}

std::string DumpName(const std::string& file, const std::string& workload) {
    const size_t slash = file.find_last_of("/\\"), dot = file.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return file + "." + workload;
    return file.substr(0, dot) + "." + workload + file.substr(dot);
}

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return double(to.QuadPart - from.QuadPart) / double(frequency.QuadPart);
}

int Dump(const std::string& file, const std::vector<Workload>& workloads,
         const std::vector<OperationWorkload>& operations) {
    for (const Workload& w : workloads) {
        const std::string name = DumpName(file, w.name);
        std::ofstream out(name);
        WriteShapeScene(out, w.scene);
        if (!out) {
            std::fprintf(stderr, "render-bench: cannot write %s\n", name.c_str());
            return 1;
        }
        std::printf("%s\n", name.c_str());
    }
    for (const OperationWorkload& w : operations) {
        const std::string name = DumpName(file, w.name);
        w.prepare();
        if (!w.run() || !w.dump(name)) {
            std::fprintf(stderr, "render-bench: cannot write %s\n", name.c_str());
            return 1;
        }
        std::printf("%s\n", name.c_str());
    }
    return 0;
}

void RunOperations(const std::vector<OperationWorkload>& operations, int reps, bool checksum) {
    for (const OperationWorkload& w : operations) {
        std::vector<double> times;
        int failures = 0;
        for (int rep = 0; rep < (reps > 0 ? reps : w.repetitions); ++rep) {
            w.prepare();
            LARGE_INTEGER start, end;
            QueryPerformanceCounter(&start);
            if (!w.run()) ++failures;
            QueryPerformanceCounter(&end);
            times.push_back(Seconds(start, end));
        }
        std::sort(times.begin(), times.end());
        const double median = times[times.size() / 2];
        std::printf("%-24s %8d %12.2f %12.1f %10d", w.name.c_str(), w.items, median * 1000, w.units / median / 1e6,
                    failures / int(times.size()));
        if (checksum) std::printf("   %08x", unsigned(w.checksum()));
        std::printf("\n");
        std::fflush(stdout);
    }
}

// FNV-1a over the canvas rows (without their padding).
std::uint32_t PixelChecksum(const ImagingBitmap& canvas) {
    std::uint32_t h = 2166136261u;
    const int rowBytes = canvas.Width * canvas.BitsPerPixel / 8;
    for (int y = 0; y < canvas.Height; ++y) {
        const unsigned char* p = canvas.Addr + static_cast<std::size_t>(y) * canvas.BytesPerLine;
        for (int i = 0; i < rowBytes; ++i) h = (h ^ p[i]) * 16777619u;
    }
    return h;
}

}  // namespace

int main(int argc, char** argv) {
    std::string dump, only;
    int reps = 0;
    bool repaint = false, checksum = false;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--dump") && i + 1 < argc) dump = argv[++i];
        else if (!std::strcmp(argv[i], "--only") && i + 1 < argc) only = argv[++i];
        else if (!std::strcmp(argv[i], "--reps") && i + 1 < argc) reps = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--repaint")) repaint = true;
        else if (!std::strcmp(argv[i], "--checksum")) checksum = true;
        else {
            std::fprintf(stderr, "usage: render-bench [--repaint] [--checksum] [--reps N] [--only NAME] | --dump FILE\n");
            return 2;
        }
    }
    std::vector<Workload> workloads = MakeWorkloads();
    std::vector<OperationWorkload> operations = MakeOperationWorkloads();
    if (!only.empty()) {
        workloads.erase(std::remove_if(workloads.begin(), workloads.end(),
                                       [&](const Workload& w) { return w.name != only; }),
                        workloads.end());
        operations.erase(std::remove_if(operations.begin(), operations.end(),
                                        [&](const OperationWorkload& w) { return w.name != only; }),
                         operations.end());
    }
    if (!dump.empty()) return Dump(dump, workloads, operations);

    std::printf("%-24s %8s %12s %12s %10s%s\n", "workload", "shapes", "median ms", "Mpixel/s", "failures",
                checksum ? "   checksum" : "");
    for (const Workload& w : workloads) {
        std::vector<PreparedShape> shapes;
        for (const SceneShape& s : w.scene.shapes) {
            PreparedShape p;
            bool closed = false;
            p.segments = s.Segments(&closed);
            p.request = s.Request();
            p.options.highestQuality = 0;
            p.options.closed = closed ? 1 : 0;
            p.options.nonZeroFill = s.nonZero ? 1 : 0;
            shapes.push_back(std::move(p));
        }
        ImagingBitmap canvas;
        ImagingInitBitmap(&canvas);
        if (ImagingAllocateBitmap(&canvas, w.scene.width, w.scene.height, 24) != ImagingOk) {
            std::fprintf(stderr, "render-bench: cannot allocate %dx%d\n", w.scene.width, w.scene.height);
            return 1;
        }
        // Repainting: each shape's coverage list recorded once, then painted again and again.
        std::vector<std::vector<unsigned char>> lists;
        int failures = 0;
        if (repaint) {
            std::vector<unsigned char> buffer(std::size_t(64) << 20);
            for (PreparedShape& p : shapes) {
                RECT clip{0, 0, w.scene.width, w.scene.height};
                const int bytes = DrawPolyBezierTiledEx(&canvas, &clip, p.segments.data(), int(p.segments.size()),
                                                        buffer.data(), buffer.data() + buffer.size(), &p.request,
                                                        p.options, 0);
                if (bytes < 0) ++failures;
                lists.emplace_back(buffer.begin(), buffer.begin() + (bytes < 0 ? 0 : bytes + sizeof(CoverageMaskNode)));
            }
        }
        std::vector<double> times;
        for (int rep = 0; rep < (reps > 0 ? reps : w.repetitions); ++rep) {
            ImagingFillBitmap(&canvas, RGB(255, 255, 255));
            LARGE_INTEGER start, end;
            QueryPerformanceCounter(&start);
            for (std::size_t i = 0; i < shapes.size(); ++i) {
                PreparedShape& p = shapes[i];
                if (repaint) {
                    if (FillMaskRuns(&canvas, lists[i].data(), lists[i].size(), 0, 0, w.scene.width, w.scene.height,
                                     0, 0, &p.request) != MaskFillError::None)
                        ++failures;
                    continue;
                }
                RECT clip{0, 0, w.scene.width, w.scene.height};
                if (DrawPolyBezierTiledEx(&canvas, &clip, p.segments.data(), int(p.segments.size()), nullptr, nullptr,
                                          &p.request, p.options, 0) < 0)
                    ++failures;
            }
            QueryPerformanceCounter(&end);
            times.push_back(Seconds(start, end));
        }
        const std::uint32_t sum = PixelChecksum(canvas);
        ImagingFreeBitmap(&canvas);
        std::sort(times.begin(), times.end());
        const double median = times[times.size() / 2];
        std::printf("%-24s %8u %12.2f %12.1f %10d", w.name.c_str(), unsigned(shapes.size()), median * 1000,
                    BoundingPixels(w.scene) / median / 1e6, failures / int(times.size()));
        if (checksum) std::printf("   %08x", unsigned(sum));
        std::printf("\n");
        std::fflush(stdout);
    }
    RunOperations(operations, reps, checksum);
    return 0;
}

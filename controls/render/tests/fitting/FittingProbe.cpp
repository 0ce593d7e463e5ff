// Splits and fits the strokes of a text file for the Python check.
// Each case: a line "count width tolerance iterations", then count lines "x y". Each case writes
// int32 output points, breaks, records and byte count, then the points (two doubles each), the
// breaks (int32 each) and the records (seven doubles each: kind and three points).
#include <cstdio>
#include <vector>

#include "render/CurveFitting.h"
#include "../ProbeFiles.h"

int main(int argc, char** argv) {
    FILE *in, *out;
    if (!OpenProbeFiles(argc, argv, "fitting-probe", in, out)) return 2;
    int count, width, iterations;
    double tolerance;
    while (std::fscanf(in, "%d %d %lf %d", &count, &width, &tolerance, &iterations) == 4) {
        std::vector<tagPointF> points(count > 0 ? count : 0);
        for (tagPointF& p : points)
            if (std::fscanf(in, "%lf %lf", &p.x, &p.y) != 2) return 3;
        int* breaks = nullptr;
        int breakCount = 0;
        tagPointF* kept = SplitPolylineAtCorners(points.data(), count, tagPointF{0, 0}, 1.0, &breaks, &breakCount, width);
        const int keptCount = breakCount > 0 ? breaks[breakCount - 1] + 1 : 0;
        SegmentDesc* fitted = FitBezierToPolyline(kept, breaks, breakCount, tolerance, iterations);
        int records = 0;
        while (fitted && fitted[records].kind != SegmentEnd) ++records;
        if (fitted) ++records;
        std::vector<char> bytes;
        for (int i = 0; i < keptCount; ++i) AppendBytes(bytes, kept[i]);
        for (int i = 0; i < breakCount; ++i) AppendBytes(bytes, breaks[i]);
        for (int i = 0; i < records; ++i) AppendRecord(bytes, fitted[i]);
        WriteAnswer(out, keptCount, breakCount, records, bytes);
        delete[] kept;
        delete[] breaks;
        delete[] fitted;
    }
    std::fclose(in);
    std::fclose(out);
    return 0;
}

// Intersects the segment pairs of a text file for the Python reference check.
// Each line: kind x0 y0 x1 y1 x2 y2 x3 y3, the same for the second segment, then adjacent (0 or 1);
// a line uses its first two points. Each pair writes int32 crossings, 0, 0 and the byte count, then
// per crossing six doubles: x, y, tP, tQ, cross, dot.
#include <cstdio>
#include <vector>

#include "render/SegmentIntersection.h"
#include "../ProbeFiles.h"

namespace {

bool ReadSegment(FILE* in, SegmentDesc record[2]) {
    int kind;
    tagPointF p[4];
    if (std::fscanf(in, "%d %lf %lf %lf %lf %lf %lf %lf %lf", &kind, &p[0].x, &p[0].y, &p[1].x, &p[1].y, &p[2].x,
                    &p[2].y, &p[3].x, &p[3].y) != 9)
        return false;
    record[0] = SegmentDesc{};
    record[0].kind = static_cast<unsigned char>(kind);
    record[0].pt1 = p[0], record[0].pt2 = p[1], record[0].pt3 = p[2];
    record[1] = SegmentDesc{};
    record[1].kind = SegmentEnd;
    record[1].pt1 = kind == SegmentLine ? p[1] : p[3];
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    FILE *in, *out;
    if (!OpenProbeFiles(argc, argv, "intersect-probe", in, out)) return 2;
    SegmentDesc first[2], second[2];
    int adjacent;
    while (ReadSegment(in, first) && ReadSegment(in, second) && std::fscanf(in, "%d", &adjacent) == 1) {
        SegmentCrossing crossings[kMaxSegmentCrossings];
        const int n = IntersectSegments(first, second, crossings, adjacent != 0);
        std::vector<double> values;
        for (int i = 0; i < n; ++i) {
            const SegmentCrossing& c = crossings[i];
            values.insert(values.end(), {c.point.x, c.point.y, c.tP, c.tQ, c.cross, c.dot});
        }
        const int header[4] = {n, 0, 0, int(values.size() * sizeof(double))};
        std::fwrite(header, sizeof header, 1, out);
        std::fwrite(values.data(), sizeof(double), values.size(), out);
    }
    std::fclose(in);
    std::fclose(out);
    return 0;
}

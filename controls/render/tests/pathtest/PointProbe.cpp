// Answers point-in-path questions of a text file for the Python check against cairo.
// Each case: a line "segments points", that many lines "kind x0 y0 x1 y1 x2 y2", then that many
// lines "x y". Each case writes int32 segments, points, 0 and the point count, then one byte per
// point: 1 inside, 0 outside.
#include <cstdio>
#include <vector>

#include "render/PointInPath.h"
#include "../ProbeFiles.h"

int main(int argc, char** argv) {
    FILE *in, *out;
    if (!OpenProbeFiles(argc, argv, "point-probe", in, out)) return 2;
    int segmentCount, pointCount;
    while (std::fscanf(in, "%d %d", &segmentCount, &pointCount) == 2) {
        if (segmentCount < 0 || pointCount < 0) return 3;
        std::vector<SegmentDesc> segments(segmentCount);
        for (SegmentDesc& s : segments) {
            int kind;
            if (std::fscanf(in, "%d %lf %lf %lf %lf %lf %lf", &kind, &s.pt1.x, &s.pt1.y, &s.pt2.x, &s.pt2.y, &s.pt3.x,
                            &s.pt3.y) != 7)
                return 3;
            s.kind = static_cast<unsigned char>(kind);
        }
        std::vector<unsigned char> answers(pointCount);
        for (unsigned char& a : answers) {
            tagPointF p;
            if (std::fscanf(in, "%lf %lf", &p.x, &p.y) != 2) return 3;
            a = static_cast<unsigned char>(PtInPolyBezier(p, segments.data(), segmentCount));
        }
        const int header[4] = {segmentCount, pointCount, 0, pointCount};
        std::fwrite(header, sizeof header, 1, out);
        std::fwrite(answers.data(), 1, answers.size(), out);
    }
    std::fclose(in);
    std::fclose(out);
    return 0;
}

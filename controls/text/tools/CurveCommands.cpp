#include "CurveCommands.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "geometry/CurveGeometry.h"

int PrintNearestPositions(const char* file) {
    std::ifstream in(file);
    if (!in) {
        std::fprintf(stderr, "text-dump: cannot read %s\n", file);
        return 1;
    }
    std::vector<tagPointF> points;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string command;
        words >> command;
        if (command == "path") {
            points.clear();
            tagPointF p;
            while (words >> p.x >> p.y) points.push_back(p);
            std::printf("length %.17g\n", GetPolyBezierLength(points.data(), static_cast<int>(points.size())));
        } else if (command == "near") {
            tagPointF p{0, 0};
            words >> p.x >> p.y;
            const PathPosition at = FindNearestPointOnPolyBezier(p, points.data(), static_cast<int>(points.size()));
            std::printf("nearest %d %.17g\n", at.index, at.t);
        }
    }
    return 0;
}

#include "ShapeScene.h"

#include <windows.h>

#include <cmath>
#include <istream>
#include <ostream>
#include <sstream>

namespace {

int CoordinatesOf(char op) {
    switch (op) {
    case 'M': case 'L': return 2;
    case 'C': return 6;
    case 'Z': return 0;
    }
    return -1;
}

SegmentDesc Record(unsigned char kind, double x0, double y0, double x1 = 0, double y1 = 0, double x2 = 0,
                   double y2 = 0) {
    SegmentDesc s{};
    s.kind = kind;
    s.pt1 = {x0, y0};
    s.pt2 = {x1, y1};
    s.pt3 = {x2, y2};
    return s;
}

}  // namespace

SceneShape& SceneShape::MoveTo(double x, double y) { path.push_back({'M', {x, y}}); return *this; }
SceneShape& SceneShape::LineTo(double x, double y) { path.push_back({'L', {x, y}}); return *this; }
SceneShape& SceneShape::CurveTo(double x1, double y1, double x2, double y2, double x3, double y3) {
    path.push_back({'C', {x1, y1, x2, y2, x3, y3}});
    return *this;
}
SceneShape& SceneShape::Close() { path.push_back({'Z', {}}); return *this; }

std::vector<SegmentDesc> SceneShape::Segments(bool* closed) const {
    std::vector<SegmentDesc> out;
    bool allClosed = true, open = false;
    double startX = 0, startY = 0, x = 0, y = 0;
    auto endSubPath = [&](bool byClose) {
        if (!open) return;
        if (byClose && (x != startX || y != startY)) {
            out.push_back(Record(SegmentLine, x, y, startX, startY));
            x = startX;
            y = startY;
        }
        out.push_back(Record(SegmentEnd, x, y));
        allClosed = allClosed && byClose;
        open = false;
    };
    for (const PathCommand& c : path) {
        switch (c.op) {
        case 'M':
            endSubPath(false);
            startX = x = c.v[0];
            startY = y = c.v[1];
            open = true;
            break;
        case 'L':
            out.push_back(Record(SegmentLine, x, y, c.v[0], c.v[1]));
            x = c.v[0];
            y = c.v[1];
            break;
        case 'C':
            out.push_back(Record(SegmentCubic, x, y, c.v[0], c.v[1], c.v[2], c.v[3]));
            x = c.v[4];
            y = c.v[5];
            break;
        case 'Z':
            endSubPath(true);
            break;
        }
    }
    endSubPath(false);
    if (closed) *closed = allClosed && !out.empty();
    return out;
}

FillInfo SceneShape::Request() const {
    FillInfo request{};
    const uint32_t color = RGB(r, g, b);
    if (stroke) {
        request.FillType = FillNone;
        request.OutlineType = dashKind;
        request.OutlineWidth = width;
        request.OutlineColor = color;
    } else {
        request.FillType = FillSolid;
        request.FillColor = color;
        request.OutlineType = OutlineNone;
    }
    return request;
}

bool ReadShapeScene(std::istream& in, ShapeScene* scene, std::string* error) {
    std::string line;
    int lineNumber = 0;
    auto fail = [&](const std::string& why) {
        if (error) *error = "line " + std::to_string(lineNumber) + ": " + why;
        return false;
    };
    *scene = ShapeScene();
    bool inShape = false;
    while (std::getline(in, line)) {
        ++lineNumber;
        std::istringstream words(line);
        std::string word;
        if (!(words >> word)) {
            inShape = false;
            continue;
        }
        if (lineNumber == 1 || word == "size") {
            if (word != "size" || !(words >> scene->width >> scene->height) || scene->width <= 0 || scene->height <= 0)
                return fail("expected 'size W H' with positive sizes");
            continue;
        }
        if (!inShape) {
            SceneShape shape;
            int r, g, b;
            if (word == "fill") {
                std::string rule;
                if (!(words >> rule >> r >> g >> b) || (rule != "evenodd" && rule != "nonzero"))
                    return fail("expected 'fill evenodd|nonzero R G B'");
                shape.nonZero = rule == "nonzero";
            } else if (word == "stroke") {
                if (!(words >> shape.width >> shape.dashKind >> r >> g >> b) || !(shape.width > 0) ||
                    shape.dashKind < 1 || shape.dashKind > 5)
                    return fail("expected 'stroke WIDTH DASHKIND R G B' with a positive width and kind 1 to 5");
                shape.stroke = true;
            } else {
                return fail("expected a shape header, found '" + word + "'");
            }
            if (r < 0 || r > 255 || g < 0 || g > 255 || b < 0 || b > 255) return fail("colour channels run 0 to 255");
            shape.r = (unsigned char)r;
            shape.g = (unsigned char)g;
            shape.b = (unsigned char)b;
            scene->shapes.push_back(shape);
            inShape = true;
            continue;
        }
        const int n = word.size() == 1 ? CoordinatesOf(word[0]) : -1;
        if (n < 0) return fail("unknown path command '" + word + "'");
        PathCommand c{word[0], {}};
        for (int i = 0; i < n; ++i)
            if (!(words >> c.v[i]) || !std::isfinite(c.v[i])) return fail("path command needs " + std::to_string(n) + " numbers");
        if (c.op != 'M' && (scene->shapes.back().path.empty() || scene->shapes.back().path.back().op == 'Z'))
            return fail("path must start with M");
        scene->shapes.back().path.push_back(c);
    }
    if (scene->width <= 0) {
        if (error) *error = "missing 'size W H'";
        return false;
    }
    return true;
}

void WriteShapeScene(std::ostream& out, const ShapeScene& scene) {
    out.precision(17);
    out << "size " << scene.width << ' ' << scene.height << '\n';
    for (const SceneShape& s : scene.shapes) {
        if (s.stroke)
            out << "stroke " << s.width << ' ' << s.dashKind;
        else
            out << "fill " << (s.nonZero ? "nonzero" : "evenodd");
        out << ' ' << int(s.r) << ' ' << int(s.g) << ' ' << int(s.b) << '\n';
        for (const PathCommand& c : s.path) {
            out << c.op;
            for (int i = 0; i < CoordinatesOf(c.op); ++i) out << ' ' << c.v[i];
            out << '\n';
        }
        out << '\n';
    }
}

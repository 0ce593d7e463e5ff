// Scenes of shapes in a plain text form shared by the accuracy check and the benchmark:
//
//   size W H
//   fill evenodd|nonzero R G B          or   stroke WIDTH DASHKIND R G B
//   M x y / L x y / C x1 y1 x2 y2 x3 y3 / Z   one path command a line
//   (blank line ends the shape)
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "render/FillInfo.h"
#include "render/SegmentDesc.h"

struct PathCommand {
    char op;          // 'M', 'L', 'C' or 'Z'
    double v[6];      // the command's coordinates, as many as it takes
};

struct SceneShape {
    bool stroke = false;
    bool nonZero = false;     // fills: winding rule
    double width = 0.0;       // strokes
    int dashKind = 1;         // strokes: 1 solid, 2 to 5 dashed
    unsigned char r = 255, g = 255, b = 255;
    std::vector<PathCommand> path;

    SceneShape& MoveTo(double x, double y);
    SceneShape& LineTo(double x, double y);
    SceneShape& CurveTo(double x1, double y1, double x2, double y2, double x3, double y3);
    SceneShape& Close();

    // The path as segment records; closed is set when every sub-path ends with Z.
    std::vector<SegmentDesc> Segments(bool* closed) const;
    // The drawing request: a solid fill, or a stroke without fill.
    FillInfo Request() const;
};

struct ShapeScene {
    int width = 0, height = 0;
    std::vector<SceneShape> shapes;
};

// Reads a scene; on failure returns false with the line number and reason in *error.
bool ReadShapeScene(std::istream& in, ShapeScene* scene, std::string* error);
void WriteShapeScene(std::ostream& out, const ShapeScene& scene);

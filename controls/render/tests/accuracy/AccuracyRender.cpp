// Renders every shape of a scene alone, white on black, and writes four coverage planes per shape:
// the engine's render at its highest quality, the same coverage repainted from the list the render
// recorded, then both again with the small-shape shortcut allowed. The accuracy check compares the
// renders with exact areas and each repaint with its render.
//
// With LISTS, the recorded coverage lists are written too, each as a 32-bit byte count and the bytes
// (end marker included), in the order of the planes.
//
//   accuracy-render SCENE OUT [LISTS]
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "imaging/ImagingBitmap.h"
#include "render/DrawPolyBezier.h"
#include "render/MaskListFill.h"
#include "scenes/ShapeScene.h"

namespace {

class Canvas {
public:
    Canvas(int width, int height) {
        ImagingInitBitmap(&bitmap_);
        ok_ = ImagingAllocateBitmap(&bitmap_, width, height, 24) == ImagingOk &&
              ImagingFillBitmap(&bitmap_, RGB(0, 0, 0)) == ImagingOk;
    }
    ~Canvas() { ImagingFreeBitmap(&bitmap_); }
    bool ok() const { return ok_; }
    ImagingBitmap* get() { return &bitmap_; }

    // The red byte of every pixel, row by row.
    void AppendRed(std::vector<unsigned char>* out) {
        ImagingAccessScope access(&bitmap_);
        for (int y = 0; y < bitmap_.Height; ++y)
            for (int x = 0; x < bitmap_.Width; ++x) out->push_back(ImagingPixelAddress(&bitmap_, x, y)[2]);
    }

private:
    ImagingBitmap bitmap_;
    bool ok_ = false;
};

bool SaveBytes(const char* path, const std::vector<unsigned char>& bytes) {
    std::FILE* out = std::fopen(path, "wb");
    const bool ok = out && std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    if (out && std::fclose(out) != 0) return false;
    if (!ok) std::fprintf(stderr, "accuracy-render: cannot write %s\n", path);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: accuracy-render SCENE OUT [LISTS]\n");
        return 2;
    }
    std::ifstream in(argv[1]);
    ShapeScene scene;
    std::string error;
    if (!in || !ReadShapeScene(in, &scene, &error)) {
        std::fprintf(stderr, "accuracy-render: cannot read %s: %s\n", argv[1], in ? error.c_str() : "cannot open");
        return 2;
    }
    std::vector<unsigned char> planes, lists;
    std::vector<unsigned char> list(std::size_t(8) << 20);
    for (std::size_t i = 0; i < scene.shapes.size(); ++i) {
        const SceneShape& shape = scene.shapes[i];
        bool closed = false;
        const std::vector<SegmentDesc> segments = shape.Segments(&closed);
        const FillInfo request = shape.Request();
        for (int highestQuality = 1; highestQuality >= 0; --highestQuality) {
            RenderOptions options;
            options.highestQuality = highestQuality;
            options.closed = closed ? 1 : 0;
            options.nonZeroFill = shape.nonZero ? 1 : 0;

            Canvas rendered(scene.width, scene.height), replayed(scene.width, scene.height);
            if (!rendered.ok() || !replayed.ok()) {
                std::fprintf(stderr, "accuracy-render: cannot allocate %dx%d bitmaps\n", scene.width, scene.height);
                return 1;
            }
            RECT clip{0, 0, scene.width, scene.height};
            const int bytes = DrawPolyBezierTiledEx(rendered.get(), &clip, segments.data(), int(segments.size()),
                                                    list.data(), list.data() + list.size(), &request, options, 0);
            if (bytes < 0) {
                std::fprintf(stderr, "accuracy-render: shape %u failed to render (%d)\n", unsigned(i), bytes);
                return 1;
            }
            const MaskFillError replay =
                FillMaskRuns(replayed.get(), list.data(), std::size_t(bytes) + sizeof(CoverageMaskNode), 0, 0,
                             scene.width, scene.height, 0, 0, &request);
            if (replay != MaskFillError::None) {
                std::fprintf(stderr, "accuracy-render: shape %u: %s\n", unsigned(i), MaskFillErrorText(replay));
                return 1;
            }
            rendered.AppendRed(&planes);
            replayed.AppendRed(&planes);
            const std::uint32_t listBytes = std::uint32_t(bytes) + sizeof(CoverageMaskNode);
            const unsigned char* count = reinterpret_cast<const unsigned char*>(&listBytes);
            lists.insert(lists.end(), count, count + sizeof listBytes);
            lists.insert(lists.end(), list.begin(), list.begin() + listBytes);
        }
    }
    if (!SaveBytes(argv[2], planes) || (argc == 4 && !SaveBytes(argv[3], lists))) return 1;
    std::printf("accuracy-render: %u shapes\n", unsigned(scene.shapes.size()));
    return 0;
}

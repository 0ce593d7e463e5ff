// Writes what the independent Python check of the smart cache reads:
//   clients <file>   a figure's saved stream with three path clients, one of them not being saved
//   hits <file>      a star's outline (document inches) and its coverage hit answers on a grid
#include <windows.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "ShapeFixtures.h"

namespace {
int Clients(const wchar_t* path) {
    TestShapeObject* owner = NewShape(tagRectF{0.5, 0.25, 2, 1});
    TestShapeObject* first = NewShape(tagRectF{5, 5, 6, 6});
    TestShapeObject* second = NewShape(tagRectF{7, 5, 8, 6});
    TestShapeObject* stranger = NewShape(tagRectF{9, 5, 10, 6});
    CFakeSerializer serializer;
    serializer.controls = {AsBase(first), AsBase(owner), AsBase(second)};
    AsRectCache(owner)->AttachPathClient(AsBase(second), 1);
    AsRectCache(owner)->AttachPathClient(AsBase(stranger), 1);
    AsRectCache(owner)->AttachPathClient(AsBase(first), 1);
    AsBase(owner)->put_Serializer(&serializer);
    const std::vector<BYTE> bytes = SavedBytes(AsBase(owner));
    AsBase(owner)->put_Serializer(nullptr);
    for (TestShapeObject* s : {owner, first, second, stranger}) s->Release();
    FILE* file = _wfopen(path, L"wb");
    if (!file) return 1;
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    return 0;
}

int Hits(const wchar_t* path) {
    // A seven-pointed star of lines about (1.5, 1.0) inches.
    std::vector<SegmentDesc> star;
    for (int i = 0; i < 14; ++i) {
        const double a = i * 3.14159265358979323846 / 7, r = i % 2 ? 0.35 : 0.9;
        SegmentDesc s{};
        s.kind = kSegmentLine;
        s.pt1 = tagPointF{1.5 + r * std::cos(a), 1.0 + r * std::sin(a)};
        star.push_back(s);
    }
    // A line record carries its end point too.
    for (size_t i = 0; i < star.size(); ++i) star[i].pt2 = star[i].pt3 = star[(i + 1) % star.size()].pt1;
    SegmentDesc end{};
    end.kind = kSegmentEnd;
    end.pt1 = star[0].pt1;
    star.push_back(end);
    TestShapeObject* shape = NewShape(tagRectF{0.6, 0.1, 2.4, 1.9});
    shape->SetDocumentPath({star});
    CRecordingView view;
    AsBase(shape)->RegisterView(&view);
    CTestCanvas canvas(300, 220);
    canvas.offset = POINT{13, -7};  // the canvas does not start at the page's origin
    canvas.Draw(AsBase(shape), &view);
    FILE* out = _wfopen(path, L"w");
    if (!out) return 1;
    for (const SegmentDesc& s : star)
        if (s.kind != kSegmentEnd) std::fprintf(out, "v %.17g %.17g\n", s.pt1.x, s.pt1.y);
    for (int y = -5; y < 215; y += 2)
        for (int x = 15; x < 310; x += 2) {
            const tagPointF p{x / 100.0, y / 100.0};
            std::fprintf(out, "h %.17g %.17g %d\n", p.x, p.y, AsBase(shape)->ContainsPoint(p, 0, &view) == S_OK ? 1 : 0);
        }
    std::fclose(out);
    shape->UnregisterAllViews();
    shape->Release();
    return 0;
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
    CoInitialize(nullptr);
    int result = 2;
    const std::wstring mode = argc > 1 ? argv[1] : L"";
    if (mode == L"clients" && argc == 3)
        result = Clients(argv[2]);
    else if (mode == L"hits" && argc == 3)
        result = Hits(argv[2]);
    else
        std::fprintf(stderr, "usage: TarnSmartCacheSamples clients <file> | hits <file>\n");
    CoUninitialize();
    return result;
}

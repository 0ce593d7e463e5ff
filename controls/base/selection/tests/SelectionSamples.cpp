// Writes what the independent Python check reads: a saved selection of three controls, and a
// table of every control's corners before and after each list transform.
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "SelectionFixtures.h"

namespace {
const double kPi = 3.14159265358979323846;

int SaveSelection(const wchar_t* path, const std::vector<BuddyRectObject*>& controls) {
    CComObject<CSelectionControl>* selection = NewSelection();
    for (BuddyRectObject* c : controls) AsSel(selection)->Add(AsBase(c));
    IStream* stream = nullptr;
    CreateStreamOnHGlobal(nullptr, TRUE, &stream);
    HRESULT hr = static_cast<IPersistStreamInit*>(selection)->Save(stream, TRUE);
    const std::vector<BYTE> bytes = BytesOf(stream);
    stream->Release();
    AsSel(selection)->RemoveAll();
    selection->Release();
    FILE* file = _wfopen(path, L"wb");
    if (!file || FAILED(hr)) return 1;
    fwrite(bytes.data(), 1, bytes.size(), file);
    fclose(file);
    return 0;
}

void WriteCorners(FILE* out, const std::vector<tagPointF>& corners) {
    for (const tagPointF& p : corners) fprintf(out, " %.17g %.17g", p.x, p.y);
}

int Corners(const wchar_t* path, const std::vector<BuddyRectObject*>& controls) {
    FILE* out = _wfopen(path, L"w");
    if (!out) return 1;
    CComObject<CSelectionControl>* selection = NewSelection();
    std::vector<IBaseControl*> all;
    std::vector<CBuddyRect*> moved;
    for (BuddyRectObject* c : controls) {
        all.push_back(AsBase(c));
        moved.push_back(c);
    }
    IUnknown* list = NewList(all);
    ISelectionControlDispatch* d = AsSelDisp(selection);
    struct Step {
        const char* line;
        std::function<void()> run;
    };
    const Step steps[] = {
        {"move 1.5 -0.25", [&] { d->MoveListBy(list, 1.5, -0.25); }},
        {"scale 2 0.5 0.25 1 0", [&] { d->ScaleListBy(list, 2, 0.5, 0.25, 1, 0); }},
        {"scale 1 -1 0 0 0", [&] { d->ScaleListBy(list, 1, -1, 0, 0, 0); }},
        {"scale 1.5 2 0.5 0 3.141592653589793", [&] { d->ScaleListBy(list, 1.5, 2, 0.5, 0, kPi); }},
        {"rotate 0.7 1 2", [&] { d->RotateListBy(list, 0.7, 1, 2); }},
        {"skew 1.2 0.3 -0.2 0.5 4", [&] { d->SkewListBy(list, 1.2, 0.3, -0.2, 0.5, 4); }},
        {"centre 10 20", [&] { d->SetListCenterPoint(list, 10, 20); }},
    };
    for (const Step& s : steps) {
        const std::vector<tagPointF> before = CornersOfAll(moved);
        s.run();
        fprintf(out, "%s |", s.line);
        WriteCorners(out, before);
        fprintf(out, " |");
        WriteCorners(out, CornersOfAll(moved));
        fprintf(out, "\n");
    }
    AsSel(selection)->RemoveAll();
    list->Release();
    selection->Release();
    fclose(out);
    return 0;
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return 2;
    CoInitialize(nullptr);
    CFakeSite owner;
    std::vector<BuddyRectObject*> controls;
    const tagRectF rects[] = {{0, 0, 2, 1}, {3, 1, 4, 3}, {1, 2, 2.5, 4}};
    for (const tagRectF& r : rects) controls.push_back(NewBuddyRect(r, &owner));
    controls[1]->RotateBy(0.3, tagPointF{3.5, 2});
    const std::wstring mode = argv[1];
    int result = 2;
    if (mode == L"save")
        result = SaveSelection(argv[2], controls);
    else if (mode == L"corners")
        result = Corners(argv[2], controls);
    for (BuddyRectObject* c : controls) AsBase(c)->Release();
    CoUninitialize();
    return result;
}

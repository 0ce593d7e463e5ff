#include "ShapeFixtures.h"

#include <cmath>
#include <cstring>


namespace {
// Four cubic quarter arcs and the end record of the ellipse inscribed in r.
void EllipseSegments(const tagRectF& r, SegmentDesc* segs) {
    const double k = 0.5522847498307936;
    const double cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
    const double a = (r.right - r.left) / 2, b = (r.bottom - r.top) / 2;
    const tagPointF p[4] = {{cx + a, cy}, {cx, cy + b}, {cx - a, cy}, {cx, cy - b}};
    const tagPointF d[4] = {{0, b * k}, {-a * k, 0}, {0, -b * k}, {a * k, 0}};
    for (int i = 0; i < 4; ++i) {
        const tagPointF& q = p[(i + 1) % 4];
        const tagPointF& e = d[(i + 1) % 4];
        segs[i].kind = 0;
        segs[i].pt1 = p[i];
        segs[i].pt2 = tagPointF{p[i].x + d[i].x, p[i].y + d[i].y};
        segs[i].pt3 = tagPointF{q.x - e.x, q.y - e.y};
    }
    segs[4] = SegmentDesc{};
    segs[4].kind = 2;
    segs[4].pt1 = p[0];
}
}  // namespace

void CTestShape::BuildLocalPath(CHeapArray& path) {
    ++builds;
    if (!transformFlag_) {
        path.SetCount(static_cast<int>(documentPath.size()), 1);
        for (size_t i = 0; i < documentPath.size(); ++i) {
            path.AllocItems(static_cast<int>(i), static_cast<int>(documentPath[i].size()));
            std::memcpy(path[static_cast<int>(i)].segments, documentPath[i].data(),
                        documentPath[i].size() * sizeof(SegmentDesc));
        }
        return;
    }
    path.SetCount(rows * columns, 1);
    const double w = 2.0 / columns, h = 2.0 / rows;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            const int i = r * columns + c;
            path.AllocItems(i, 5);
            tagRectF cell{-1 + c * w + w * 0.05, -1 + r * h + h * 0.05, -1 + (c + 1) * w - w * 0.05,
                          -1 + (r + 1) * h - h * 0.05};
            EllipseSegments(cell, path[i].segments);
        }
}

void CTestShape::SetDocumentPath(const std::vector<std::vector<SegmentDesc>>& paths) {
    documentPath = paths;
    transformFlag_ = false;
    MarkPathChanged();
    RebuildPath(true);
}

HRESULT CTestShape::CreateCurveControl(const std::vector<std::vector<SegmentDesc>>& paths, bool,
                                       IBaseControl** result) {
    TestShapeObject* made = nullptr;
    if (FAILED(TestShapeObject::CreateInstance(&made))) return E_OUTOFMEMORY;
    made->AddRef();
    made->InitNew();
    made->SetLinearTransformParams(transform_.XScale, transform_.YScale,
                                   tagPointF{transform_.XOffset, transform_.YOffset}, transform_.RotateAngle,
                                   transform_.SkewAngle);
    made->ColorPart() = ColorPart();
    if (engineForNew) made->UseEngine(*engineForNew);
    made->SetDocumentPath(paths);
    if (siteForNew) AdviseSite(static_cast<IBaseControl*>(made), siteForNew);
    *result = static_cast<IBaseControl*>(made);
    return S_OK;
}

TestShapeObject* NewShape(const tagRectF& rect, COLORREF fill) {
    TestShapeObject* object = nullptr;
    if (FAILED(TestShapeObject::CreateInstance(&object))) return nullptr;
    object->AddRef();
    object->InitNew();
    object->ColorPart().slots[0].color = fill;
    object->put_Rect(rect);
    return object;
}

IBaseControl* AsBase(CTestShape* shape) { return static_cast<IBaseControl*>(shape); }
IRectCtrlSmartCache* AsRectCache(CTestShape* shape) { return static_cast<IRectCtrlSmartCache*>(shape); }
IRectangularControl* AsRect(CTestShape* shape) { return static_cast<IRectangularControl*>(shape); }

// Engine ------------------------------------------------------------------------------------------------

CCountingEngine* CCountingEngine::current = nullptr;

namespace {
int CountDraw(ImagingBitmap* b, RECT* clip, const SegmentDesc* s, int n, unsigned char* cursor,
              const unsigned char* limit, const FillInfo* fill, int quality, int closed) {
    ++CCountingEngine::current->draws;
    return DefaultShapeEngine().drawPolyBezierTiled(b, clip, s, n, cursor, limit, fill, quality, closed);
}

bool CountFill(ImagingBitmap* b, const void* list, const RECT& clip, int dx, int dy, const FillInfo* fill) {
    ++CCountingEngine::current->fills;
    return DefaultShapeEngine().fillMaskRuns(b, list, clip, dx, dy, fill);
}

BOOL CountPolyDraw(HDC hdc, const POINT* points, const BYTE* types, int count) {
    ++CCountingEngine::current->polyDraws;
    return PolyDraw(hdc, points, types, count);
}

int FakeBoolean(SegmentDesc** first, const int* firstCounts, int firstCount, SegmentDesc**, const int*, int, int,
                int flags, SegmentDesc*** out, int** outCounts, int* outCount) {
    CCountingEngine::current->booleanFlags.push_back(flags);
    if (!CCountingEngine::current->booleanSucceeds) return 0;
    // The "result" is the first set, copied.
    *out = new SegmentDesc*[firstCount];
    *outCounts = new int[firstCount];
    for (int i = 0; i < firstCount; ++i) {
        (*out)[i] = new SegmentDesc[firstCounts[i]];
        std::memcpy((*out)[i], first[i], firstCounts[i] * sizeof(SegmentDesc));
        (*outCounts)[i] = firstCounts[i];
    }
    *outCount = firstCount;
    return 1;
}

void FreeFake(SegmentDesc** out, int* counts, int n) {
    for (int i = 0; i < n; ++i) delete[] out[i];
    delete[] out;
    delete[] counts;
}
}  // namespace

CCountingEngine::CCountingEngine() : table(DefaultShapeEngine()) {
    current = this;
    table.drawPolyBezierTiled = CountDraw;
    table.fillMaskRuns = CountFill;
    table.polyDraw = CountPolyDraw;
    table.pathBooleanOperation = FakeBoolean;
    table.freeBooleanResult = FreeFake;
}

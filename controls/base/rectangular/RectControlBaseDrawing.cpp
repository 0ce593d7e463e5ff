// What the layer draws itself: the dotted frame while the control is placed, the outline of a drag,
// the selection handles in both modes and the rotation centre, and the invalidation of each.
#include <cmath>
#include <memory>

#include "RectControlBase.h"
#include "tarn/ControlsModuleState.h"

namespace {
// Maps a point by the 3x3 row-major matrix of an outline call.
tagPointF MapByMatrix(const double* m, const tagPointF& p) {
    return tagPointF{m[0] * p.x + m[1] * p.y + m[2], m[3] * p.x + m[4] * p.y + m[5]};
}

// The handle bitmaps of the transform mode: loaded once from the resource library and kept for
// the module's life, with monochrome copies mirrored or turned for the other corners and edges.
class CHandleBitmaps {
public:
    static CHandleBitmaps& Get() {
        static CHandleBitmaps bitmaps;
        return bitmaps;
    }
    // The bitmap of handle i (0-7) and its size.
    HBITMAP For(int i, SIZE& size) const {
        const Copy& copy = copies_[i & 7];
        size = copy.size;
        return copy.bitmap;
    }
    SIZE CornerSize() const { return copies_[0].size; }
    SIZE EdgeSize() const { return copies_[1].size; }

private:
    struct Copy {
        HBITMAP bitmap = nullptr;
        SIZE size{0, 0};
    };

    CHandleBitmaps() {
        HINSTANCE resources = ControlsResourceInstance();
        HBITMAP corner = LoadBitmapA(resources, MAKEINTRESOURCEA(kBitmapCornerHandle));
        HBITMAP edge = LoadBitmapA(resources, MAKEINTRESOURCEA(kBitmapEdgeHandle));
        // Corners: 0 as loaded, 2 mirrored left-right, 4 both ways, 6 top-bottom.
        copies_[0] = MakeCopy(corner, false, false, false);
        copies_[2] = MakeCopy(corner, true, false, false);
        copies_[4] = MakeCopy(corner, true, true, false);
        copies_[6] = MakeCopy(corner, false, true, false);
        // Edges: 1 as loaded, 5 top-bottom, 3 and 7 turned a quarter turn.
        copies_[1] = MakeCopy(edge, false, false, false);
        copies_[5] = MakeCopy(edge, false, true, false);
        copies_[3] = MakeCopy(edge, true, false, true);
        copies_[7] = MakeCopy(edge, false, false, true);
        if (corner) DeleteObject(corner);
        if (edge) DeleteObject(edge);
    }
    ~CHandleBitmaps() {
        for (Copy& copy : copies_)
            if (copy.bitmap) DeleteObject(copy.bitmap);
    }

    static Copy MakeCopy(HBITMAP source, bool mirrorX, bool mirrorY, bool turn) {
        Copy copy;
        BITMAP info{};
        if (!source || !GetObjectA(source, sizeof info, &info)) return copy;
        const int w = info.bmWidth, h = info.bmHeight;
        copy.size = turn ? SIZE{h, w} : SIZE{w, h};
        HDC screen = GetDC(nullptr);
        HDC from = CreateCompatibleDC(screen);
        HDC to = CreateCompatibleDC(screen);
        ReleaseDC(nullptr, screen);
        copy.bitmap = CreateBitmap(copy.size.cx, copy.size.cy, 1, 1, nullptr);
        HGDIOBJ oldFrom = SelectObject(from, source);
        HGDIOBJ oldTo = SelectObject(to, copy.bitmap);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const int sx = mirrorX ? w - 1 - x : x, sy = mirrorY ? h - 1 - y : y;
                const COLORREF c = GetPixel(from, sx, sy);
                const COLORREF mono = (GetRValue(c) + GetGValue(c) + GetBValue(c)) >= 384 ? RGB(255, 255, 255) : 0;
                if (turn)
                    SetPixel(to, y, x, mono);
                else
                    SetPixel(to, x, y, mono);
            }
        SelectObject(from, oldFrom);
        SelectObject(to, oldTo);
        DeleteDC(from);
        DeleteDC(to);
        return copy;
    }

    Copy copies_[8];
};

RECT Widened(const tagPointF* points, int n, int leftTop, int rightBottom) {
    double l = points[0].x, t = points[0].y, r = l, b = t;
    for (int i = 1; i < n; ++i) {
        l = std::fmin(l, points[i].x);
        t = std::fmin(t, points[i].y);
        r = std::fmax(r, points[i].x);
        b = std::fmax(b, points[i].y);
    }
    return RECT{static_cast<LONG>(std::floor(l)) - leftTop, static_cast<LONG>(std::floor(t)) - leftTop,
                static_cast<LONG>(std::ceil(r)) + rightBottom, static_cast<LONG>(std::ceil(b)) + rightBottom};
}
}  // namespace

// The placing frame ------------------------------------------------------------------------------------

void CRectControlBase::DrawXorFrame(HDC hdc, const tagDrawOptions& options, const tagPointF corners[4],
                                    COLORREF penColour, COLORREF backColour) {
    if (!hdc) return;
    POINT origin{0, 0};
    if (options.m_Canvas) options.m_Canvas->GetWorkOffset(&origin);
    POINT points[5];
    for (int i = 0; i < 4; ++i) {
        if (FAILED(DocToDevicePoint(corners[i], options, points[i]))) return;
        points[i].x -= origin.x;
        points[i].y -= origin.y;
    }
    points[4] = points[0];
    HPEN pen = CreatePen(PS_DOT, 1, penColour);
    HGDIOBJ oldPen = SelectObject(hdc, pen);
    const int oldRop = SetROP2(hdc, R2_XORPEN);
    const int oldMode = SetBkMode(hdc, OPAQUE);
    const COLORREF oldBack = SetBkColor(hdc, backColour);
    Polyline(hdc, points, 5);
    SetBkColor(hdc, oldBack);
    SetBkMode(hdc, oldMode);
    SetROP2(hdc, oldRop);
    SelectObject(hdc, oldPen);
    DeleteObject(pen);
}

void CRectControlBase::PaintFrame(const tagDrawOptions& options, COLORREF penColour, COLORREF backColour) {
    if (!options.m_Canvas) return;
    tagPointF corners[4];
    Corners(corners);
    HDC hdc = nullptr;
    if (FAILED(options.m_Canvas->GetWorkHDC(&hdc)) || !hdc) return;
    DrawXorFrame(hdc, options, corners, penColour, backColour);
}

STDMETHODIMP CRectControlBase::Draw(tagDrawOptions* options) {
    if (!options) return E_POINTER;
    if (!visible_) return S_OK;
    tagRectF bounds;
    get_BoundingRect(&bounds);
    POINT topLeft, bottomRight;
    if (FAILED(DocToDevicePoint(tagPointF{bounds.left, bounds.top}, *options, topLeft)) ||
        FAILED(DocToDevicePoint(tagPointF{bounds.right, bounds.bottom}, *options, bottomRight)))
        return S_OK;
    const RECT box{topLeft.x, topLeft.y, bottomRight.x + 1, bottomRight.y + 1};
    RECT meet;
    if (IntersectRect(&meet, &box, &options->UpdateRect) && state_ == kStateFresh)
        PaintFrame(*options, kFramePenColour, kFrameBackColour);
    return S_OK;
}

void CRectControlBase::DrawRotationCentre(HDC hdc, int x, int y) {
    HGDIOBJ oldPen = SelectObject(hdc, GetStockObject(BLACK_PEN));
    HGDIOBJ oldBrush = SelectObject(hdc, GetStockObject(NULL_BRUSH));
    SetPixel(hdc, x, y, RGB(0, 0, 0));
    Ellipse(hdc, x - 7, y - 7, x + 8, y + 8);
    SelectObject(hdc, oldBrush);
    SelectObject(hdc, oldPen);
}

// Outline feedback -----------------------------------------------------------------------------------------

STDMETHODIMP CRectControlBase::DrawOutlineFast(HDC hDC, tagDrawOptions* options, ITarnViewEvents*, double* matrix) {
    if (!options || !matrix) return E_POINTER;
    tagPointF corners[4];
    Corners(corners);
    for (tagPointF& c : corners) c = MapByMatrix(matrix, c);
    DrawXorFrame(hDC, *options, corners, kFramePenColour, kFrameBackColour);
    return S_OK;
}

STDMETHODIMP CRectControlBase::InvalidateOutlineFast(ITarnViewEvents* view, double* matrix) {
    if (!view || !matrix) return E_POINTER;
    tagPointF corners[4];
    Corners(corners);
    tagPointF pixels[4];
    for (int i = 0; i < 4; ++i) {
        POINT p;
        if (FAILED(DocToViewPoint(view, MapByMatrix(matrix, corners[i]), p))) return S_OK;
        pixels[i] = tagPointF{static_cast<double>(p.x), static_cast<double>(p.y)};
    }
    RECT r = Widened(pixels, 4, 1, 2);
    view->Invalidate(&r, 0, 0);
    return S_OK;
}

// The outline matrix of the drag running in a view: identity when none has moved the frame.
namespace {
bool FeedbackMatrix(CRectControlBase& control, ITarnViewEvents* view, short state, const CDragRecord* drag,
                    const CTransformTrack* track, double out[9]) {
    CAffineMatrix m;
    if (state == kStateMoving && drag && drag->view == view && drag->moved && !control.MovesDuringDrag()) {
        m.Translate(drag->lastPoint.x - drag->referencePoint.x, drag->lastPoint.y - drag->referencePoint.y);
    } else if (track && track->view == view && track->moved &&
               ((state == kStateResizing && !control.ResizesLive()) ||
                (state == kStateSkewing && !control.SkewsLive()))) {
        CLinearTransform from, to;
        from.SetFromCorners(track->startCorners);
        to.SetFromCorners(track->corners);
        m = CLinearTransform::GetRelativeMatrix(from, to);
    } else if (track && track->view == view && track->moved && state == kStateRotating && !control.RotatesLive()) {
        m.RotateAbout(track->angle, track->rotationPoint.x, track->rotationPoint.y);
    } else {
        return false;
    }
    for (int i = 0; i < 9; ++i) out[i] = m.m[i];
    return true;
}
}  // namespace

// Handles ------------------------------------------------------------------------------------------------

bool CRectControlBase::IsActiveIn(ITarnViewEvents* view) {
    CControlViewData* record = FindViewData(view, false);
    return record && record->active;
}

CRectViewData* CRectControlBase::RectViewData(ITarnViewEvents* view) {
    return static_cast<CRectViewData*>(FindViewData(view, true));
}

CControlViewData* CRectControlBase::CreateViewData(ITarnViewEvents* view) { return new CRectViewData(view); }

bool CRectControlBase::ShowsTransformHandles(ITarnViewEvents* view) {
    CRectViewData* record = RectViewData(view);
    return record && record->transformHandles;
}

bool CRectControlBase::DragHasMovedFrame(ITarnViewEvents* view) const {
    if (state_ == kStateMoving) return dragRecord_ && dragRecord_->view == view && dragRecord_->moved;
    if (state_ >= kStateResizing && state_ <= kStateSkewing)
        return track_ && track_->view == view && track_->moved && state_ != kStateMovingRotationPoint;
    return false;
}

bool CRectControlBase::GetHandlePoint(int i, ITarnViewEvents* view, POINT* point) {
    if (!point || i < 0 || i > 8 || !IsActiveIn(view) || ShowsTransformHandles(view)) return false;
    tagRectF frame;
    if (FAILED(get_FrameRect(&frame))) return false;
    POINT p;
    if (FAILED(DocToViewPoint(view, HandleAnchor(frame, i), p))) return false;
    static const int kPush[9][2] = {{-7, -7}, {0, -7}, {7, -7}, {7, 0}, {7, 7}, {0, 7}, {-7, 7}, {-7, 0}, {0, 0}};
    point->x = p.x + kPush[i][0];
    point->y = p.y + kPush[i][1];
    return true;
}

bool CRectControlBase::GetHandleRect(int i, ITarnViewEvents* view, RECT* rect) {
    if (!rect || i < 0 || i > 7 || !IsActiveIn(view) || !ShowsTransformHandles(view)) return false;
    tagRectF frame;
    if (FAILED(get_FrameRect(&frame))) return false;
    POINT a;
    if (FAILED(DocToViewPoint(view, HandleAnchor(frame, i), a))) return false;
    const SIZE s4 = CHandleBitmaps::Get().CornerSize(), s5 = CHandleBitmaps::Get().EdgeSize();
    const LONG w4 = s4.cx, h4 = s4.cy, w5 = s5.cx, h5 = s5.cy, d = h5 + 1;
    switch (i) {
    case 0: *rect = RECT{a.x - d, a.y - d, a.x - d + w4, a.y - d + h4}; break;
    case 1: *rect = RECT{a.x - w5 / 2 - 1, a.y - d, a.x - w5 / 2 - 1 + w5, a.y - d + h5}; break;
    case 2: *rect = RECT{a.x + d + 1 - w4, a.y - d, a.x + d + 1, a.y - d + h4}; break;
    case 3: *rect = RECT{a.x + d + 1 - h5, a.y - w5 / 2 - 1, a.x + d + 1, a.y - w5 / 2 - 1 + w5}; break;
    case 4: *rect = RECT{a.x + d + 1 - w4, a.y + d + 1 - h4, a.x + d + 1, a.y + d + 1}; break;
    case 5: *rect = RECT{a.x - w5 / 2 - 1, a.y + d + 1 - h5, a.x - w5 / 2 - 1 + w5, a.y + d + 1}; break;
    case 6: *rect = RECT{a.x - d, a.y + d + 1 - h4, a.x - d + w4, a.y + d + 1}; break;
    default: *rect = RECT{a.x - d, a.y - w5 / 2 - 1, a.x - d + h5, a.y - w5 / 2 - 1 + w5}; break;
    }
    return true;
}

STDMETHODIMP CRectControlBase::DrawUIShapes(HDC hDC, ITarnViewEvents* view, tagDrawOptions* options) {
    if (!hDC || !IsActiveIn(view)) return S_OK;
    double matrix[9];
    if (options && FeedbackMatrix(*this, view, state_, dragRecord_, track_.get(), matrix))
        DrawOutlineFast(hDC, options, view, matrix);
    if (ShowsTransformHandles(view)) {
        if (!DragHasMovedFrame(view)) {
            HDC memory = CreateCompatibleDC(hDC);
            for (int i = 0; i < 8; ++i) {
                RECT r;
                SIZE size;
                HBITMAP bitmap = CHandleBitmaps::Get().For(i, size);
                if (!bitmap || !GetHandleRect(i, view, &r)) continue;
                HGDIOBJ old = SelectObject(memory, bitmap);
                BitBlt(hDC, r.left, r.top, size.cx, size.cy, memory, 0, 0, SRCAND);
                SelectObject(memory, old);
            }
            DeleteDC(memory);
            tagPointF centre;
            POINT p;
            get_RotationPoint(&centre);
            if (SUCCEEDED(DocToViewPoint(view, centre, p))) DrawRotationCentre(hDC, p.x, p.y);
        }
        return S_OK;
    }
    if (DragHasMovedFrame(view)) return S_OK;
    HPEN frame = CreatePen(PS_SOLID, 1, RGB(0x40, 0x40, 0x40));
    HGDIOBJ oldPen = SelectObject(hDC, frame);
    HGDIOBJ oldBrush = SelectObject(hDC, GetStockObject(NULL_BRUSH));
    for (int i = 0; i < 8; ++i) {
        POINT p;
        if (!GetHandlePoint(i, view, &p)) continue;
        Rectangle(hDC, p.x - 3, p.y - 3, p.x + 4, p.y + 4);
        const RECT inside{p.x - 2, p.y - 2, p.x + 3, p.y + 3};
        InvertRect(hDC, &inside);
    }
    POINT c;
    if (GetHandlePoint(8, view, &c)) {
        HPEN white = CreatePen(PS_SOLID, 1, RGB(255, 255, 255));
        SelectObject(hDC, white);
        const int oldRop = SetROP2(hDC, R2_XORPEN);
        MoveToEx(hDC, c.x - 3, c.y - 3, nullptr);
        LineTo(hDC, c.x + 4, c.y + 4);
        MoveToEx(hDC, c.x + 3, c.y - 3, nullptr);
        LineTo(hDC, c.x - 4, c.y + 4);
        SetROP2(hDC, oldRop);
        SelectObject(hDC, frame);
        MoveToEx(hDC, c.x - 3, c.y - 3, nullptr);
        LineTo(hDC, c.x + 4, c.y + 4);
        MoveToEx(hDC, c.x + 3, c.y - 3, nullptr);
        LineTo(hDC, c.x - 4, c.y + 4);
        DeleteObject(white);
    }
    SelectObject(hDC, oldBrush);
    SelectObject(hDC, oldPen);
    DeleteObject(frame);
    return S_OK;
}

void CRectControlBase::InvalidateFeedback(ITarnViewEvents* view) {
    double matrix[9];
    if (FeedbackMatrix(*this, view, state_, dragRecord_, track_.get(), matrix)) InvalidateOutlineFast(view, matrix);
}

STDMETHODIMP CRectControlBase::InvalidateUIShapesInView(ITarnViewEvents* view) {
    if (!view || !IsActiveIn(view)) return S_OK;
    InvalidateFeedback(view);
    if (!DragHasMovedFrame(view)) {
        if (ShowsTransformHandles(view)) {
            for (int i = 0; i < 8; ++i) {
                RECT r;
                if (GetHandleRect(i, view, &r)) view->Invalidate(&r, 0, 0);
            }
        } else {
            for (int i = 0; i <= 8; ++i) {
                POINT p;
                if (!GetHandlePoint(i, view, &p)) continue;
                RECT r{p.x - 3, p.y - 3, p.x + 4, p.y + 4};
                view->Invalidate(&r, 0, 0);
            }
        }
    }
    InvalidateRotationCentre(view);
    return S_OK;
}

void CRectControlBase::InvalidateRotationCentre(ITarnViewEvents* view) {
    if (!IsActiveIn(view) || !ShowsTransformHandles(view)) return;
    // The mark travels with a drag of this view; it is invalidated by that drag.
    if (DragHasMovedFrame(view) && state_ != kStateRotating) return;
    tagPointF centre;
    POINT p;
    get_RotationPoint(&centre);
    if (FAILED(DocToViewPoint(view, centre, p))) return;
    RECT r{p.x - 7, p.y - 7, p.x + 8, p.y + 8};
    view->Invalidate(&r, 0, 0);
}

STDMETHODIMP CRectControlBase::put_Active(ITarnViewEvents* view, LONG newVal) {
    CRectViewData* record = RectViewData(view);
    if (record && record->active != (newVal != 0)) {
        InvalidateUIShapesInView(view);
        record->transformHandles = false;
        InvalidateUIShapesInView(view);
    }
    return CDrawControlBase::put_Active(view, newVal);
}

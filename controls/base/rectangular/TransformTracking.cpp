// Reshaping a rectangular control through its handles: hit tests, the handle-mode toggle of a click,
// resize, rotate, skew and moving the rotation point, each leaving one undo record when committed.
#include <cmath>

#include "RectControlBase.h"
#include "tarn/ControlsModuleState.h"
#include "tarn/UndoCallRecord.h"

namespace {
const double kPi = 3.14159265358979323846;
const double kTwoPi = 2.0 * kPi;
const double kMinExtent = 0.0001;     // a resize keeps the frame at least this far from the fixed side
const double kFlatExtent = 0.00001;   // a start extent below this keeps its factor at 1

POINT PointFromLParam(LPARAM lParam) {
    return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

bool KeyDown(int key) { return GetKeyState(key) < 0; }

// Keeps p at least kMinExtent from fixed, on the side where it lies.
double AwayFrom(double p, double fixed) {
    if (std::fabs(p - fixed) < kMinExtent) return p >= fixed ? fixed + kMinExtent : fixed - kMinExtent;
    return p;
}

double Factor(double p, double moving, double fixed) {
    const double extent = moving - fixed;
    return std::fabs(extent) < kFlatExtent ? 1.0 : (p - fixed) / extent;
}

bool QuadIsFlat(const tagPointF c[4]) {
    const double ax = c[1].x - c[0].x, ay = c[1].y - c[0].y;
    const double bx = c[3].x - c[0].x, by = c[3].y - c[0].y;
    const double area = ax * by - ay * bx;
    return !std::isfinite(area) || std::fabs(area) < 1e-16;
}
}  // namespace

// Hit tests --------------------------------------------------------------------------------------------

bool CRectControlBase::IsNearRotationPoint(const tagPointF& point, ITarnViewEvents* view) {
    if (!IsActiveIn(view) || !ShowsTransformHandles(view)) return false;
    tagPointF centre;
    get_RotationPoint(&centre);
    POINT a, b;
    if (FAILED(DocToViewPoint(view, centre, a)) || FAILED(DocToViewPoint(view, point, b))) return false;
    const double dx = a.x - b.x, dy = a.y - b.y;
    return static_cast<long>(std::sqrt(dx * dx + dy * dy)) <= 7;
}

int CRectControlBase::HitTestHandles(const tagPointF& point, ITarnViewEvents* view) {
    if (!IsActiveIn(view)) return -1;
    POINT p;
    if (FAILED(DocToViewPoint(view, point, p))) return -1;
    if (ShowsTransformHandles(view)) {
        if (IsNearRotationPoint(point, view)) return 8;
        for (int i = 0; i < 8; ++i) {
            RECT r;
            if (GetHandleRect(i, view, &r) && p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom)
                return i;
        }
        return -1;
    }
    for (int i = 0; i <= 8; ++i) {
        POINT h;
        if (GetHandlePoint(i, view, &h) && h.x - 3 <= p.x && p.x <= h.x + 3 && h.y - 3 <= p.y && p.y <= h.y + 3)
            return i;
    }
    return -1;
}

bool CRectControlBase::HitTestUIShapes(const tagPointF& point, double, ITarnViewEvents* view) {
    return HitTestHandles(point, view) >= 0;
}

STDMETHODIMP CRectControlBase::GetCursor(tagPointF point, ITarnViewEvents* view, HICON* cursor) {
    if (!cursor) return E_POINTER;
    if (state_ == kStateIdle && IsActiveIn(view)) {
        const int h = HitTestHandles(point, view);
        if (h >= 0) {
            if (ShowsTransformHandles(view)) {
                const UINT id = h == 8 ? kCursorRotationPoint
                                : h % 2 == 0 ? kCursorRotate
                                : (h == 1 || h == 5) ? kCursorSkewHorizontal
                                                     : kCursorSkewVertical;
                *cursor = LoadCursorA(ControlsResourceInstance(), MAKEINTRESOURCEA(id));
            } else {
                LPCSTR id = h == 8 ? IDC_SIZEALL
                            : (h == 1 || h == 5) ? IDC_SIZENS
                            : (h == 2 || h == 6) ? IDC_SIZENESW
                            : (h == 3 || h == 7) ? IDC_SIZEWE
                                                 : IDC_SIZENWSE;
                *cursor = LoadCursorA(nullptr, id);
            }
            return S_OK;
        }
    }
    return CDrawControlBase::GetCursor(point, view, cursor);
}

// Press, move and release ------------------------------------------------------------------------------------

bool CRectControlBase::OnTrackButtonDown(WPARAM, LPARAM lParam) {
    if (state_ != kStateIdle) return false;
    ITarnViewEvents* view = callingView_;
    const POINT win = PointFromLParam(lParam);
    tagPointF doc;
    if (FAILED(WinToDocPoint(view, win, doc))) return false;
    if (ShowsTransformHandles(view)) {
        if (IsNearRotationPoint(doc, view) && BeginMoveRotationPoint(win.x, win.y, view)) return true;
        const int h = HitTestHandles(doc, view);
        bool started = false;
        if (h >= 0 && h < 8) started = h % 2 == 0 ? BeginRotate(win.x, win.y, view) : BeginSkew(win.x, win.y, view);
        if (started) return true;
        if (ContainsPoint(doc, 0, view) != S_OK) return false;
        BeginDrag(win.x, win.y, view);
        return true;
    }
    const int h = HitTestHandles(doc, view);
    if (h == 8) return BeginDrag(win.x, win.y, view);
    if (h >= 0) return BeginResize(win.x, win.y, view);
    return false;
}

bool CRectControlBase::OnTrackMouseMove(LPARAM lParam) {
    const POINT p = PointFromLParam(lParam);
    switch (state_) {
    case kStateResizing: TrackResize(p.x, p.y); break;
    case kStateRotating: TrackRotate(p.x, p.y); break;
    case kStateMovingRotationPoint: TrackRotationPoint(p.x, p.y); break;
    case kStateSkewing: TrackSkew(p.x, p.y); break;
    default: return false;
    }
    return true;
}

bool CRectControlBase::OnTrackEnd(bool commit, bool cancel) {
    switch (state_) {
    case kStateResizing: EndResize(commit, cancel); break;
    case kStateRotating: EndRotate(commit, cancel); break;
    case kStateMovingRotationPoint: EndMoveRotationPoint(commit, cancel); break;
    case kStateSkewing: EndSkew(commit, cancel); break;
    default: return false;
    }
    return true;
}

// Move and the handle-mode toggle --------------------------------------------------------------------------

bool CRectControlBase::BeginDrag(int x, int y, ITarnViewEvents* view) {
    const bool started = CDrawControlBase::BeginDrag(x, y, view);
    if (started && state_ == kStateMoving) dragHandleMode_ = IsActiveIn(view) ? ShowsTransformHandles(view) : true;
    return started;
}

bool CRectControlBase::EndDrag(bool commit, bool cancel) {
    if (state_ == kStateMoving && dragRecord_ && !cancel && !dragRecord_->moved) {
        // A click: the next handle mode of that view.
        ITarnViewEvents* view = dragRecord_->view;
        InvalidateUIShapesInView(view);
        if (CRectViewData* record = RectViewData(view)) record->transformHandles = !dragHandleMode_;
        InvalidateUIShapesInView(view);
    }
    return CDrawControlBase::EndDrag(commit, cancel);
}

bool CRectControlBase::StartTrack(short state, int x, int y, ITarnViewEvents* view) {
    if (state_ != kStateIdle) return false;
    tagPointF press;
    if (FAILED(WinToDocPoint(view, POINT{x, y}, press))) return false;
    state_ = state;
    track_.reset(new CTransformTrack);
    track_->view = view;
    track_->start = transform_;
    track_->press = press;
    track_->lastPoint = press;
    Corners(track_->startCorners);
    Corners(track_->corners);
    return true;
}

bool CRectControlBase::TrackStep(short state, int x, int y, tagPointF& pointer) {
    if (state_ != state || !track_) return false;
    if (FAILED(WinToDocPoint(track_->view, POINT{x, y}, pointer))) return false;
    if (!track_->moved) {
        InvalidateUIShapesInView(track_->view);
        track_->moved = true;
    }
    return true;
}

// Resize -------------------------------------------------------------------------------------------------

bool CRectControlBase::ResizesLive() { return false; }
bool CRectControlBase::RotatesLive() { return false; }
bool CRectControlBase::SkewsLive() { return false; }

bool CRectControlBase::BeginResize(int x, int y, ITarnViewEvents* view) {
    if (state_ != kStateIdle) return false;
    tagPointF press;
    if (FAILED(WinToDocPoint(view, POINT{x, y}, press))) return false;
    const int h = HitTestHandles(press, view);
    if (h < 0 || h > 7 || !StartTrack(kStateResizing, x, y, view)) return false;
    track_->handle = h;
    // The grab offset makes the tracked point, at the press, the corner or edge of Rect that the
    // handle stands for, wherever inside the handle the press fell.
    tagRectF r;
    get_Rect(&r);
    const tagPointF anchor = HandleAnchor(r, h);
    track_->grabOffset = tagPointF{press.x - anchor.x, press.y - anchor.y};
    return true;
}

bool CRectControlBase::TrackResize(int x, int y) {
    tagPointF pointer;
    if (!TrackStep(kStateResizing, x, y, pointer)) return false;
    CTransformTrack& t = *track_;
    const bool alt = KeyDown(VK_MENU), shift = KeyDown(VK_SHIFT);
    tagRectF r;
    get_Rect(&r);
    tagPointF p{pointer.x - t.grabOffset.x, pointer.y - t.grabOffset.y};
    t.view->SnapPoint(&p, 0);

    const int h = t.handle;
    const bool movesX = h != 1 && h != 5, movesY = h != 3 && h != 7;
    const bool corner = h % 2 == 0;
    const bool leftMoves = h == 0 || h == 6 || h == 7, topMoves = h == 0 || h == 1 || h == 2;
    const tagPointF m{movesX ? (leftMoves ? r.left : r.right) : (r.left + r.right) / 2.0,
                      movesY ? (topMoves ? r.top : r.bottom) : (r.top + r.bottom) / 2.0};
    const tagPointF fixedSide{leftMoves ? r.right : r.left, topMoves ? r.bottom : r.top};
    if (!movesX) p.x = m.x;
    if (!movesY) p.y = m.y;

    tagPointF base = fixedSide;
    if (shift) {
        tagPointF c[4];
        Corners(c);
        base = tagPointF{(c[0].x + c[2].x) / 2.0, (c[0].y + c[2].y) / 2.0};
    }
    if (movesX) p.x = AwayFrom(p.x, base.x);
    if (movesY) p.y = AwayFrom(p.y, base.y);
    double sx = movesX ? Factor(p.x, m.x, base.x) : 1.0;
    double sy = movesY ? Factor(p.y, m.y, base.y) : 1.0;
    if (corner && !alt) {
        const double k = std::fmin(std::fabs(sx), std::fabs(sy));
        sx = std::copysign(k, sx);
        sy = std::copysign(k, sy);
    }
    tagPointF corners[4];
    Corners(corners);
    for (tagPointF& c : corners) {
        c.x = base.x + sx * (c.x - base.x);
        c.y = base.y + sy * (c.y - base.y);
    }
    if (QuadIsFlat(corners)) return true;  // keeps the previous step

    if (!ResizesLive()) {
        InvalidateUIShapesInView(t.view);
        for (int i = 0; i < 4; ++i) t.corners[i] = corners[i];
        InvalidateUIShapesInView(t.view);
        return true;
    }
    ChangeTransform([&] { transform_.SetFromCorners(corners); }, false);
    // Past the fixed side the handle becomes its mirror image, so that it keeps following the pointer.
    static const int kAcross[8] = {2, 1, 0, 7, 6, 5, 4, 3};
    static const int kDown[8] = {6, 5, 4, 3, 2, 1, 0, 7};
    if (movesX && (m.x - fixedSide.x) * (p.x - fixedSide.x) < 0) t.handle = kAcross[t.handle];
    if (movesY && (m.y - fixedSide.y) * (p.y - fixedSide.y) < 0) t.handle = kDown[t.handle];
    return true;
}

bool CRectControlBase::EndResize(bool commit, bool cancel) {
    if (state_ != kStateResizing || !track_) return false;
    const CTransformTrack t = *track_;
    if (t.moved) {
        if (ResizesLive()) {
            if (cancel) {
                SetLinearTransformParams(t.start.XScale, t.start.YScale, tagPointF{t.start.XOffset, t.start.YOffset},
                                         t.start.RotateAngle, t.start.SkewAngle);
            } else if (commit) {
                CUndoCallRecord undo(this, 6);
                undo.AddArg(t.start.XScale);
                undo.AddArg(t.start.YScale);
                undo.AddArg(t.start.XOffset);
                undo.AddArg(t.start.YOffset);
                undo.AddArg(t.start.RotateAngle);
                undo.AddArg(t.start.SkewAngle);
                undo.Fire(L"SetLinearTransformParams_Disp", static_cast<IRectangularControlDispatch*>(this),
                          kCaptionTransform);
            }
        } else if (cancel) {
            InvalidateUIShapesInView(t.view);
        } else {
            CLinearTransform from, to;
            from.SetFromCorners(t.startCorners);
            to.SetFromCorners(t.corners);
            const CAffineMatrix m = CLinearTransform::GetRelativeMatrix(from, to);
            tagRectF r;
            get_Rect(&r);
            tagPointF a, b;
            m.TransformPoint(tagPointF{r.left, r.top}, a);
            m.TransformPoint(tagPointF{r.right, r.bottom}, b);
            state_ = kStateIdle;  // the frame is about to change for good: no outline any more
            if (commit)
                DispatchInterface()->SetRect(a.x, a.y, b.x, b.y);
            else
                put_Rect(tagRectF{a.x, a.y, b.x, b.y});
        }
    }
    state_ = kStateIdle;
    InvalidateUIShapesInView(t.view);
    track_.reset();
    return true;
}

// Rotate -------------------------------------------------------------------------------------------------

bool CRectControlBase::BeginRotate(int x, int y, ITarnViewEvents* view) {
    if (!ShowsTransformHandles(view) || !StartTrack(kStateRotating, x, y, view)) return false;
    get_RotationPoint(&track_->rotationPoint);
    return true;
}

bool CRectControlBase::TrackRotate(int x, int y) {
    tagPointF p;
    if (!TrackStep(kStateRotating, x, y, p)) return false;
    CTransformTrack& t = *track_;
    const tagPointF& r = t.rotationPoint;
    const double angle = std::atan2(p.y - r.y, p.x - r.x) - std::atan2(t.press.y - r.y, t.press.x - r.x);
    if (!RotatesLive()) {
        InvalidateUIShapesInView(t.view);
        t.angle = angle;
        InvalidateUIShapesInView(t.view);
        return true;
    }
    // The start frame turned about the rotation point: only the offset and the angle change.
    ChangeTransform(
        [&] {
            const double c = std::cos(angle), s = std::sin(angle);
            const double dx = t.start.XOffset - r.x, dy = t.start.YOffset - r.y;
            transform_.XOffset = r.x + c * dx - s * dy;
            transform_.YOffset = r.y + c * dy + s * dx;
            double turned = t.start.RotateAngle + angle;
            turned -= kTwoPi * std::floor(turned / kTwoPi);
            transform_.RotateAngle = turned;
        },
        false);
    t.angle = angle;
    return true;
}

bool CRectControlBase::EndRotate(bool commit, bool cancel) {
    if (state_ != kStateRotating || !track_) return false;
    const CTransformTrack t = *track_;
    if (t.moved) {
        if (cancel) {
            if (RotatesLive())
                RotateBy(t.start.RotateAngle - transform_.RotateAngle, t.rotationPoint);
            else
                InvalidateUIShapesInView(t.view);
        } else {
            InvalidateUIShapesInView(t.view);
            double inverse;
            if (RotatesLive()) {
                inverse = t.start.RotateAngle - transform_.RotateAngle;
            } else {
                state_ = kStateIdle;
                RotateBy(t.angle, t.rotationPoint);
                inverse = -t.angle;
            }
            if (commit) {
                CUndoCallRecord undo(this, 3);
                undo.AddArg(inverse);
                undo.AddArg(t.rotationPoint.x);
                undo.AddArg(t.rotationPoint.y);
                undo.Fire(L"RotateBy_Disp", DispatchInterface(), kCaptionRotateFrame);
            }
        }
    }
    state_ = kStateIdle;
    InvalidateUIShapesInView(t.view);
    track_.reset();
    return true;
}

// Rotation point ---------------------------------------------------------------------------------------------

bool CRectControlBase::BeginMoveRotationPoint(int x, int y, ITarnViewEvents* view) {
    if (!StartTrack(kStateMovingRotationPoint, x, y, view)) return false;
    get_RotationPoint(&track_->rotationPoint);
    track_->grabOffset =
        tagPointF{track_->press.x - track_->rotationPoint.x, track_->press.y - track_->rotationPoint.y};
    return true;
}

bool CRectControlBase::TrackRotationPoint(int x, int y) {
    if (state_ != kStateMovingRotationPoint || !track_) return false;
    CTransformTrack& t = *track_;
    tagPointF p;
    if (FAILED(WinToDocPoint(t.view, POINT{x, y}, p))) return false;
    t.moved = true;
    p.x -= t.grabOffset.x;
    p.y -= t.grabOffset.y;
    t.view->SnapPoint(&p, 0);
    for (CControlViewData* record : views_) InvalidateRotationCentre(record->view);
    StoreRotationPoint(p.x, p.y);
    SetModified(true);
    for (CControlViewData* record : views_) InvalidateRotationCentre(record->view);
    return true;
}

bool CRectControlBase::EndMoveRotationPoint(bool commit, bool cancel) {
    if (state_ != kStateMovingRotationPoint || !track_) return false;
    const CTransformTrack t = *track_;
    state_ = kStateIdle;
    track_.reset();
    if (t.moved) {
        if (cancel) {
            put_RotationPoint(t.rotationPoint);
        } else if (commit) {
            CUndoCallRecord undo(this, 2);
            undo.AddArg(t.rotationPoint.x);
            undo.AddArg(t.rotationPoint.y);
            undo.Fire(L"SetRotationPoint", static_cast<IRectangularControlDispatch*>(this), kCaptionRotationPoint);
        }
    }
    return true;
}

// Skew ---------------------------------------------------------------------------------------------------

bool CRectControlBase::BeginSkew(int x, int y, ITarnViewEvents* view) {
    if (!ShowsTransformHandles(view) || !StartTrack(kStateSkewing, x, y, view)) return false;
    CTransformTrack& t = *track_;
    t.handle = HitTestHandles(t.press, view);
    t.alt = KeyDown(VK_MENU);
    t.skew.ref = tagPointF{transform_.XOffset, transform_.YOffset};
    t.previousSkew = t.skew;
    return true;
}

bool CRectControlBase::TrackSkew(int x, int y) {
    tagPointF p;
    if (!TrackStep(kStateSkewing, x, y, p)) return false;
    CTransformTrack& t = *track_;
    const tagRectF b = GetQuadBoundingRect(t.startCorners);
    const double cx = (b.left + b.right) / 2.0, cy = (b.top + b.bottom) / 2.0;
    const double dx = p.x - t.press.x, dy = p.y - t.press.y;
    const bool alt = KeyDown(VK_MENU);
    CTransformTrack::Skew next;
    double tx = 0, ty = 0;
    const int h = t.handle;
    if (alt && (h == 1 || h == 3 || h == 5 || h == 7)) {
        const tagPointF k = h == 1 ? tagPointF{b.left, b.top}
                            : h == 3 ? tagPointF{b.right, b.top}
                            : h == 5 ? tagPointF{b.right, b.bottom}
                                     : tagPointF{b.left, b.bottom};
        const double s1 = k.y - cy < 0 ? -1.0 : 1.0, s2 = k.x - cx < 0 ? -1.0 : 1.0;
        next.kx = dx / std::sqrt((k.y - cy) * (k.y - cy) + dx * dx) * s1;
        next.ky = dy / std::sqrt((k.x - cx) * (k.x - cx) + dy * dy) * s2;
        next.coeff = 1.0 / std::sqrt(1.0 - next.kx * next.ky);
        next.ref = tagPointF{cx, cy};
    } else if (h == 1 || h == 5) {
        next.kx = h == 1 ? dx / (b.top - b.bottom) : dx / (b.bottom - b.top);
        next.ref = tagPointF{cx, h == 1 ? b.bottom : b.top};
        tx = dx / 2.0;
    } else if (h == 3 || h == 7) {
        next.ky = h == 3 ? dy / (b.right - b.left) : dy / (b.left - b.right);
        next.ref = tagPointF{h == 3 ? b.left : b.right, cy};
        ty = dy / 2.0;
    } else {
        return true;
    }
    // A flat box or a skew with kx*ky >= 1 has no frame to show: the previous step stays.
    if (!std::isfinite(next.kx) || !std::isfinite(next.ky) || !std::isfinite(next.coeff) ||
        next.kx * next.ky >= 1.0)
        return true;
    tagPointF corners[4];
    for (int i = 0; i < 4; ++i) corners[i] = t.startCorners[i];
    SkewQuadAboutCentre(corners, next.coeff, next.kx, next.ky, tx, ty);
    if (QuadIsFlat(corners)) return true;
    t.previousSkew = t.skew;
    t.skew = next;
    if (SkewsLive()) {
        ChangeTransform([&] { transform_.SetFromCorners(corners); }, false);
    } else {
        InvalidateUIShapesInView(t.view);
        for (int i = 0; i < 4; ++i) t.corners[i] = corners[i];
        InvalidateUIShapesInView(t.view);
    }
    t.lastPoint = p;
    t.alt = alt;
    return true;
}

bool CRectControlBase::EndSkew(bool commit, bool cancel) {
    if (state_ != kStateSkewing || !track_) return false;
    const CTransformTrack t = *track_;
    if (t.moved) {
        const CTransformTrack::Skew& s = t.skew;
        const double inverseCoeff = 1.0 / (1.0 - s.kx * s.ky) / s.coeff;
        if (cancel) {
            if (SkewsLive())
                SkewBy(inverseCoeff, -s.kx, -s.ky, s.ref);
            else
                InvalidateUIShapesInView(t.view);
        } else if (!SkewsLive()) {
            state_ = kStateIdle;
            if (commit)
                DispatchInterface()->SkewBy_Disp(s.coeff, s.kx, s.ky, s.ref.x, s.ref.y);
            else
                SkewBy(s.coeff, s.kx, s.ky, s.ref);
        } else if (commit) {
            CUndoCallRecord undo(this, 5);
            undo.AddArg(inverseCoeff);
            undo.AddArg(-s.kx);
            undo.AddArg(-s.ky);
            undo.AddArg(s.ref.x);
            undo.AddArg(s.ref.y);
            undo.Fire(L"SkewBy_Disp", DispatchInterface(), kCaptionSkewFrame);
        }
    }
    state_ = kStateIdle;
    InvalidateUIShapesInView(t.view);
    track_.reset();
    return true;
}

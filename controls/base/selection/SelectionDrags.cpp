// The end of a drag of several controls: the selection's drags are never live, so the controls move
// by one list transform when the drag ends, and the record is a list transform of the selected
// controls addressed to a fresh undo selection.
#include "selection/SelectionControl.h"

namespace {
bool Committed(bool commit, bool cancel) { return commit && !cancel; }
}  // namespace

bool CSelectionControl::EndDrag(bool commit, bool cancel) {
    if (!hasList_ || state_ != kStateMoving || !dragRecord_ || !dragRecord_->moved || !Committed(commit, cancel))
        return CRectControlBase::EndDrag(commit, cancel);
    const CDragRecord record = *dragRecord_;
    InvalidateUIShapesInView(record.view);
    const tagSizeF offset{record.lastPoint.x - record.referencePoint.x, record.lastPoint.y - record.referencePoint.y};
    MoveBy(offset);
    const double inverse[] = {-offset.cx, -offset.cy};
    RecordInteractive(L"MoveListBy", inverse, 2, kCaptionMoveList);
    state_ = kStateIdle;
    InvalidateUIShapesInView(record.view);
    delete dragRecord_;
    dragRecord_ = nullptr;
    return true;
}

bool CSelectionControl::EndRotate(bool commit, bool cancel) {
    if (!hasList_ || state_ != kStateRotating || !track_ || !track_->moved || !Committed(commit, cancel))
        return CRectControlBase::EndRotate(commit, cancel);
    const CTransformTrack t = *track_;
    InvalidateUIShapesInView(t.view);
    state_ = kStateIdle;
    RotateBy(t.angle, t.rotationPoint);
    const double inverse[] = {-t.angle, t.rotationPoint.x, t.rotationPoint.y};
    RecordInteractive(L"RotateListBy", inverse, 3, kCaptionRotateList);
    InvalidateUIShapesInView(t.view);
    track_.reset();
    return true;
}

bool CSelectionControl::EndSkew(bool commit, bool cancel) {
    if (!hasList_ || state_ != kStateSkewing || !track_ || !track_->moved || !Committed(commit, cancel))
        return CRectControlBase::EndSkew(commit, cancel);
    const CTransformTrack t = *track_;
    const CTransformTrack::Skew& s = t.skew;
    state_ = kStateIdle;
    if (SUCCEEDED(SkewBy(s.coeff, s.kx, s.ky, s.ref))) {
        const double inverse[] = {1 / ((1 - s.kx * s.ky) * s.coeff), -s.kx, -s.ky, s.ref.x, s.ref.y};
        RecordInteractive(L"SkewListBy", inverse, 5, kCaptionSkewList);
    }
    InvalidateUIShapesInView(t.view);
    track_.reset();
    return true;
}

bool CSelectionControl::EndMoveRotationPoint(bool commit, bool cancel) {
    if (!hasList_ || state_ != kStateMovingRotationPoint || !track_ || !track_->moved || !Committed(commit, cancel))
        return CRectControlBase::EndMoveRotationPoint(commit, cancel);
    const tagPointF old = track_->rotationPoint;
    state_ = kStateIdle;
    track_.reset();
    const double inverse[] = {old.x, old.y};
    RecordInteractive(L"SetListRotationPoint", inverse, 2, kCaptionListRotationPoint);
    return true;
}

bool CSelectionControl::EndResize(bool commit, bool cancel) {
    if (!hasList_ || state_ != kStateResizing || !track_ || !track_->moved || !Committed(commit, cancel))
        return CRectControlBase::EndResize(commit, cancel);
    // The new frame is where the drag's outline ends; the controls are scaled onto it.
    const CTransformTrack t = *track_;
    CLinearTransform from, to;
    from.SetFromCorners(t.startCorners);
    to.SetFromCorners(t.corners);
    state_ = kStateIdle;
    track_.reset();
    if (from.XScale != 0 && from.YScale != 0 && to.XScale != 0 && to.YScale != 0) {
        const double inverse[] = {from.XScale / to.XScale, from.YScale / to.YScale, from.XOffset - to.XOffset,
                                  from.YOffset - to.YOffset, from.RotateAngle - to.RotateAngle};
        ApplyListScale(selected_, to.XScale / from.XScale, to.YScale / from.YScale, to.XOffset - from.XOffset,
                       to.YOffset - from.YOffset, to.RotateAngle - from.RotateAngle);
        StandardFinish();
        RecordInteractive(L"ScaleListBy", inverse, 5, kCaptionScaleList);
    }
    InvalidateUIShapesInView(t.view);
    return true;
}

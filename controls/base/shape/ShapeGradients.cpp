// Gradient geometry of the shape's colour slots in device pixels, the slots' parent angles and
// their bound points, kept in the control's local coordinates so that they follow its placement.
#include <cmath>

#include "ShapeControlBase.h"
#include "render/BezierGeometry.h"

namespace {
const double kPi = 3.14159265358979323846;
const double kDegrees = 180.0 / kPi;

double Wrap360(double x) { return x - 360.0 * std::floor(x / 360.0); }

tagPointF Map(const CAffineMatrix& m, const tagPointF& p) {
    tagPointF out;
    m.TransformPoint(p, out);
    return out;
}
}  // namespace

double CShapeControlBase::ParentAngle() {
    for (CColorPart::Slot& slot : colorPart_->slots) {
        const double g = slot.gradAngle;
        double m = g;
        if (transform_.XScale < 0) m = 180 - m;
        if (transform_.YScale < 0) m = -m;
        slot.parentAngle =
            Wrap360(360 - (transform_.RotateAngle - transform_.SkewAngle) * kDegrees + (m - g));
    }
    return colorPart_->slots[colorPart_->currentSlot].parentAngle;
}

tagPointF CShapeControlBase::GradBound(int index) {
    const CColorPart::Slot& slot = colorPart_->slots[colorPart_->currentSlot];
    CAffineMatrix m;
    transform_.ToMatrix(m);
    return Map(m, slot.bound[index < 0 || index > 2 ? 0 : index]);
}

void CShapeControlBase::SetGradBound(int index, const tagPointF& document) {
    if (index < 0 || index > 2) return;
    CAffineMatrix inverse;
    transform_.ToMatrix(inverse);
    if (inverse.Invert() == 0.0) return;
    CColorPart::Slot& slot = colorPart_->slots[colorPart_->currentSlot];
    slot.bound[index] = Map(inverse, document);
    colorPart_->ForgetGradient(colorPart_->currentSlot);
}

void CShapeControlBase::SetGradBoundIndex(long index) {
    colorPart_->slots[colorPart_->currentSlot].boundIndex = index;
    colorPart_->ForgetGradient(colorPart_->currentSlot);
}

void CShapeControlBase::PrepareGradients(const tagDrawOptions& options) {
    const double k = options.ZoomValue * options.PixelsPerInch;
    if (!(k > 0)) return;
    const POINT o = RequestOrigin(options);
    CAffineMatrix m;
    transform_.ToMatrix(m);
    CColorPart::Slot* slots = colorPart_->slots;
    const double now[6] = {transform_.XScale, transform_.YScale, transform_.RotateAngle, transform_.SkewAngle,
                           slots[0].gradAngle, slots[1].gradAngle};
    bool changed = gradientForce_;
    for (int i = 0; i < 6; ++i) changed = changed || now[i] != gradientCache_[i];
    ParentAngle();
    for (int s = 0; s < 2; ++s) {
        CColorPart::Slot& slot = slots[s];
        if (slot.fillType != CColorPart::FillLinear) continue;
        const bool notComputed = slot.gradStart.x >= kGradientNotComputed;
        if (!changed && !notComputed) {
            // Only the offset moved: the start point moves with it.
            slot.gradStart.x += transform_.XOffset - gradientOffset_.x;
            slot.gradStart.y += transform_.YOffset - gradientOffset_.y;
        } else if (slot.gradParamType != 0) {
            const tagPointF a = Map(m, slot.bound[0]), b = Map(m, slot.bound[1]);
            slot.gradStart = a;
            slot.gradLength = std::hypot(b.x - a.x, b.y - a.y);
            slot.effectiveAngle = std::atan2(b.y - a.y, b.x - a.x) * kDegrees;
        } else {
            // The device path's extent along the gradient's direction.
            const double angle = slot.gradAngle + (slot.bindRotation ? slot.parentAngle : 0.0);
            const double c = std::cos(angle / kDegrees), sn = std::sin(angle / kDegrees);
            double least = 1e20, most = -1e20, leastAcross = 0;
            auto take = [&](const tagPointF& p, double along) {
                if (along < least) {
                    least = along;
                    leastAcross = -p.x * sn + p.y * c;
                }
                if (along > most) most = along;
            };
            for (int i = 0; i < devicePath_.Count(); ++i) {
                const CHeapArrayItem& item = devicePath_[i];
                for (int j = 0; j < item.segmentCount; ++j) {
                    const SegmentDesc& seg = item.segments[j];
                    if (seg.kind == kSegmentEnd) continue;
                    take(seg.pt1, seg.pt1.x * c + seg.pt1.y * sn);
                    if (seg.kind == kSegmentBezier && j + 1 < item.segmentCount) {
                        // The turned curve's extremes along the new x axis.
                        auto turn = [&](const tagPointF& p) { return tagPointF{p.x * c + p.y * sn, -p.x * sn + p.y * c}; };
                        const tagPointF a = turn(seg.pt1), b = turn(seg.pt2), d = turn(seg.pt3),
                                        e = turn(item.segments[j + 1].pt1);
                        double ends[4];
                        GetBezierXExtremes(a.x, a.y, b.x, b.y, d.x, d.y, e.x, e.y, ends);
                        const tagPointF lo{ends[0] * c - ends[1] * sn, ends[0] * sn + ends[1] * c};
                        const tagPointF hi{ends[2] * c - ends[3] * sn, ends[2] * sn + ends[3] * c};
                        take(lo, ends[0]);
                        take(hi, ends[2]);
                    } else if (seg.kind == kSegmentLine) {
                        take(seg.pt2, seg.pt2.x * c + seg.pt2.y * sn);
                    }
                }
            }
            if (least > most) continue;
            // The point of least extent turned back, in document units.
            const tagPointF start{least * c - leastAcross * sn, least * sn + leastAcross * c};
            slot.gradStart = tagPointF{(start.x + o.x) / k, (start.y + o.y) / k};
            slot.gradLength = (most - least) / k;
            slot.effectiveAngle = angle;
        }
    }
    for (int i = 0; i < 6; ++i) gradientCache_[i] = now[i];
    gradientOffset_ = tagPointF{transform_.XOffset, transform_.YOffset};
    gradientForce_ = false;
    for (int s = 0; s < 2; ++s) {
        CColorPart::Slot& slot = slots[s];
        if (slot.fillType == CColorPart::FillLinear) {
            slot.deviceStart = tagPointF{k * slot.gradStart.x - o.x, k * slot.gradStart.y - o.y};
            slot.deviceLength = k * slot.gradLength;
        } else if (slot.fillType == CColorPart::FillRadial) {
            // Centre and frame from the bound points, or the frame's centre moved by the offsets
            // (0.02 of the half frame each, y upwards).
            tagPointF centre{slot.gradCX * 0.02, -slot.gradCY * 0.02};
            if (slot.gradParamType != 0) centre = slot.bound[0];
            const tagPointF c = Map(m, centre);
            // The frame's half axes mapped: the principal axes of the mapped ellipse.
            const double a = m.m[0], b = m.m[1], cc = m.m[3], d = m.m[4];
            const double p = (a * a + b * b + cc * cc + d * d) / 2;
            const double q = std::sqrt(std::fmax(0.0, p * p - (a * d - b * cc) * (a * d - b * cc)));
            slot.radiusX = k * std::sqrt(p + q);
            slot.radiusY = k * std::sqrt(std::fmax(0.0, p - q));
            const double axis = 0.5 * std::atan2(2 * (a * cc + b * d), a * a + b * b - cc * cc - d * d);
            slot.radialAngle = Wrap360(360 - axis * kDegrees);
            // Relative to the request's clip rectangle: (k c - o) - (clip - o).
            slot.deviceCentre = tagPointF{k * c.x - options.UpdateRect.left, k * c.y - options.UpdateRect.top};
        }
    }
}

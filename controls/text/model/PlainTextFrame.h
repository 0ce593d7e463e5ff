#pragma once
// A text frame of scales and offsets alone, without turns or skews, with its loading and preview
// states set directly: for tools and tests, and for texts laid out away from a control.
#include "TextFrame.h"

class PlainTextFrame : public TextFrame {
public:
    PlainTextFrame(double xScale = 1, double yScale = 1) : xScale_(xScale), yScale_(yScale) {}
    double XScale() const override { return xScale_; }
    double YScale() const override { return yScale_; }
    double XOffset() const override { return xOffset_; }
    double YOffset() const override { return yOffset_; }
    void SetScales(double x, double y) override { xScale_ = x; yScale_ = y; }
    void SetOffsets(double x, double y) override { xOffset_ = x; yOffset_ = y; }
    tagPointF MapUnitPoint(tagPointF p) const override { return {p.x * xScale_ + xOffset_, p.y * yScale_ + yOffset_}; }
    bool IsPreview() const override { return preview; }
    bool IsLoading() const override { return loading; }

    bool preview = false;
    bool loading = false;

private:
    double xScale_, yScale_, xOffset_ = 0, yOffset_ = 0;
};

#pragma once
// A drawing control that carries the text layer, for tests until the text control exists: the
// base's test control with its rectangle as the text's frame, and the text's records saved after
// the rectangle's and loaded after them.
#include <memory>

#include "ControlFixtures.h"
#include "layout/TextLayout.h"
#include "model/TextFrame.h"
#include "model/TextModel.h"

class CTextTestControl : public CTestDrawControl, public TextFrame {
public:
    CTextTestControl();

    HRESULT SaveProperties(IStream* stream) override;
    HRESULT LoadProperties(CTarnPropertyBag& bag) override;

    // The frame: the control's rectangle.
    double XScale() const override { return (rect.right - rect.left) / 2; }
    double YScale() const override { return (rect.bottom - rect.top) / 2; }
    double XOffset() const override { return (rect.left + rect.right) / 2; }
    double YOffset() const override { return (rect.top + rect.bottom) / 2; }
    void SetScales(double x, double y) override;
    void SetOffsets(double x, double y) override;
    tagPointF MapUnitPoint(tagPointF p) const override;
    bool IsPreview() const override { return false; }
    bool IsLoading() const override { return loading_; }

    CTextModel model;
    CTextLayout layout;

private:
    bool loading_ = false;
};

typedef CComObject<CTextTestControl> TextTestControlObject;
TextTestControlObject* NewTextTestControl();

#include "TextTestControl.h"

#include "fonts/GlyphCache.h"
#include "model/PropertyBagRecords.h"

CTextTestControl::CTextTestControl() : model(this), layout(model, *this, GlyphCache::Shared()) {
    rect = tagRectF{0, 0, 4, 2};
}

void CTextTestControl::SetScales(double x, double y) {
    const double cx = XOffset(), cy = YOffset();
    rect = tagRectF{cx - x, cy - y, cx + x, cy + y};
}

void CTextTestControl::SetOffsets(double x, double y) {
    const double sx = XScale(), sy = YScale();
    rect = tagRectF{x - sx, y - sy, x + sx, y + sy};
}

tagPointF CTextTestControl::MapUnitPoint(tagPointF p) const {
    return {XOffset() + p.x * XScale(), YOffset() + p.y * YScale()};
}

HRESULT CTextTestControl::SaveProperties(IStream* stream) {
    HRESULT hr = CTestDrawControl::SaveProperties(stream);
    StreamRecordSink sink(stream);
    if (SUCCEEDED(hr)) hr = model.Save(sink);
    return hr;
}

HRESULT CTextTestControl::LoadProperties(CTarnPropertyBag& bag) {
    loading_ = true;
    // The text reads its records before the base gathers the unknown ones.
    PropertyBagRecordSource source(bag);
    bag.LoadPropVar(nullptr, 0x40020001, rect);
    HRESULT hr = model.Load(source);
    if (SUCCEEDED(hr)) layout.ConvertEarlierFormat(source);
    if (SUCCEEDED(hr)) hr = CTestDrawControl::LoadProperties(bag);
    loading_ = false;
    return hr;
}

TextTestControlObject* NewTextTestControl() {
    TextTestControlObject* object = nullptr;
    if (FAILED(TextTestControlObject::CreateInstance(&object))) return nullptr;
    object->AddRef();
    return object;
}

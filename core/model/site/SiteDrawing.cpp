#include <vector>

#include "BackgroundParams.h"
#include "DrawOptions.h"
#include "NumericHelpers.h"
#include "TarnBackground.h"
#include "TarnSite.h"

namespace {
// A document rectangle in the pixels of the request.
RECT ToPixels(const CRectF& r, const CDrawOptions& options)
{
    const double k = options.ZoomValue * options.PixelsPerInch;
    return RECT{__round(r.left * k), __round(r.top * k), __round(r.right * k), __round(r.bottom * k)};
}

void DrawMissingControl(HDC dc, IBaseControl* control, const CDrawOptions& options)
{
    tagRectF bounds = {};
    if (FAILED(control->get_BoundingRect(&bounds))) return;
    const RECT box = ToPixels(CRectF(bounds), options);
    HPEN pen = ::CreatePen(PS_DOT, 1, RGB(128, 128, 128));
    HGDIOBJ oldPen = ::SelectObject(dc, pen);
    HGDIOBJ oldBrush = ::SelectObject(dc, ::GetStockObject(NULL_BRUSH));
    const int oldMode = ::SetBkMode(dc, TRANSPARENT);
    ::Rectangle(dc, box.left, box.top, box.right, box.bottom);
    ::SetBkMode(dc, oldMode);
    ::SelectObject(dc, oldBrush);
    ::SelectObject(dc, oldPen);
    ::DeleteObject(pen);
}
}  // namespace

void CTarnSite::OnDraw(HDC dc, CDrawOptions* options)
{
    if (!dc || !options) return;
    if (m_background) {
        CBackgroundParams* params = m_background->GetParams();
        // The sheet's own fill draws it; without one (or when it fails) the stored colour does.
        const bool filled = params && params->m_fillControl && SUCCEEDED(params->m_fillControl->Draw(options));
        if (params && !filled) {
            const COLORREF colour = params->m_useWindowColor ? ::GetSysColor(COLOR_WINDOW)
                                                              : static_cast<COLORREF>(params->m_color);
            const RECT sheet = ToPixels(GetTotalArea(0, 0, 0), *options);
            HBRUSH brush = ::CreateSolidBrush(colour);
            ::FillRect(dc, &sheet, brush);
            ::DeleteObject(brush);
        }
    }
    // The controls are drawn from a snapshot: a control may change the list while it draws.
    std::vector<IBaseControl*> snapshot;
    snapshot.reserve(static_cast<size_t>(GetControlCount()));
    for (int i = 0; i < GetControlCount(); ++i) {
        if (IBaseControl* control = GetControlAt(i)) {
            control->AddRef();
            snapshot.push_back(control);
        }
    }
    for (IBaseControl* control : snapshot) {
        HRESULT hr = E_FAIL;
        try {
            hr = control->Draw(options);
        } catch (...) {
            hr = E_UNEXPECTED;
        }
        if (FAILED(hr)) DrawMissingControl(dc, control, *options);
        control->Release();
    }
}

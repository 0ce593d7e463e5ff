#include "TarnBackground.h"

#include "ClArchive.h"
#include "TarnControls.h"

IMPLEMENT_SERIAL(CTarnBackground, CCmdTarget, VERSIONABLE_SCHEMA | 1)

namespace {
constexpr double kCentreLineReach = 200.0;
}

IBaseControl* CreateInitialisedControl(REFCLSID clsid, HRESULT* result)
{
    IBaseControl* control = nullptr;
    HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseControl,
                                  reinterpret_cast<void**>(&control));
    if (SUCCEEDED(hr)) {
        // A control that is not initialised as new has no defaults to store and draws nothing.
        IPersistStreamInit* init = nullptr;
        if (SUCCEEDED(control->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&init)))) {
            init->InitNew();
            init->Release();
        }
        control->put_Visible(1);
    } else {
        control = nullptr;
    }
    if (result)
        *result = hr;
    return control;
}

CTarnBackground::CTarnBackground() { EnableAutomation(); }

CTarnBackground::~CTarnBackground()
{
    delete m_params;
    m_tileCache.Clear();
}

void CTarnBackground::EnsureParams()
{
    if (!m_params)
        m_params = CreateBackgroundParams();
}

CBackgroundParams* CTarnBackground::CreateBackgroundParams() { return new CBackgroundParams; }

void CTarnBackground::InitNew() { EnsureParams(); }

void CTarnBackground::Serialize(CArchive& ar)
{
    EnsureParams();
    m_params->Serialize(ar);
    if (ar.IsLoading()) {
        InvalidateCache();
        if (!m_params->m_fillControl || !m_params->m_imageControl) {
            const COLORREF stored = static_cast<COLORREF>(m_params->m_color);
            InitializeBkParams();
            SetSolidFillColor(stored);
        }
    }
}

HRESULT CTarnBackground::InitializeBkParams()
{
    EnsureParams();
    HRESULT fillResult = S_OK, imageResult = S_OK;
    m_params->SetFillControl(CreateInitialisedControl(CLSID_FigureControl, &fillResult));
    m_params->TuneFillControl();
    m_params->SetImageControl(CreateInitialisedControl(CLSID_ImageControl, &imageResult));
    InvalidateCache();
    return FAILED(fillResult) ? fillResult : imageResult;
}

RECT CTarnBackground::GetExtraDrawArea() { return RECT{-1, -1, 1, 1}; }

CRectF CTarnBackground::GetBoundingRect(int withMargins)
{
    EnsureParams();
    CRectF r = m_params->m_rect;
    if (withMargins)
        r.InflateRect(m_params->m_margins);
    return r;
}

CPointF CTarnBackground::GetCenterPos(int withMargins) { return GetBoundingRect(withMargins).CenterPoint(); }

void CTarnBackground::SetMaster(CTarnSite* site, int kind)
{
    EnsureParams();
    m_master = site;
    m_params->m_masterKind = kind;
}

void CTarnBackground::ProcessPageSetupData(double pageWidth, double pageHeight, const CRectF& margins)
{
    EnsureParams();
    m_params->m_margins = margins;
    m_params->m_rect = CRectF(0, 0, pageWidth - margins.left - margins.right, pageHeight - margins.top - margins.bottom);
    InvalidateCache();
}

int CTarnBackground::GetContourLines(SegmentDesc*& out, int withCentreLines)
{
    EnsureParams();
    const int count = withCentreLines ? 9 : 5;
    out = new SegmentDesc[count]();
    tagRectF rect = m_params->m_rect;
    Rect2Bezier(rect, out, true);
    if (withCentreLines) {
        const double w = m_params->m_rect.Width(), h = m_params->m_rect.Height();
        out[5].kind = kSegmentLine;
        out[5].pt1 = tagPointF{-kCentreLineReach, h / 2};
        out[5].pt2 = tagPointF{kCentreLineReach, h / 2};
        out[5].pt3 = out[5].pt2;
        out[6].kind = kSegmentEnd;
        out[7].kind = kSegmentLine;
        out[7].pt1 = tagPointF{w / 2, -kCentreLineReach};
        out[7].pt2 = tagPointF{w / 2, kCentreLineReach};
        out[7].pt3 = out[7].pt2;
        out[8].kind = kSegmentEnd;
    }
    return count;
}

COLORREF CTarnBackground::SetSolidFillColor(COLORREF color)
{
    EnsureParams();
    const COLORREF previous = static_cast<COLORREF>(m_params->m_color);
    m_params->m_color = static_cast<int>(color);
    InvalidateCache();
    return previous;
}

void CTarnBackground::InvalidateCache() { m_tileCache.Clear(); }

void CTarnBackground::Duplicate(const CTarnBackground& other)
{
    if (&other == this)
        return;
    EnsureParams();
    if (other.m_params)
        m_params->Duplicate(other.m_params);
    InvalidateCache();
}

void CTarnBackground::SetColor(long color, BOOL useWindowColor)
{
    EnsureParams();
    m_params->m_useWindowColor = useWindowColor ? 1 : 0;
    SetSolidFillColor(static_cast<COLORREF>(color));
}

void CTarnBackground::SetImageLayout(long type, double width, double height, BOOL keepAspectRatio)
{
    EnsureParams();
    m_params->m_imageType = (type >= kImageNone && type <= kImageStretched) ? static_cast<int>(type) : kImageNone;
    m_params->m_imageWidth = width;
    m_params->m_imageHeight = height;
    m_params->m_keepAspectRatio = keepAspectRatio ? 1 : 0;
    InvalidateCache();
}

void CTarnBackground::SetPrintBackground(BOOL on)
{
    EnsureParams();
    m_params->m_printBackground = on ? 1 : 0;
}

void CTarnBackground::SetPrintOutline(BOOL on)
{
    EnsureParams();
    m_params->m_printOutline = on ? 1 : 0;
}

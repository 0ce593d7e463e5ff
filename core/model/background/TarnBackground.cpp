#include "TarnBackground.h"

#include <algorithm>
#include <vector>

#include "ClArchive.h"
#include "OptionsManager.h"
#include "TarnControls.h"
#include "TarnSite.h"
#include "TarnStrings.h"
#include "UndoData.h"

IMPLEMENT_SERIAL(CTarnBackground, CCmdTarget, VERSIONABLE_SCHEMA | 1)

BEGIN_DISPATCH_MAP(CTarnBackground, CCmdTarget)
    DISP_FUNCTION(CTarnBackground, "SetColor", SetColor, VT_EMPTY, VTS_I4 VTS_BOOL)
    DISP_FUNCTION(CTarnBackground, "SetImageLayout", SetImageLayout, VT_EMPTY, VTS_I4 VTS_R8 VTS_R8 VTS_BOOL)
    DISP_FUNCTION(CTarnBackground, "SetPrintBackground", SetPrintBackground, VT_EMPTY, VTS_BOOL)
    DISP_FUNCTION(CTarnBackground, "SetPrintOutline", SetPrintOutline, VT_EMPTY, VTS_BOOL)
END_DISPATCH_MAP()

namespace {
constexpr double kCentreLineReach = 200.0;
constexpr unsigned kUndoColor = 12076;
constexpr unsigned kUndoPrintBackground = 12205;
constexpr unsigned kUndoImageLayout = 12206;
constexpr unsigned kUndoPrintOutline = 12210;

VARIANT Long(long value)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = value;
    return v;
}

VARIANT Bool(int value)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BOOL;
    v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return v;
}

VARIANT Double(double value)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_R8;
    v.dblVal = value;
    return v;
}
}  // namespace

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

void CTarnBackground::InitNew()
{
    EnsureParams();
    if (COptionsManager* options = GetOptionsManager())
        m_params->m_printBackground = options->m_bPrintBackground ? TRUE : FALSE;
}

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

void CTarnBackground::RecordUndo(unsigned captionId, const wchar_t* method, std::initializer_list<VARIANT> arguments)
{
    if (!m_master)
        return;
    // Dispatch arguments go last first.
    std::vector<VARIANT> reversed(arguments.begin(), arguments.end());
    std::reverse(reversed.begin(), reversed.end());
    DISPPARAMS params = {reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    const CString caption = TarnString(captionId);
    m_master->AddUndoItem(new CUndoData(caption, method, &params, GetIDispatch(FALSE), 0, 0, UDT_Plain));
}

void CTarnBackground::SetColor(long color, BOOL useWindowColor)
{
    EnsureParams();
    RecordUndo(kUndoColor, L"SetColor", {Long(m_params->m_color), Bool(m_params->m_useWindowColor)});
    m_params->m_useWindowColor = useWindowColor ? 1 : 0;
    SetSolidFillColor(static_cast<COLORREF>(color));
}

void CTarnBackground::SetImageLayout(long type, double width, double height, BOOL keepAspectRatio)
{
    EnsureParams();
    RecordUndo(kUndoImageLayout, L"SetImageLayout",
               {Long(m_params->m_imageType), Double(m_params->m_imageWidth), Double(m_params->m_imageHeight),
                Bool(m_params->m_keepAspectRatio)});
    m_params->m_imageType = (type >= kImageNone && type <= kImageStretched) ? static_cast<int>(type) : kImageNone;
    m_params->m_imageWidth = width;
    m_params->m_imageHeight = height;
    m_params->m_keepAspectRatio = keepAspectRatio ? 1 : 0;
    InvalidateCache();
}

void CTarnBackground::SetPrintBackground(BOOL on)
{
    EnsureParams();
    const int value = on ? 1 : 0;
    if (value == m_params->m_printBackground)
        return;
    RecordUndo(kUndoPrintBackground, L"SetPrintBackground", {Bool(m_params->m_printBackground)});
    m_params->m_printBackground = value;
}

void CTarnBackground::SetPrintOutline(BOOL on)
{
    EnsureParams();
    const int value = on ? 1 : 0;
    if (value == m_params->m_printOutline)
        return;
    RecordUndo(kUndoPrintOutline, L"SetPrintOutline", {Bool(m_params->m_printOutline)});
    m_params->m_printOutline = value;
}

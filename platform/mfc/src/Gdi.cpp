#include "ClDC.h"
#include "ClException.h"
#include "ClModule.h"

#include <cstdlib>
#include <cstring>
#include <unordered_map>

IMPLEMENT_DYNCREATE(CGdiObject, CObject)
IMPLEMENT_DYNAMIC(CPen, CGdiObject)
IMPLEMENT_DYNAMIC(CBrush, CGdiObject)
IMPLEMENT_DYNAMIC(CFont, CGdiObject)
IMPLEMENT_DYNAMIC(CBitmap, CGdiObject)
IMPLEMENT_DYNAMIC(CRgn, CGdiObject)
IMPLEMENT_DYNAMIC(CPalette, CGdiObject)
IMPLEMENT_DYNCREATE(CDC, CObject)

namespace {
// The temporary wrapper of a GDI handle has the class of the handle's kind.
struct AfxTemporaryWrappers {
    static CGdiObject* Make(HGDIOBJ h)
    {
        CGdiObject* wrapper;
        switch (::GetObjectType(h)) {
        case OBJ_PEN: case OBJ_EXTPEN: wrapper = new CPen; break;
        case OBJ_BRUSH: wrapper = new CBrush; break;
        case OBJ_FONT: wrapper = new CFont; break;
        case OBJ_BITMAP: wrapper = new CBitmap; break;
        case OBJ_REGION: wrapper = new CRgn; break;
        case OBJ_PAL: wrapper = new CPalette; break;
        default: wrapper = new CGdiObject; break;
        }
        wrapper->m_hObject = h;
        return wrapper;
    }
};

// A temporary wrapper lets its handle go before it is deleted.
struct GdiTemporary {
    static void ForgetTemporary(CGdiObject* p) { p->m_hObject = nullptr; delete p; }
};
struct DCTemporary {
    static void ForgetTemporary(CDC* p) { p->m_hDC = p->m_hAttribDC = nullptr; delete p; }
};

// Wrappers of one thread: objects attached to handles, and temporaries made by FromHandle.
template <class Wrapper, class Forget>
struct Map {
    std::unordered_map<void*, Wrapper*> permanent;
    std::unordered_map<void*, Wrapper*> temporary;
    void DeleteTemporaries()
    {
        auto doomed = std::move(temporary);
        temporary.clear();
        for (auto& entry : doomed)
            Forget::ForgetTemporary(entry.second);
    }
    ~Map() { DeleteTemporaries(); }
};

thread_local Map<CGdiObject, GdiTemporary> t_gdiObjects;
thread_local Map<CDC, DCTemporary> t_dcs;
}

// ---------------------------------------------------------------------------------------------

CGdiObject::CGdiObject() : m_hObject(nullptr) {}
CGdiObject::~CGdiObject() { DeleteObject(); }

HGDIOBJ CGdiObject::GetSafeHandle() const { return this ? m_hObject : nullptr; }

CGdiObject* PASCAL CGdiObject::FromHandle(HGDIOBJ hObject)
{
    if (!hObject)
        return nullptr;
    auto& map = t_gdiObjects;
    auto found = map.permanent.find(hObject);
    if (found != map.permanent.end())
        return found->second;
    found = map.temporary.find(hObject);
    if (found != map.temporary.end())
        return found->second;
    CGdiObject* wrapper = AfxTemporaryWrappers::Make(hObject);
    map.temporary.emplace(hObject, wrapper);
    return wrapper;
}

void PASCAL CGdiObject::DeleteTempMap() { t_gdiObjects.DeleteTemporaries(); }

BOOL CGdiObject::Attach(HGDIOBJ hObject)
{
    if (!hObject)
        return FALSE;
    // A wrapper made again keeps no stale handle behind.
    DeleteObject();
    m_hObject = hObject;
    t_gdiObjects.permanent[hObject] = this;
    return TRUE;
}

HGDIOBJ CGdiObject::Detach()
{
    HGDIOBJ h = m_hObject;
    if (h) {
        auto found = t_gdiObjects.permanent.find(h);
        if (found != t_gdiObjects.permanent.end() && found->second == this)
            t_gdiObjects.permanent.erase(found);
    }
    m_hObject = nullptr;
    return h;
}

BOOL CGdiObject::DeleteObject()
{
    if (!m_hObject)
        return FALSE;
    return ::DeleteObject(Detach());
}

CPen::CPen(int nPenStyle, int nWidth, COLORREF crColor)
{
    if (!CreatePen(nPenStyle, nWidth, crColor))
        AfxThrowResourceException();
}

CBrush::CBrush(COLORREF crColor)
{
    if (!CreateSolidBrush(crColor))
        AfxThrowResourceException();
}

CBrush::CBrush(int nIndex, COLORREF crColor)
{
    if (!CreateHatchBrush(nIndex, crColor))
        AfxThrowResourceException();
}

BOOL CFont::CreatePointFont(int nPointSize, LPCSTR lpszFaceName, CDC* pDC)
{
    LOGFONTA logFont = {};
    logFont.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(logFont.lfFaceName, lpszFaceName ? lpszFaceName : "", LF_FACESIZE);
    HDC hDC = pDC ? pDC->m_hAttribDC : ::GetDC(nullptr);
    POINT height = {0, ::GetDeviceCaps(hDC, LOGPIXELSY) * nPointSize / 720};
    POINT origin = {0, 0};
    ::DPtoLP(hDC, &height, 1);
    ::DPtoLP(hDC, &origin, 1);
    logFont.lfHeight = -std::abs(height.y - origin.y);
    if (!pDC)
        ::ReleaseDC(nullptr, hDC);
    return CreateFontIndirect(&logFont);
}

BOOL CBitmap::LoadBitmap(LPCSTR lpszResourceName)
{
    HINSTANCE module = AfxFindResourceHandle(lpszResourceName, MAKEINTRESOURCEA(2) /* RT_BITMAP */);
    return Attach(::LoadBitmapA(module, lpszResourceName));
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight)
{
    return Attach(::CreateCompatibleBitmap(pDC ? pDC->m_hDC : nullptr, nWidth, nHeight));
}

BOOL CRgn::CreateFromPath(CDC* pDC) { return pDC && Attach(::PathToRegion(pDC->m_hDC)); }

BOOL CPalette::CreateHalftonePalette(CDC* pDC) { return pDC && Attach(::CreateHalftonePalette(pDC->m_hDC)); }

// ---------------------------------------------------------------------------------------------

CDC::CDC() : m_hDC(nullptr), m_hAttribDC(nullptr), m_bPrinting(FALSE) {}

CDC::~CDC()
{
    if (m_hDC)
        DeleteDC();
}

HDC CDC::GetSafeHdc() const { return this ? m_hDC : nullptr; }

CDC* PASCAL CDC::FromHandle(HDC hDC)
{
    if (!hDC)
        return nullptr;
    auto& map = t_dcs;
    auto found = map.permanent.find(hDC);
    if (found != map.permanent.end())
        return found->second;
    found = map.temporary.find(hDC);
    if (found != map.temporary.end())
        return found->second;
    CDC* wrapper = new CDC;
    wrapper->m_hDC = wrapper->m_hAttribDC = hDC;
    map.temporary.emplace(hDC, wrapper);
    return wrapper;
}

void PASCAL CDC::DeleteTempMap() { t_dcs.DeleteTemporaries(); }

BOOL CDC::Attach(HDC hDC)
{
    if (!hDC)
        return FALSE;
    if (m_hDC)
        DeleteDC();
    m_hDC = m_hAttribDC = hDC;
    t_dcs.permanent[hDC] = this;
    return TRUE;
}

HDC CDC::Detach()
{
    HDC h = m_hDC;
    if (h) {
        auto found = t_dcs.permanent.find(h);
        if (found != t_dcs.permanent.end() && found->second == this)
            t_dcs.permanent.erase(found);
    }
    m_hDC = m_hAttribDC = nullptr;
    return h;
}

BOOL CDC::DeleteDC()
{
    if (!m_hDC)
        return FALSE;
    return ::DeleteDC(Detach());
}

CGdiObject* CDC::SelectGdiObject(CGdiObject* pObject)
{
    if (!pObject || !pObject->m_hObject)
        return nullptr;
    return CGdiObject::FromHandle(::SelectObject(m_hDC, pObject->m_hObject));
}

void CDC::FillSolidRect(LPCRECT lpRect, COLORREF clr)
{
    const COLORREF old = ::SetBkColor(m_hDC, clr);
    ::ExtTextOutA(m_hDC, 0, 0, ETO_OPAQUE, lpRect, nullptr, 0, nullptr);
    ::SetBkColor(m_hDC, old);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF clr)
{
    const RECT rect = {x, y, x + cx, y + cy};
    FillSolidRect(&rect, clr);
}

void CDC::Draw3dRect(LPCRECT lpRect, COLORREF clrTopLeft, COLORREF clrBottomRight)
{
    Draw3dRect(lpRect->left, lpRect->top, lpRect->right - lpRect->left, lpRect->bottom - lpRect->top, clrTopLeft,
               clrBottomRight);
}

void CDC::Draw3dRect(int x, int y, int cx, int cy, COLORREF clrTopLeft, COLORREF clrBottomRight)
{
    FillSolidRect(x, y, cx - 1, 1, clrTopLeft);
    FillSolidRect(x, y, 1, cy - 1, clrTopLeft);
    FillSolidRect(x + cx - 1, y, 1, cy, clrBottomRight);
    FillSolidRect(x, y + cy - 1, cx, 1, clrBottomRight);
}

int CDC::StartDoc(LPCSTR lpszDocName)
{
    DOCINFOA info = {};
    info.cbSize = sizeof info;
    info.lpszDocName = lpszDocName;
    return StartDoc(&info);
}

#pragma once
// GDI object wrappers: pens, brushes, fonts, bitmaps, regions and palettes. Each owns its handle
// (deleted with the object) unless it was only looked up with FromHandle, which gives a
// temporary wrapper that never deletes the handle.
#include "ClGeometry.h"
#include "ClObject.h"

class CDC;

class CLASSLIB_API CGdiObject : public CObject
{
    DECLARE_DYNCREATE(CGdiObject)
public:
    CGdiObject();
    ~CGdiObject() override;

    HGDIOBJ m_hObject;
    operator HGDIOBJ() const { return m_hObject; }
    // Also answers null when called through a null pointer (kept out of line for that).
    HGDIOBJ GetSafeHandle() const;

    // The wrapper of a handle: the object it is attached to, or a temporary one of the
    // handle's kind (CPen, CBrush, ...) kept until DeleteTempMap. Null for a null handle.
    static CGdiObject* PASCAL FromHandle(HGDIOBJ hObject);
    // Frees this thread's temporary wrappers (their handles stay).
    static void PASCAL DeleteTempMap();

    BOOL Attach(HGDIOBJ hObject);
    HGDIOBJ Detach();
    BOOL DeleteObject();

    int GetObject(int nCount, LPVOID lpObject) const { return ::GetObjectA(m_hObject, nCount, lpObject); }
    UINT GetObjectType() const { return static_cast<UINT>(::GetObjectType(m_hObject)); }
    BOOL CreateStockObject(int nIndex) { return Attach(::GetStockObject(nIndex)); }
    BOOL UnrealizeObject() { return ::UnrealizeObject(m_hObject); }
    BOOL operator==(const CGdiObject& obj) const { return obj.m_hObject == m_hObject; }
    BOOL operator!=(const CGdiObject& obj) const { return obj.m_hObject != m_hObject; }
};

// The handle of a possibly null wrapper.
inline HGDIOBJ AfxGdiHandle(const CGdiObject* pObject) { return pObject ? pObject->m_hObject : nullptr; }

class CLASSLIB_API CPen : public CGdiObject
{
    DECLARE_DYNAMIC(CPen)
public:
    CPen() = default;
    // Throws CResourceException when the pen cannot be made.
    CPen(int nPenStyle, int nWidth, COLORREF crColor);
    static CPen* PASCAL FromHandle(HPEN hPen) { return static_cast<CPen*>(CGdiObject::FromHandle(hPen)); }
    operator HPEN() const { return static_cast<HPEN>(m_hObject); }

    BOOL CreatePen(int nPenStyle, int nWidth, COLORREF crColor) { return Attach(::CreatePen(nPenStyle, nWidth, crColor)); }
    BOOL CreatePen(int nPenStyle, int nWidth, const LOGBRUSH* pLogBrush, int nStyleCount = 0, const DWORD* lpStyle = nullptr)
    {
        return Attach(::ExtCreatePen(static_cast<DWORD>(nPenStyle), static_cast<DWORD>(nWidth), pLogBrush,
                                     static_cast<DWORD>(nStyleCount), lpStyle));
    }
    BOOL CreatePenIndirect(LPLOGPEN lpLogPen) { return Attach(::CreatePenIndirect(lpLogPen)); }
    int GetLogPen(LOGPEN* pLogPen) { return GetObject(sizeof(LOGPEN), pLogPen); }
};

class CLASSLIB_API CBrush : public CGdiObject
{
    DECLARE_DYNAMIC(CBrush)
public:
    CBrush() = default;
    // Throw CResourceException when the brush cannot be made.
    explicit CBrush(COLORREF crColor);
    CBrush(int nIndex, COLORREF crColor);
    static CBrush* PASCAL FromHandle(HBRUSH hBrush) { return static_cast<CBrush*>(CGdiObject::FromHandle(hBrush)); }
    operator HBRUSH() const { return static_cast<HBRUSH>(m_hObject); }

    BOOL CreateSolidBrush(COLORREF crColor) { return Attach(::CreateSolidBrush(crColor)); }
    BOOL CreateHatchBrush(int nIndex, COLORREF crColor) { return Attach(::CreateHatchBrush(nIndex, crColor)); }
    BOOL CreateBrushIndirect(const LOGBRUSH* lpLogBrush) { return Attach(::CreateBrushIndirect(lpLogBrush)); }
    BOOL CreatePatternBrush(CGdiObject* pBitmap) { return Attach(::CreatePatternBrush(static_cast<HBITMAP>(AfxGdiHandle(pBitmap)))); }
    BOOL CreateSysColorBrush(int nIndex) { return Attach(::GetSysColorBrush(nIndex)); }
    int GetLogBrush(LOGBRUSH* pLogBrush) { return GetObject(sizeof(LOGBRUSH), pLogBrush); }
};

class CLASSLIB_API CFont : public CGdiObject
{
    DECLARE_DYNAMIC(CFont)
public:
    static CFont* PASCAL FromHandle(HFONT hFont) { return static_cast<CFont*>(CGdiObject::FromHandle(hFont)); }
    operator HFONT() const { return static_cast<HFONT>(m_hObject); }

    BOOL CreateFontIndirect(const LOGFONTA* lpLogFont) { return Attach(::CreateFontIndirectA(lpLogFont)); }
    BOOL CreateFont(int nHeight, int nWidth, int nEscapement, int nOrientation, int nWeight, BYTE bItalic,
                    BYTE bUnderline, BYTE cStrikeOut, BYTE nCharSet, BYTE nOutPrecision, BYTE nClipPrecision,
                    BYTE nQuality, BYTE nPitchAndFamily, LPCSTR lpszFacename)
    {
        return Attach(::CreateFontA(nHeight, nWidth, nEscapement, nOrientation, nWeight, bItalic, bUnderline, cStrikeOut,
                                    nCharSet, nOutPrecision, nClipPrecision, nQuality, nPitchAndFamily, lpszFacename));
    }
    // Height in tenths of a point, converted for the screen (or pDC).
    BOOL CreatePointFont(int nPointSize, LPCSTR lpszFaceName, CDC* pDC = nullptr);
    int GetLogFont(LOGFONTA* pLogFont) { return GetObject(sizeof(LOGFONTA), pLogFont); }
};

class CLASSLIB_API CBitmap : public CGdiObject
{
    DECLARE_DYNAMIC(CBitmap)
public:
    static CBitmap* PASCAL FromHandle(HBITMAP hBitmap) { return static_cast<CBitmap*>(CGdiObject::FromHandle(hBitmap)); }
    operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }

    // From the resource chain.
    BOOL LoadBitmap(LPCSTR lpszResourceName);
    BOOL LoadBitmap(UINT nIDResource) { return LoadBitmap(MAKEINTRESOURCEA(nIDResource)); }
    BOOL LoadOEMBitmap(UINT nIDBitmap) { return Attach(::LoadBitmapA(nullptr, MAKEINTRESOURCEA(nIDBitmap))); }
    BOOL CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitcount, const void* lpBits)
    {
        return Attach(::CreateBitmap(nWidth, nHeight, nPlanes, nBitcount, lpBits));
    }
    BOOL CreateBitmapIndirect(LPBITMAP lpBitmap) { return Attach(::CreateBitmapIndirect(lpBitmap)); }
    BOOL CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight);
    BOOL CreateDiscardableBitmap(CDC* pDC, int nWidth, int nHeight) { return CreateCompatibleBitmap(pDC, nWidth, nHeight); }
    int GetBitmap(BITMAP* pBitMap) { return GetObject(sizeof(BITMAP), pBitMap); }
    DWORD SetBitmapBits(DWORD dwCount, const void* lpBits) { return static_cast<DWORD>(::SetBitmapBits(static_cast<HBITMAP>(m_hObject), dwCount, lpBits)); }
    DWORD GetBitmapBits(DWORD dwCount, LPVOID lpBits) const { return static_cast<DWORD>(::GetBitmapBits(static_cast<HBITMAP>(m_hObject), static_cast<LONG>(dwCount), lpBits)); }
    CSize SetBitmapDimension(int nWidth, int nHeight)
    {
        SIZE old = {0, 0};
        ::SetBitmapDimensionEx(static_cast<HBITMAP>(m_hObject), nWidth, nHeight, &old);
        return old;
    }
    CSize GetBitmapDimension() const
    {
        SIZE size = {0, 0};
        ::GetBitmapDimensionEx(static_cast<HBITMAP>(m_hObject), &size);
        return size;
    }
};

class CLASSLIB_API CRgn : public CGdiObject
{
    DECLARE_DYNAMIC(CRgn)
public:
    static CRgn* PASCAL FromHandle(HRGN hRgn) { return static_cast<CRgn*>(CGdiObject::FromHandle(hRgn)); }
    operator HRGN() const { return static_cast<HRGN>(m_hObject); }

    BOOL CreateRectRgn(int x1, int y1, int x2, int y2) { return Attach(::CreateRectRgn(x1, y1, x2, y2)); }
    BOOL CreateRectRgnIndirect(LPCRECT lpRect) { return Attach(::CreateRectRgnIndirect(lpRect)); }
    BOOL CreateEllipticRgn(int x1, int y1, int x2, int y2) { return Attach(::CreateEllipticRgn(x1, y1, x2, y2)); }
    BOOL CreateEllipticRgnIndirect(LPCRECT lpRect) { return Attach(::CreateEllipticRgnIndirect(lpRect)); }
    BOOL CreatePolygonRgn(const POINT* lpPoints, int nCount, int nMode) { return Attach(::CreatePolygonRgn(lpPoints, nCount, nMode)); }
    BOOL CreatePolyPolygonRgn(const POINT* lpPoints, const INT* lpPolyCounts, int nCount, int nPolyFillMode)
    {
        return Attach(::CreatePolyPolygonRgn(lpPoints, lpPolyCounts, nCount, nPolyFillMode));
    }
    BOOL CreateRoundRectRgn(int x1, int y1, int x2, int y2, int x3, int y3) { return Attach(::CreateRoundRectRgn(x1, y1, x2, y2, x3, y3)); }
    BOOL CreateFromPath(CDC* pDC);
    BOOL CreateFromData(const XFORM* lpXForm, int nCount, const RGNDATA* pRgnData)
    {
        return Attach(::ExtCreateRegion(lpXForm, static_cast<DWORD>(nCount), pRgnData));
    }

    void SetRectRgn(int x1, int y1, int x2, int y2) { ::SetRectRgn(static_cast<HRGN>(m_hObject), x1, y1, x2, y2); }
    void SetRectRgn(LPCRECT lpRect) { SetRectRgn(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom); }
    int CombineRgn(const CRgn* pRgn1, const CRgn* pRgn2, int nCombineMode)
    {
        return ::CombineRgn(static_cast<HRGN>(m_hObject), static_cast<HRGN>(AfxGdiHandle(pRgn1)),
                            static_cast<HRGN>(AfxGdiHandle(pRgn2)), nCombineMode);
    }
    int CopyRgn(const CRgn* pRgnSrc) { return CombineRgn(pRgnSrc, nullptr, RGN_COPY); }
    BOOL EqualRgn(const CRgn* pRgn) const { return ::EqualRgn(static_cast<HRGN>(m_hObject), static_cast<HRGN>(AfxGdiHandle(pRgn))); }
    int OffsetRgn(int x, int y) { return ::OffsetRgn(static_cast<HRGN>(m_hObject), x, y); }
    int OffsetRgn(POINT point) { return OffsetRgn(point.x, point.y); }
    int GetRgnBox(LPRECT lpRect) const { return ::GetRgnBox(static_cast<HRGN>(m_hObject), lpRect); }
    BOOL PtInRegion(int x, int y) const { return ::PtInRegion(static_cast<HRGN>(m_hObject), x, y); }
    BOOL PtInRegion(POINT point) const { return PtInRegion(point.x, point.y); }
    BOOL RectInRegion(LPCRECT lpRect) const { return ::RectInRegion(static_cast<HRGN>(m_hObject), lpRect); }
    int GetRegionData(LPRGNDATA lpRgnData, int nCount) const
    {
        return static_cast<int>(::GetRegionData(static_cast<HRGN>(m_hObject), static_cast<DWORD>(nCount), lpRgnData));
    }
};

class CLASSLIB_API CPalette : public CGdiObject
{
    DECLARE_DYNAMIC(CPalette)
public:
    static CPalette* PASCAL FromHandle(HPALETTE hPalette) { return static_cast<CPalette*>(CGdiObject::FromHandle(hPalette)); }
    operator HPALETTE() const { return static_cast<HPALETTE>(m_hObject); }

    BOOL CreatePalette(LPLOGPALETTE lpLogPalette) { return Attach(::CreatePalette(lpLogPalette)); }
    BOOL CreateHalftonePalette(CDC* pDC);
    int GetEntryCount()
    {
        WORD count = 0;
        GetObject(sizeof count, &count);
        return count;
    }
    UINT GetPaletteEntries(UINT nStartIndex, UINT nNumEntries, LPPALETTEENTRY lpPaletteColors) const
    {
        return ::GetPaletteEntries(static_cast<HPALETTE>(m_hObject), nStartIndex, nNumEntries, lpPaletteColors);
    }
    UINT SetPaletteEntries(UINT nStartIndex, UINT nNumEntries, const PALETTEENTRY* lpPaletteColors)
    {
        return ::SetPaletteEntries(static_cast<HPALETTE>(m_hObject), nStartIndex, nNumEntries, lpPaletteColors);
    }
    UINT GetNearestPaletteIndex(COLORREF crColor) const { return ::GetNearestPaletteIndex(static_cast<HPALETTE>(m_hObject), crColor); }
    BOOL ResizePalette(UINT nNumEntries) { return ::ResizePalette(static_cast<HPALETTE>(m_hObject), nNumEntries); }
};

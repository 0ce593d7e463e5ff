#pragma once
// CDC: a device context. Output goes to m_hDC; queries about the device (metrics, mapping for
// text measurement) go to m_hAttribDC, which is the same handle unless a subclass separates them.
#include "ClGdiObjects.h"
#include "ClString.h"

class CLASSLIB_API CDC : public CObject
{
    DECLARE_DYNCREATE(CDC)
public:
    CDC();
    ~CDC() override;   // deletes a DC it owns (made by Create... or attached)

    HDC m_hDC;
    HDC m_hAttribDC;
    BOOL m_bPrinting;

    operator HDC() const { return m_hDC; }
    // Also answers null when called through a null pointer.
    HDC GetSafeHdc() const;

    // The wrapper of a DC handle: the attached object, or a temporary kept until DeleteTempMap.
    static CDC* PASCAL FromHandle(HDC hDC);
    static void PASCAL DeleteTempMap();
    BOOL Attach(HDC hDC);
    HDC Detach();
    virtual void SetAttribDC(HDC hDC) { m_hAttribDC = hDC; }
    virtual void SetOutputDC(HDC hDC) { m_hDC = hDC; }
    virtual void ReleaseAttribDC() { m_hAttribDC = nullptr; }
    virtual void ReleaseOutputDC() { m_hDC = nullptr; }

    BOOL CreateDC(LPCSTR lpszDriverName, LPCSTR lpszDeviceName, LPCSTR lpszOutput, const void* lpInitData)
    {
        return Attach(::CreateDCA(lpszDriverName, lpszDeviceName, lpszOutput, static_cast<const DEVMODEA*>(lpInitData)));
    }
    BOOL CreateIC(LPCSTR lpszDriverName, LPCSTR lpszDeviceName, LPCSTR lpszOutput, const void* lpInitData)
    {
        return Attach(::CreateICA(lpszDriverName, lpszDeviceName, lpszOutput, static_cast<const DEVMODEA*>(lpInitData)));
    }
    BOOL CreateCompatibleDC(CDC* pDC) { return Attach(::CreateCompatibleDC(pDC ? pDC->m_hDC : nullptr)); }
    BOOL DeleteDC();

    BOOL IsPrinting() const { return m_bPrinting; }
    int SaveDC() { return ::SaveDC(m_hDC); }
    BOOL RestoreDC(int nSavedDC) { return ::RestoreDC(m_hDC, nSavedDC); }
    int GetDeviceCaps(int nIndex) const { return ::GetDeviceCaps(m_hAttribDC, nIndex); }
    CPoint GetBrushOrg() const { POINT p = {0, 0}; ::GetBrushOrgEx(m_hDC, &p); return p; }
    CPoint SetBrushOrg(int x, int y) { POINT p = {0, 0}; ::SetBrushOrgEx(m_hDC, x, y, &p); return p; }
    CPoint SetBrushOrg(POINT point) { return SetBrushOrg(point.x, point.y); }

    // Selection answers the previously selected object (a temporary wrapper).
    CPen* SelectObject(CPen* pPen) { return static_cast<CPen*>(SelectGdiObject(pPen)); }
    CBrush* SelectObject(CBrush* pBrush) { return static_cast<CBrush*>(SelectGdiObject(pBrush)); }
    CFont* SelectObject(CFont* pFont) { return static_cast<CFont*>(SelectGdiObject(pFont)); }
    CBitmap* SelectObject(CBitmap* pBitmap) { return static_cast<CBitmap*>(SelectGdiObject(pBitmap)); }
    CGdiObject* SelectObject(CGdiObject* pObject) { return SelectGdiObject(pObject); }
    // Regions are copied into the DC; the answer is the region type.
    int SelectObject(CRgn* pRgn) { return static_cast<int>(reinterpret_cast<INT_PTR>(::SelectObject(m_hDC, AfxGdiHandle(pRgn)))); }
    HGDIOBJ SelectObject(HGDIOBJ hObject) { return ::SelectObject(m_hDC, hObject); }
    CGdiObject* SelectStockObject(int nIndex) { return CGdiObject::FromHandle(::SelectObject(m_hDC, ::GetStockObject(nIndex))); }
    CPalette* SelectPalette(CPalette* pPalette, BOOL bForceBackground)
    {
        return CPalette::FromHandle(::SelectPalette(m_hDC, static_cast<HPALETTE>(AfxGdiHandle(pPalette)), bForceBackground));
    }
    UINT RealizePalette() { return ::RealizePalette(m_hDC); }
    CGdiObject* GetCurrentObject(UINT nObjectType) const { return CGdiObject::FromHandle(::GetCurrentObject(m_hDC, nObjectType)); }

    COLORREF GetBkColor() const { return ::GetBkColor(m_hAttribDC); }
    COLORREF SetBkColor(COLORREF crColor) { return ::SetBkColor(m_hDC, crColor); }
    int GetBkMode() const { return ::GetBkMode(m_hAttribDC); }
    int SetBkMode(int nBkMode) { return ::SetBkMode(m_hDC, nBkMode); }
    COLORREF GetTextColor() const { return ::GetTextColor(m_hAttribDC); }
    COLORREF SetTextColor(COLORREF crColor) { return ::SetTextColor(m_hDC, crColor); }
    int GetROP2() const { return ::GetROP2(m_hAttribDC); }
    int SetROP2(int nDrawMode) { return ::SetROP2(m_hDC, nDrawMode); }
    int GetPolyFillMode() const { return ::GetPolyFillMode(m_hAttribDC); }
    int SetPolyFillMode(int nPolyFillMode) { return ::SetPolyFillMode(m_hDC, nPolyFillMode); }
    int GetStretchBltMode() const { return ::GetStretchBltMode(m_hAttribDC); }
    int SetStretchBltMode(int nStretchMode) { return ::SetStretchBltMode(m_hDC, nStretchMode); }
    COLORREF GetNearestColor(COLORREF crColor) const { return ::GetNearestColor(m_hAttribDC, crColor); }

    int GetMapMode() const { return ::GetMapMode(m_hAttribDC); }
    int SetMapMode(int nMapMode) { return ::SetMapMode(m_hDC, nMapMode); }
    CPoint GetViewportOrg() const { POINT p = {0, 0}; ::GetViewportOrgEx(m_hAttribDC, &p); return p; }
    CPoint SetViewportOrg(int x, int y) { POINT p = {0, 0}; ::SetViewportOrgEx(m_hDC, x, y, &p); return p; }
    CPoint SetViewportOrg(POINT point) { return SetViewportOrg(point.x, point.y); }
    CPoint OffsetViewportOrg(int nWidth, int nHeight) { POINT p = {0, 0}; ::OffsetViewportOrgEx(m_hDC, nWidth, nHeight, &p); return p; }
    CSize GetViewportExt() const { SIZE s = {0, 0}; ::GetViewportExtEx(m_hAttribDC, &s); return s; }
    CSize SetViewportExt(int cx, int cy) { SIZE s = {0, 0}; ::SetViewportExtEx(m_hDC, cx, cy, &s); return s; }
    CSize SetViewportExt(SIZE size) { return SetViewportExt(size.cx, size.cy); }
    CPoint GetWindowOrg() const { POINT p = {0, 0}; ::GetWindowOrgEx(m_hAttribDC, &p); return p; }
    CPoint SetWindowOrg(int x, int y) { POINT p = {0, 0}; ::SetWindowOrgEx(m_hDC, x, y, &p); return p; }
    CPoint SetWindowOrg(POINT point) { return SetWindowOrg(point.x, point.y); }
    CPoint OffsetWindowOrg(int nWidth, int nHeight) { POINT p = {0, 0}; ::OffsetWindowOrgEx(m_hDC, nWidth, nHeight, &p); return p; }
    CSize GetWindowExt() const { SIZE s = {0, 0}; ::GetWindowExtEx(m_hAttribDC, &s); return s; }
    CSize SetWindowExt(int cx, int cy) { SIZE s = {0, 0}; ::SetWindowExtEx(m_hDC, cx, cy, &s); return s; }
    CSize SetWindowExt(SIZE size) { return SetWindowExt(size.cx, size.cy); }
    void DPtoLP(LPPOINT lpPoints, int nCount = 1) const { ::DPtoLP(m_hAttribDC, lpPoints, nCount); }
    void DPtoLP(LPRECT lpRect) const { ::DPtoLP(m_hAttribDC, reinterpret_cast<LPPOINT>(lpRect), 2); }
    void LPtoDP(LPPOINT lpPoints, int nCount = 1) const { ::LPtoDP(m_hAttribDC, lpPoints, nCount); }
    void LPtoDP(LPRECT lpRect) const { ::LPtoDP(m_hAttribDC, reinterpret_cast<LPPOINT>(lpRect), 2); }
    BOOL SetWorldTransform(const XFORM* pXform) { return ::SetWorldTransform(m_hDC, pXform); }
    BOOL ModifyWorldTransform(const XFORM* pXform, DWORD iMode) { return ::ModifyWorldTransform(m_hDC, pXform, iMode); }
    int SetGraphicsMode(int iMode) { return ::SetGraphicsMode(m_hDC, iMode); }

    int GetClipBox(LPRECT lpRect) const { return ::GetClipBox(m_hDC, lpRect); }
    int SelectClipRgn(CRgn* pRgn) { return ::SelectClipRgn(m_hDC, static_cast<HRGN>(AfxGdiHandle(pRgn))); }
    int SelectClipRgn(CRgn* pRgn, int nMode) { return ::ExtSelectClipRgn(m_hDC, static_cast<HRGN>(AfxGdiHandle(pRgn)), nMode); }
    int ExcludeClipRect(int x1, int y1, int x2, int y2) { return ::ExcludeClipRect(m_hDC, x1, y1, x2, y2); }
    int ExcludeClipRect(LPCRECT r) { return ExcludeClipRect(r->left, r->top, r->right, r->bottom); }
    int IntersectClipRect(int x1, int y1, int x2, int y2) { return ::IntersectClipRect(m_hDC, x1, y1, x2, y2); }
    int IntersectClipRect(LPCRECT r) { return IntersectClipRect(r->left, r->top, r->right, r->bottom); }
    int OffsetClipRgn(int x, int y) { return ::OffsetClipRgn(m_hDC, x, y); }
    BOOL PtVisible(int x, int y) const { return ::PtVisible(m_hDC, x, y); }
    BOOL RectVisible(LPCRECT lpRect) const { return ::RectVisible(m_hDC, lpRect); }

    CPoint GetCurrentPosition() const { POINT p = {0, 0}; ::GetCurrentPositionEx(m_hAttribDC, &p); return p; }
    CPoint MoveTo(int x, int y) { POINT p = {0, 0}; ::MoveToEx(m_hDC, x, y, &p); return p; }
    CPoint MoveTo(POINT point) { return MoveTo(point.x, point.y); }
    BOOL LineTo(int x, int y) { return ::LineTo(m_hDC, x, y); }
    BOOL LineTo(POINT point) { return LineTo(point.x, point.y); }
    BOOL Polyline(const POINT* lpPoints, int nCount) { return ::Polyline(m_hDC, lpPoints, nCount); }
    BOOL PolylineTo(const POINT* lpPoints, int nCount) { return ::PolylineTo(m_hDC, lpPoints, static_cast<DWORD>(nCount)); }
    BOOL Polygon(const POINT* lpPoints, int nCount) { return ::Polygon(m_hDC, lpPoints, nCount); }
    BOOL PolyPolygon(const POINT* lpPoints, const INT* lpPolyCounts, int nCount) { return ::PolyPolygon(m_hDC, lpPoints, lpPolyCounts, nCount); }
    BOOL PolyBezier(const POINT* lpPoints, int nCount) { return ::PolyBezier(m_hDC, lpPoints, static_cast<DWORD>(nCount)); }
    BOOL PolyBezierTo(const POINT* lpPoints, int nCount) { return ::PolyBezierTo(m_hDC, lpPoints, static_cast<DWORD>(nCount)); }
    BOOL PolyDraw(const POINT* lpPoints, const BYTE* lpTypes, int nCount) { return ::PolyDraw(m_hDC, lpPoints, lpTypes, nCount); }
    BOOL Rectangle(int x1, int y1, int x2, int y2) { return ::Rectangle(m_hDC, x1, y1, x2, y2); }
    BOOL Rectangle(LPCRECT r) { return Rectangle(r->left, r->top, r->right, r->bottom); }
    BOOL Ellipse(int x1, int y1, int x2, int y2) { return ::Ellipse(m_hDC, x1, y1, x2, y2); }
    BOOL Ellipse(LPCRECT r) { return Ellipse(r->left, r->top, r->right, r->bottom); }
    BOOL RoundRect(int x1, int y1, int x2, int y2, int x3, int y3) { return ::RoundRect(m_hDC, x1, y1, x2, y2, x3, y3); }
    BOOL Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) { return ::Arc(m_hDC, x1, y1, x2, y2, x3, y3, x4, y4); }
    BOOL Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) { return ::Pie(m_hDC, x1, y1, x2, y2, x3, y3, x4, y4); }
    BOOL Chord(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) { return ::Chord(m_hDC, x1, y1, x2, y2, x3, y3, x4, y4); }

    void FillRect(LPCRECT lpRect, CBrush* pBrush) { ::FillRect(m_hDC, lpRect, static_cast<HBRUSH>(AfxGdiHandle(pBrush))); }
    void FrameRect(LPCRECT lpRect, CBrush* pBrush) { ::FrameRect(m_hDC, lpRect, static_cast<HBRUSH>(AfxGdiHandle(pBrush))); }
    void InvertRect(LPCRECT lpRect) { ::InvertRect(m_hDC, lpRect); }
    void DrawFocusRect(LPCRECT lpRect) { ::DrawFocusRect(m_hDC, lpRect); }
    BOOL FillRgn(CRgn* pRgn, CBrush* pBrush) { return ::FillRgn(m_hDC, static_cast<HRGN>(AfxGdiHandle(pRgn)), static_cast<HBRUSH>(AfxGdiHandle(pBrush))); }
    BOOL FrameRgn(CRgn* pRgn, CBrush* pBrush, int nWidth, int nHeight)
    {
        return ::FrameRgn(m_hDC, static_cast<HRGN>(AfxGdiHandle(pRgn)), static_cast<HBRUSH>(AfxGdiHandle(pBrush)), nWidth, nHeight);
    }
    BOOL PaintRgn(CRgn* pRgn) { return ::PaintRgn(m_hDC, static_cast<HRGN>(AfxGdiHandle(pRgn))); }
    BOOL InvertRgn(CRgn* pRgn) { return ::InvertRgn(m_hDC, static_cast<HRGN>(AfxGdiHandle(pRgn))); }
    // A rectangle of one colour, without changing the selected brush (keeps the background colour).
    void FillSolidRect(LPCRECT lpRect, COLORREF clr);
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF clr);
    void Draw3dRect(LPCRECT lpRect, COLORREF clrTopLeft, COLORREF clrBottomRight);
    void Draw3dRect(int x, int y, int cx, int cy, COLORREF clrTopLeft, COLORREF clrBottomRight);
    BOOL DrawEdge(LPRECT lpRect, UINT nEdge, UINT nFlags) { return ::DrawEdge(m_hDC, lpRect, nEdge, nFlags); }
    BOOL DrawIcon(int x, int y, HICON hIcon) { return ::DrawIcon(m_hDC, x, y, hIcon); }

    BOOL PatBlt(int x, int y, int nWidth, int nHeight, DWORD dwRop) { return ::PatBlt(m_hDC, x, y, nWidth, nHeight, dwRop); }
    BOOL BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, DWORD dwRop)
    {
        return ::BitBlt(m_hDC, x, y, nWidth, nHeight, pSrcDC ? pSrcDC->m_hDC : nullptr, xSrc, ySrc, dwRop);
    }
    BOOL StretchBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, int nSrcWidth,
                    int nSrcHeight, DWORD dwRop)
    {
        return ::StretchBlt(m_hDC, x, y, nWidth, nHeight, pSrcDC ? pSrcDC->m_hDC : nullptr, xSrc, ySrc, nSrcWidth,
                            nSrcHeight, dwRop);
    }
    COLORREF GetPixel(int x, int y) const { return ::GetPixel(m_hDC, x, y); }
    COLORREF GetPixel(POINT point) const { return GetPixel(point.x, point.y); }
    COLORREF SetPixel(int x, int y, COLORREF crColor) { return ::SetPixel(m_hDC, x, y, crColor); }
    COLORREF SetPixel(POINT point, COLORREF crColor) { return SetPixel(point.x, point.y, crColor); }

    BOOL TextOut(int x, int y, LPCSTR lpszString, int nCount) { return ::TextOutA(m_hDC, x, y, lpszString, nCount); }
    BOOL TextOut(int x, int y, const CString& str) { return TextOut(x, y, str, str.GetLength()); }
    BOOL ExtTextOut(int x, int y, UINT nOptions, LPCRECT lpRect, LPCSTR lpszString, UINT nCount, LPINT lpDxWidths)
    {
        return ::ExtTextOutA(m_hDC, x, y, nOptions, lpRect, lpszString, nCount, lpDxWidths);
    }
    int DrawText(LPCSTR lpszString, int nCount, LPRECT lpRect, UINT nFormat) { return ::DrawTextA(m_hDC, lpszString, nCount, lpRect, nFormat); }
    int DrawText(const CString& str, LPRECT lpRect, UINT nFormat) { return DrawText(str, str.GetLength(), lpRect, nFormat); }
    CSize GetTextExtent(LPCSTR lpszString, int nCount) const
    {
        SIZE size = {0, 0};
        ::GetTextExtentPoint32A(m_hAttribDC, lpszString, nCount, &size);
        return size;
    }
    CSize GetTextExtent(const CString& str) const { return GetTextExtent(str, str.GetLength()); }
    CSize GetOutputTextExtent(LPCSTR lpszString, int nCount) const
    {
        SIZE size = {0, 0};
        ::GetTextExtentPoint32A(m_hDC, lpszString, nCount, &size);
        return size;
    }
    BOOL GetTextMetrics(LPTEXTMETRICA lpMetrics) const { return ::GetTextMetricsA(m_hAttribDC, lpMetrics); }
    UINT GetTextAlign() const { return ::GetTextAlign(m_hAttribDC); }
    UINT SetTextAlign(UINT nFlags) { return ::SetTextAlign(m_hDC, nFlags); }
    int GetTextFace(int nCount, LPSTR lpszFacename) const { return ::GetTextFaceA(m_hAttribDC, nCount, lpszFacename); }
    int SetTextCharacterExtra(int nCharExtra) { return ::SetTextCharacterExtra(m_hDC, nCharExtra); }

    BOOL AbortPath() { return ::AbortPath(m_hDC); }
    BOOL BeginPath() { return ::BeginPath(m_hDC); }
    BOOL CloseFigure() { return ::CloseFigure(m_hDC); }
    BOOL EndPath() { return ::EndPath(m_hDC); }
    BOOL FillPath() { return ::FillPath(m_hDC); }
    BOOL FlattenPath() { return ::FlattenPath(m_hDC); }
    BOOL StrokeAndFillPath() { return ::StrokeAndFillPath(m_hDC); }
    BOOL StrokePath() { return ::StrokePath(m_hDC); }
    BOOL WidenPath() { return ::WidenPath(m_hDC); }
    BOOL SelectClipPath(int nMode) { return ::SelectClipPath(m_hDC, nMode); }
    int GetPath(LPPOINT lpPoints, LPBYTE lpTypes, int nCount) const { return ::GetPath(m_hDC, lpPoints, lpTypes, nCount); }

    BOOL PlayMetaFile(HENHMETAFILE hEnhMF, LPCRECT lpBounds) { return ::PlayEnhMetaFile(m_hDC, hEnhMF, lpBounds); }

    int StartDoc(LPDOCINFOA lpDocInfo) { return ::StartDocA(m_hDC, lpDocInfo); }
    int StartDoc(LPCSTR lpszDocName);
    int StartPage() { return ::StartPage(m_hDC); }
    int EndPage() { return ::EndPage(m_hDC); }
    int EndDoc() { return ::EndDoc(m_hDC); }
    int AbortDoc() { return ::AbortDoc(m_hDC); }
    int SetAbortProc(ABORTPROC lpfn) { return ::SetAbortProc(m_hDC, lpfn); }
    int Escape(int nEscape, int nCount, LPCSTR lpszInData, LPVOID lpOutData)
    {
        return ::Escape(m_hDC, nEscape, nCount, lpszInData, lpOutData);
    }

protected:
    CGdiObject* SelectGdiObject(CGdiObject* pObject);
};

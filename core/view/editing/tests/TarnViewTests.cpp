// The editing view on a real window: first paint zooms to page, zoom keeps the centre, scrolling
// moves the canvas, document hints reach the canvas and window, and what the controls ask
// through the view's events interface.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "CardControls.h"
#include "CardFixtures.h"
#include "ClDocView.h"
#include "RecordingCanvas.h"
#include "TarnSite.h"
#include "TarnView.h"
#include "ViewScrolling.h"
#include "ViewUpdateHint.h"
#include "ViewZoom.h"

namespace {

class EditingView : public ::testing::Test {
protected:
    void SetUp() override
    {
        doc = std::make_unique<CTestCardDoc>();
        ASSERT_TRUE(doc->OnNewDocument());
        doc->m_bAutoDelete = FALSE;   // the test owns it: it must not close with its view
        FillSampleCard(*doc, 0);      // three sites
        frame = new CFrameWnd;
        CCreateContext context;
        context.m_pNewViewClass = RUNTIME_CLASS(CTarnView);
        context.m_pCurrentDoc = doc.get();
        ASSERT_TRUE(frame->LoadFrame(0, WS_OVERLAPPEDWINDOW, nullptr, &context));
        frame->SetWindowPos(nullptr, 0, 0, 640, 480, SWP_NOZORDER | SWP_NOMOVE);
        frame->InitialUpdateFrame(doc.get(), TRUE);
        view = DYNAMIC_DOWNCAST(CTarnView, frame->GetActiveView());
        ASSERT_NE(nullptr, view);
        canvas = ViewTestClasses::LastCanvas();
        ASSERT_NE(nullptr, canvas);
        // The first paint only zooms to page.
        ::UpdateWindow(view->m_hWnd);
        ASSERT_EQ(1, view->m_bFirstPaintDone);
    }
    void TearDown() override
    {
        if (frame && ::IsWindow(frame->m_hWnd)) frame->DestroyWindow();
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
        doc.reset();
    }
    CSize Client() const
    {
        CRect r;
        view->GetClientRect(&r);
        return r.Size();
    }
    std::vector<CanvasCall> CallsNamed(const char* name) const
    {
        std::vector<CanvasCall> out;
        for (const CanvasCall& c : canvas->calls)
            if (c.name == name) out.push_back(c);
        return out;
    }

    ViewTestClasses classes;
    std::unique_ptr<CTestCardDoc> doc;
    CFrameWnd* frame = nullptr;
    CTarnView* view = nullptr;
    CRecordingCanvas* canvas = nullptr;
};

TEST_F(EditingView, FirstPaintZoomsToThePageAndCentresIt)
{
    EXPECT_EQ(doc->GetSiteByIndex(0)->GetID(), view->GetSiteID());
    EXPECT_TRUE(view->IsRegistered());
    const CRectF page = view->GetSiteArea(0, view->m_bShowMargins);
    ASSERT_GT(page.right - page.left, 0.0);
    // The zoom that fits the page with margins; the bars it needs were already allowed for, so
    // it still fits now that they show.
    const double expected = FitViewToRect(page, Client(), true).zoom;
    EXPECT_NEAR(expected, view->GetZoomValue(), expected * 0.05);
    const CPoint topLeft = view->DocToWin(CPointF(page.left, page.top));
    const CPoint bottomRight = view->DocToWin(CPointF(page.right, page.bottom));
    EXPECT_GE(topLeft.x, 0);
    EXPECT_GE(topLeft.y, 0);
    EXPECT_LE(bottomRight.x, Client().cx);
    EXPECT_LE(bottomRight.y, Client().cy);
    const CPoint centre = view->DocToWin(CPointF((page.left + page.right) / 2, (page.top + page.bottom) / 2));
    EXPECT_NEAR(Client().cx / 2, centre.x, 1);
    EXPECT_NEAR(Client().cy / 2, centre.y, 1);
}

TEST_F(EditingView, ZoomInDoublesAboutTheCentre)
{
    const double before = view->GetZoomValue();
    const CPointF centre = view->GetDocPositionInCenter();
    frame->SendMessage(WM_COMMAND, ID_VIEW_ZOOM_IN);
    EXPECT_DOUBLE_EQ(before * 2, view->GetZoomValue());
    const CPointF after = view->GetDocPositionInCenter();
    const double pixel = 1.0 / view->GetPixelsPerZoomedInch();
    EXPECT_NEAR(centre.x, after.x, 1.5 * pixel);
    EXPECT_NEAR(centre.y, after.y, 1.5 * pixel);

    // Out of range requests stop at the limits; a tiny change does nothing unless forced.
    view->SetZoomValue(1e9);
    EXPECT_DOUBLE_EQ(view->GetMaxZoom(), view->GetZoomValue());
    view->SetZoomValue(1e-9);
    EXPECT_DOUBLE_EQ(view->GetMinZoom(), view->GetZoomValue());
    canvas->calls.clear();
    view->SetZoomValue(view->GetZoomValue() + 1e-12, 1, 0);
    EXPECT_TRUE(canvas->calls.empty());
}

TEST_F(EditingView, ScrollingMovesTheCanvasOrigin)
{
    frame->SendMessage(WM_COMMAND, ID_VIEW_ZOOM_IN);
    frame->SendMessage(WM_COMMAND, ID_VIEW_ZOOM_IN);
    const CPoint start = view->GetScrollPosition();
    const CPointF docPoint = view->GetDocPositionInCenter();
    const CPoint winBefore = view->DocToWin(docPoint);
    canvas->calls.clear();
    view->SafeScrollToPosition(CPoint(start.x + 40, start.y));
    EXPECT_EQ(start.x + 40, view->GetScrollPosition().x);
    EXPECT_EQ(winBefore.x - 40, view->DocToWin(docPoint).x);
    const auto offsets = CallsNamed("SetOffset");
    ASSERT_FALSE(offsets.empty());
    const CPoint origin = view->WinToView(CPoint(0, 0));
    EXPECT_EQ(origin.x, offsets.back().point.x);
    EXPECT_EQ(origin.y, offsets.back().point.y);

    // Beyond either end the position stops at the end.
    view->SafeScrollToPosition(CPoint(-500, -500));
    EXPECT_EQ(CPoint(0, 0), view->GetScrollPosition());
}

TEST_F(EditingView, ReturningToASiteRestoresItsZoomAndCentre)
{
    ASSERT_GE(doc->GetSiteNumber(), 2);
    const int first = view->GetSiteID();
    const int second = doc->GetSiteByIndex(1)->GetID();
    frame->SendMessage(WM_COMMAND, ID_VIEW_ZOOM_IN);
    view->SafeScrollToPosition(view->GetScrollPosition() + CPoint(30, 20));
    const double zoom = view->GetZoomValue();
    const CPointF centre = view->GetDocPositionInCenter();

    // A site never shown opens zoomed to page.
    view->SetSiteID(second);
    EXPECT_EQ(second, view->GetSiteID());
    const CRectF page = view->GetSiteArea(0, view->m_bShowMargins);
    EXPECT_NEAR(FitViewToRect(page, Client(), true).zoom, view->GetZoomValue(), view->GetZoomValue() * 0.05);

    view->SetSiteID(first);
    EXPECT_DOUBLE_EQ(zoom, view->GetZoomValue());
    const CPointF back = view->GetDocPositionInCenter();
    const double pixel = 1.0 / view->GetPixelsPerZoomedInch();
    EXPECT_NEAR(centre.x, back.x, 1.5 * pixel);
    EXPECT_NEAR(centre.y, back.y, 1.5 * pixel);

    // Forgotten positions open zoomed to page again.
    view->SetSiteID(second);
    view->RemoveSiteInfo(first);
    view->SetSiteID(first);
    EXPECT_NEAR(FitViewToRect(view->GetSiteArea(0, view->m_bShowMargins), Client(), true).zoom, view->GetZoomValue(),
                view->GetZoomValue() * 0.05);
}

TEST_F(EditingView, ARestrictedViewKeepsTheClientAreaCovered)
{
    view->m_bRestrictVisibleArea = 1;
    view->UpdateMinMaxZoomVal();
    view->SetZoomValue(view->GetMinZoom(), 1, 1);
    frame->SetWindowPos(nullptr, 0, 0, 1000, 900, SWP_NOZORDER | SWP_NOMOVE);
    EXPECT_GE(view->GetZoomValue(), view->GetMinZoom());
    // The scrollable site covers the client area on both axes, and is not centred.
    const CSize total = view->GetTotalSize();
    EXPECT_GE(total.cx, Client().cx - 1);
    EXPECT_GE(total.cy, Client().cy - 1);
    const CRectF area = view->GetSiteArea(1, 0);
    EXPECT_EQ(ViewSiteOffset(area, view->GetPixelsPerZoomedInch(), Client(), true), view->GetSiteOffset());
}

TEST_F(EditingView, ZoomToAllControlsFitsTheirUnion)
{
    CTarnSite* site = doc->GetSite(view->GetSiteID());
    const tagRectF rects[] = {{1.0, 1.0, 2.0, 1.5}, {2.5, 0.5, 3.0, 2.0}};
    for (const tagRectF& r : rects) {
        IBaseControl* control = NewCardControl(1);
        ASSERT_EQ(S_OK, control->put_Rect(r));
        site->InsertControlWOUndo(control, -1);
        control->Release();
    }
    frame->SendMessage(WM_COMMAND, ID_VIEW_ZOOM_TO_ALL_CONTROLS);
    const CRectF all(1.0, 0.5, 3.0, 2.0);
    const CPoint topLeft = view->DocToWin(CPointF(all.left, all.top));
    const CPoint bottomRight = view->DocToWin(CPointF(all.right, all.bottom));
    // Centred, with a margin of at least 5 % on each side and at most 5 % plus the rounding on the
    // limiting axis.
    EXPECT_NEAR(Client().cx / 2, (topLeft.x + bottomRight.x) / 2, 1);
    EXPECT_NEAR(Client().cy / 2, (topLeft.y + bottomRight.y) / 2, 1);
    EXPECT_GE(topLeft.y, static_cast<int>(0.05 * Client().cy) - 1);
    EXPECT_LE(bottomRight.y, Client().cy - static_cast<int>(0.05 * Client().cy) + 1);
}

TEST_F(EditingView, ScrollingKeys)
{
    frame->SendMessage(WM_COMMAND, ID_VIEW_ZOOM_IN);
    frame->SendMessage(WM_COMMAND, ID_VIEW_ZOOM_IN);
    view->SafeScrollToPosition(CPoint(100, 100));
    const CPoint start = view->GetScrollPosition();
    ASSERT_EQ(CPoint(100, 100), start);
    EXPECT_TRUE(view->PerformKeyScrolling(VK_DOWN, FALSE));
    EXPECT_EQ(CPoint(100, 101), view->GetScrollPosition());
    EXPECT_TRUE(view->PerformKeyScrolling(VK_LEFT, TRUE));
    EXPECT_EQ(CPoint(95, 101), view->GetScrollPosition());
    EXPECT_TRUE(view->PerformKeyScrolling(VK_NEXT, FALSE));
    EXPECT_EQ(101 + static_cast<int>(0.75 * Client().cy), view->GetScrollPosition().y);
    // Shift+Home: the site's left edge shows 5 % of the client width in (or the view is at its
    // start); a second press changes nothing.
    view->PerformKeyScrolling(VK_HOME, TRUE);
    CTarnSite* site = doc->GetSite(view->GetSiteID());
    const double leftEdge = site->GetExtremeSitePoint(VK_LEFT, view->m_bShowMargins, 1);
    const int edgeInWindow = view->DocToWin(CPointF(leftEdge, 0)).x;
    EXPECT_TRUE(view->GetScrollPosition().x == 0 || edgeInWindow == static_cast<int>(0.05 * Client().cx));
    EXPECT_FALSE(view->PerformKeyScrolling(VK_HOME, TRUE));
    // A frozen view does not scroll.
    view->m_bFrozen = 1;
    EXPECT_FALSE(view->PerformKeyScrolling(VK_DOWN, FALSE));
}

TEST_F(EditingView, DocumentHintsReachTheCanvas)
{
    const int site = view->GetSiteID();
    const CRectF area(0.5, 0.5, 1.0, 1.25);
    const CRect viewRect = view->GetMapping().DocToView(area);

    canvas->calls.clear();
    CViewUpdateHint other(CViewUpdateHint::InvalidateDocRect, area, 1);
    doc->UpdateAllViews(nullptr, site + 100, &other);
    EXPECT_TRUE(canvas->calls.empty());

    CViewUpdateHint invalidate(CViewUpdateHint::InvalidateDocRect, area, 1);
    doc->UpdateAllViews(nullptr, site, &invalidate);
    auto rects = CallsNamed("InvalidateRect");
    ASSERT_EQ(1u, rects.size());
    EXPECT_EQ(viewRect.left - 1, rects[0].rect.left);
    EXPECT_EQ(viewRect.bottom + 1, rects[0].rect.bottom);

    canvas->calls.clear();
    CViewUpdateHint validate(CViewUpdateHint::ValidateDocRect, area, 1);
    doc->UpdateAllViews(nullptr, 0, &validate);
    rects = CallsNamed("ValidateRect");
    ASSERT_EQ(1u, rects.size());
    EXPECT_EQ(viewRect.left, rects[0].rect.left);
    EXPECT_EQ(viewRect.bottom, rects[0].rect.bottom);

    // Window only: the canvas keeps its pixels.
    canvas->calls.clear();
    CViewUpdateHint windowOnly(CViewUpdateHint::InvalidateDocRect, area, 0);
    doc->UpdateAllViews(nullptr, site, &windowOnly);
    EXPECT_TRUE(canvas->calls.empty());

    // A control's "everything" through its site.
    canvas->calls.clear();
    doc->GetSite(site)->GetISiteEvents()->Invalidate(nullptr, 1, 1);
    EXPECT_EQ(1u, CallsNamed("Invalidate").size());
}

TEST_F(EditingView, WhatControlsAskThroughTheEventsInterface)
{
    ITarnViewEvents* events = view->GetIViewEvents();
    tagPointData point = {SS_DOC, {0, 0}, {0, 0}, {1.0, 0.5}};
    ASSERT_EQ(S_OK, events->TransferCoordinates(&point));
    EXPECT_EQ(view->DocToWin(CPointF(1.0, 0.5)), CPoint(point.WinPoint));
    point.SourceSystem = 7;
    EXPECT_EQ(E_INVALIDARG, events->TransferCoordinates(&point));

    canvas->calls.clear();
    EXPECT_EQ(E_INVALIDARG, events->Invalidate(nullptr, 1, 1));
    EXPECT_TRUE(canvas->calls.empty());
    EXPECT_EQ(S_OK, events->Invalidate(nullptr, 0, 1));
    EXPECT_EQ(1u, CallsNamed("Invalidate").size());

    HDC dc = nullptr;
    ASSERT_EQ(S_OK, events->GetDC(&dc));
    ASSERT_NE(nullptr, dc);
    EXPECT_EQ(1, ::ReleaseDC(view->m_hWnd, dc));   // the caller gives it back

    LONG_PTR hwnd = 0;
    EXPECT_EQ(S_OK, events->GetHWND(&hwnd));
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(view->m_hWnd), hwnd);
    EXPECT_EQ(S_OK, events->SetSelMode(2));
    EXPECT_EQ(E_FAIL, events->SetSelMode(3));
    long mode = -1;
    EXPECT_EQ(S_OK, events->GetSelMode(&mode));
    EXPECT_EQ(2, mode);
    EXPECT_EQ(S_OK, events->SelectControl(nullptr));
    EXPECT_EQ(S_OK, events->FreezeView(1));
    EXPECT_EQ(1, view->m_bFrozen);

    // The interface shares the view's count and answers for itself.
    ITarnViewEvents* again = nullptr;
    ASSERT_EQ(S_OK, events->QueryInterface(IID_ITarnViewEvents, reinterpret_cast<void**>(&again)));
    EXPECT_EQ(events, again);
    again->Release();
}

}  // namespace

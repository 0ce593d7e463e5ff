// What a site does for the views that show it: a control's request to redraw reaches them as an
// update for the site, and the site draws its sheet and controls for them.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "BackgroundParams.h"
#include "CardControls.h"
#include "CardFixtures.h"
#include "DrawOptions.h"
#include "TarnBackground.h"
#include "ClDocView.h"
#include "TarnSite.h"
#include "ViewUpdateHint.h"

namespace {

struct Received {
    LPARAM hint;
    int kind;
    CRectF rect;
    int flag;
};

// A view without a window that keeps what its document tells it.
class CHintRecorder : public CView {
public:
    void OnDraw(CDC*) override {}
    void OnUpdate(CView*, LPARAM hint, CObject* object) override
    {
        auto* update = dynamic_cast<CViewUpdateHint*>(object);
        ASSERT_NE(nullptr, update);
        received.push_back({hint, update->m_nKind, update->m_rectF, update->m_nFlag});
    }
    std::vector<Received> received;
};

TEST(SiteInvalidation, ControlRequestsBecomeViewUpdatesForTheSite)
{
    auto doc = std::make_unique<CTestCardDoc>();
    ASSERT_TRUE(doc->OnNewDocument());
    doc->m_bAutoDelete = FALSE;   // the test owns it: it must not close with its last view
    CHintRecorder view;
    doc->AddView(&view);
    CTarnSite* site = doc->GetSiteByIndex(0);
    ASSERT_NE(nullptr, site);
    ITarnSiteEvents* events = site->GetISiteEvents();

    tagRectF area = {0.5, 0.25, 1.5, 2.0};
    struct Case {
        const char* name;
        tagRectF* rect;
        int all;
        int flag;
        int kind;
    } cases[] = {
        {"a rectangle", &area, 0, 1, CViewUpdateHint::InvalidateDocRect},
        {"a rectangle, window only", &area, 0, 0, CViewUpdateHint::InvalidateDocRect},
        // Everything is redrawn; never a validation.
        {"everything, with a rectangle", &area, 1, 1, CViewUpdateHint::InvalidateAll},
        {"everything", nullptr, 1, 0, CViewUpdateHint::InvalidateAll},
        {"nothing said", nullptr, 0, 1, CViewUpdateHint::InvalidateAll},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        view.received.clear();
        EXPECT_EQ(S_OK, events->Invalidate(c.rect, c.all, c.flag));
        ASSERT_EQ(1u, view.received.size());
        const Received& r = view.received[0];
        EXPECT_EQ(site->GetID(), static_cast<int>(r.hint));
        EXPECT_EQ(c.kind, r.kind);
        EXPECT_EQ(c.flag, r.flag);
        if (c.kind == CViewUpdateHint::InvalidateDocRect) {
            EXPECT_DOUBLE_EQ(area.left, r.rect.left);
            EXPECT_DOUBLE_EQ(area.top, r.rect.top);
            EXPECT_DOUBLE_EQ(area.right, r.rect.right);
            EXPECT_DOUBLE_EQ(area.bottom, r.rect.bottom);
        }
    }
    doc->RemoveView(&view);
}

TEST(SiteInvalidation, ASiteOutsideADocumentTellsNobody)
{
    CTarnSite* site = new CTarnSite;
    site->AddRef();
    tagRectF area = {0, 0, 1, 1};
    EXPECT_EQ(S_OK, site->GetISiteEvents()->Invalidate(&area, 0, 1));
    EXPECT_EQ(S_OK, site->GetISiteEvents()->Invalidate(nullptr, 1, 1));
    site->Release();
}

// A site draws its sheet in its stored colour (no fill control here) and, for a control that
// cannot draw itself, a grey dotted frame of its bounding rectangle.
TEST(SiteDrawing, SheetColourAndFramesOfControlsThatCannotDraw)
{
    auto doc = std::make_unique<CTestCardDoc>();
    ASSERT_TRUE(doc->OnNewDocument());
    CTarnSite* site = doc->GetSiteByIndex(0);
    ASSERT_NE(nullptr, site);
    CBackgroundParams* params = site->GetBackground()->GetParams();
    ASSERT_NE(nullptr, params);
    params->m_useWindowColor = 0;
    params->m_color = RGB(10, 200, 30);
    ASSERT_EQ(nullptr, params->m_fillControl);
    IBaseControl* control = NewCardControl(7);
    ASSERT_NE(nullptr, control);
    const tagRectF where = {1.0, 1.0, 2.0, 1.5};
    ASSERT_EQ(S_OK, control->put_Rect(where));
    site->InsertControlWOUndo(control, -1);
    control->Release();

    const CRectF sheet = site->GetTotalArea(0, 0, 0);
    const int width = static_cast<int>(sheet.right * 96) + 4;
    const int height = static_cast<int>(sheet.bottom * 96) + 4;
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC dc = ::CreateCompatibleDC(nullptr);
    HBITMAP bitmap = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(nullptr, bitmap);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    CDrawOptions* options = CDrawOptions::Create();
    options->Init(nullptr, CRect(0, 0, width, height), 1.0, 96.0, 0, nullptr, 0, 1, 1, 1, 1, nullptr, 0, 0, nullptr);
    doc->OnDraw(dc, options, site->GetID());
    ::GdiFlush();
    auto pixel = [&](int x, int y) { return static_cast<const DWORD*>(bits)[y * width + x] & 0xFFFFFF; };
    const int sheetX = static_cast<int>((sheet.left + sheet.right) / 2 * 96);
    const int sheetY = static_cast<int>(sheet.bottom * 96) - 5;
    EXPECT_EQ(0x0AC81Eu, pixel(sheetX, sheetY));   // 0xRRGGBB of the DIB: red 10, green 200, blue 30
    // The frame's left side at x = 96: dotted, so every other pixel is grey.
    int grey = 0;
    for (int y = 100; y < 140; ++y) grey += pixel(96, y) == 0x808080u;
    EXPECT_GE(grey, 15);
    EXPECT_EQ(0x0AC81Eu, pixel(120, 120));   // inside the frame the sheet shows

    delete options;
    ::SelectObject(dc, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
}

}  // namespace

// The canvas made in process: scrolling and resizing move pixels and mark only the uncovered strips,
// painting asks the listening view to redraw each dirty area and copies pixels to screens of every
// depth and to printers mirrored or turned, and a clip outline limits what a drawing leaves behind.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

#include "canvas/CanvasBitmap.h"
#include "canvas/TarnCanvas.h"
#include "render/Dither555.h"
#include "tests/ViewEventsStub.h"

namespace {
const COLORREF kWhite = RGB(255, 255, 255);
const double kPi = 3.14159265358979323846;

// A view's event sink that records the areas it is asked to redraw and runs a drawing for each.
class RecordingView : public CViewEventsStub {
public:
    std::vector<RECT> updates;
    std::function<void(const RECT&)> draw;

    STDMETHOD(UpdateCanvas)(RECT* r) override {
        updates.push_back(*r);
        if (draw) draw(*r);
        return S_OK;
    }
};

bool Same(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

class CanvasTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(S_OK, CComObject<CTarnCanvas>::CreateInstance(&object_));
        object_->AddRef();
        canvas_ = object_;
    }
    void TearDown() override {
        if (object_) object_->Release();
    }

    ImagingBitmap* Bitmap() {
        long* handle = nullptr;
        EXPECT_EQ(S_OK, canvas_->GetLeadBitmap(&handle));
        return reinterpret_cast<ImagingBitmap*>(handle);
    }
    // Pixel (x, y) of the canvas bitmap as 0x00BBGGRR.
    COLORREF Pixel(int x, int y) {
        GdiFlush();
        const unsigned char* p = ImagingPixelAddress(Bitmap(), x, y);
        return p ? RGB(p[2], p[1], p[0]) : CLR_INVALID;
    }
    void FillCanvas(const RECT& r, COLORREF colour) {
        HDC dc = nullptr;
        canvas_->GetHDC(&dc);
        HBRUSH brush = CreateSolidBrush(colour);
        FillRect(dc, &r, brush);
        DeleteObject(brush);
        GdiFlush();
    }
    std::vector<RECT> Dirty() {
        std::vector<RECT> out;
        for (int i = 0; i < object_->DirtyList().Count(); ++i) out.push_back(object_->DirtyList().At(i));
        return out;
    }

    CComObject<CTarnCanvas>* object_ = nullptr;
    ITarnCanvas* canvas_ = nullptr;
};

TEST_F(CanvasTest, EmptyCanvasRefusesWhatNeedsABitmap) {
    long* bitmap = nullptr;
    POINT offset;
    HDC dc = reinterpret_cast<HDC>(1);
    EXPECT_EQ(E_FAIL, canvas_->GetLeadBitmap(&bitmap));
    EXPECT_EQ(E_FAIL, canvas_->GetWorkLeadBitmap(&bitmap));
    EXPECT_EQ(E_FAIL, canvas_->GetOffset(&offset));
    EXPECT_EQ(E_POINTER, canvas_->GetOffset(nullptr));
    EXPECT_EQ(E_FAIL, canvas_->Invalidate());
    EXPECT_EQ(E_FAIL, canvas_->SetOffset(POINT{5, 5}, TRUE));
    EXPECT_EQ(E_FAIL, canvas_->Paint(nullptr, RECT{}, FALSE, 0.0, 0, 0));
    EXPECT_EQ(S_OK, canvas_->GetHDC(&dc));
    EXPECT_EQ(nullptr, dc);
    EXPECT_EQ(E_FAIL, canvas_->Initialize(0, 0, 10));
    EXPECT_EQ(E_FAIL, canvas_->Initialize(0, -4, 10));
    // Outside a paint, the current area is "none": the last one only when there is none.
    EXPECT_EQ(S_FALSE, canvas_->IsCurrentRectTheLastOne());
}

TEST_F(CanvasTest, InitializeMakesAWhiteBitmapAtOffsetZero) {
    ASSERT_EQ(S_OK, canvas_->Initialize(0, 40, 30));
    ImagingBitmap* b = Bitmap();
    ASSERT_NE(nullptr, b);
    EXPECT_EQ(40, b->Width);
    EXPECT_EQ(30, b->Height);
    EXPECT_EQ(24, b->BitsPerPixel);
    EXPECT_EQ(kWhite, Pixel(0, 0));
    EXPECT_EQ(kWhite, Pixel(39, 29));
    POINT o{9, 9};
    EXPECT_EQ(S_OK, canvas_->GetOffset(&o));
    EXPECT_EQ(0, o.x);
    EXPECT_EQ(0, o.y);
    EXPECT_TRUE(Dirty().empty());
    EXPECT_EQ(S_OK, canvas_->Invalidate());
    ASSERT_EQ(1u, Dirty().size());
    EXPECT_TRUE(Same(Dirty()[0], RECT{0, 0, 40, 30}));
    EXPECT_EQ(S_OK, canvas_->IsCurrentRectTheLastOne());
}

TEST_F(CanvasTest, InvalidateRectIsClippedToTheVisibleArea) {
    ASSERT_EQ(S_OK, canvas_->Initialize(0, 40, 30));
    ASSERT_EQ(S_OK, canvas_->SetOffset(POINT{100, 200}, FALSE));
    canvas_->ValidateRect(nullptr);
    RECT outside = {0, 0, 50, 50};
    EXPECT_EQ(S_OK, canvas_->InvalidateRect(&outside));
    EXPECT_TRUE(Dirty().empty());
    RECT across = {90, 190, 110, 205};
    EXPECT_EQ(S_OK, canvas_->InvalidateRect(&across));
    ASSERT_EQ(1u, Dirty().size());
    EXPECT_TRUE(Same(Dirty()[0], RECT{100, 200, 110, 205}));
    RECT clip;
    ASSERT_EQ(S_OK, canvas_->GetClippingBounds(&clip));
    EXPECT_TRUE(Same(clip, RECT{100, 200, 140, 230}));
    RECT bounds = {120, 0, 400, 215};
    canvas_->SetClipPolybezier(nullptr, 0, &bounds);
    ASSERT_EQ(S_OK, canvas_->GetClippingBounds(&clip));
    EXPECT_TRUE(Same(clip, RECT{120, 200, 140, 215}));
}

struct ScrollCase {
    const char* name;
    POINT start, to;
    std::vector<RECT> dirty;  // expected list after the scroll, from a clean list
};

class CanvasScroll : public CanvasTest, public ::testing::WithParamInterface<ScrollCase> {};

TEST_P(CanvasScroll, MovesPixelsAndMarksTheUncoveredStrips) {
    const ScrollCase& c = GetParam();
    ASSERT_EQ(S_OK, canvas_->Initialize(0, 100, 80));
    ASSERT_EQ(S_OK, canvas_->SetOffset(c.start, FALSE));
    // A marker at view point (start + 50, start + 40): the middle of the bitmap.
    FillCanvas(RECT{c.start.x + 50, c.start.y + 40, c.start.x + 51, c.start.y + 41}, RGB(255, 0, 0));
    canvas_->ValidateRect(nullptr);
    ASSERT_EQ(S_OK, canvas_->SetOffset(c.to, TRUE)) << c.name;
    std::vector<RECT> got = Dirty();
    ASSERT_EQ(c.dirty.size(), got.size()) << c.name;
    for (size_t i = 0; i < got.size(); ++i)
        EXPECT_TRUE(Same(got[i], c.dirty[i])) << c.name << " entry " << i << ": " << got[i].left << ","
                                              << got[i].top << "," << got[i].right << "," << got[i].bottom;
    POINT o;
    canvas_->GetOffset(&o);
    EXPECT_EQ(c.to.x, o.x);
    EXPECT_EQ(c.to.y, o.y);
    // The marker stays at its view point when it is still visible.
    const int mx = c.start.x + 50 - c.to.x, my = c.start.y + 40 - c.to.y;
    if (mx >= 0 && mx < 100 && my >= 0 && my < 80 && c.dirty.size() != 1u) {
        EXPECT_EQ(RGB(255, 0, 0), Pixel(mx, my)) << c.name;
    }
}

const ScrollCase kScrollCases[] = {
    {"ten pixels right", {0, 0}, {10, 0}, {{100, 0, 110, 80}}},
    {"ten pixels left", {20, 0}, {10, 0}, {{10, 0, 20, 80}}},
    {"ten pixels down", {0, 0}, {0, 10}, {{0, 80, 100, 90}}},
    {"ten pixels up", {0, 20}, {0, 10}, {{0, 10, 100, 20}}},
    {"diagonally down and right", {0, 0}, {10, 5}, {{100, 5, 110, 85}, {10, 80, 100, 85}}},
    {"diagonally up and left", {30, 30}, {20, 25}, {{20, 25, 30, 105}, {30, 25, 120, 30}}},
    {"further than the canvas", {0, 0}, {100, 0}, {{100, 0, 200, 80}}},
    {"far away", {0, 0}, {5000, -3000}, {{5000, -3000, 5100, -2920}}},
};

INSTANTIATE_TEST_SUITE_P(Cases, CanvasScroll, ::testing::ValuesIn(kScrollCases));

TEST_F(CanvasTest, ScrollKeepsClippedDirtyAreasAndDropsVanishedOnes) {
    ASSERT_EQ(S_OK, canvas_->Initialize(0, 100, 80));
    RECT left = {0, 0, 5, 5}, middle = {40, 40, 60, 60};
    canvas_->InvalidateRect(&left);
    canvas_->InvalidateRect(&middle);
    ASSERT_EQ(S_OK, canvas_->SetOffset(POINT{10, 0}, TRUE));
    const std::vector<RECT> got = Dirty();
    ASSERT_EQ(2u, got.size());
    EXPECT_TRUE(Same(got[0], middle));
    EXPECT_TRUE(Same(got[1], RECT{100, 0, 110, 80}));
    // Without copying, everything is to be redrawn.
    ASSERT_EQ(S_OK, canvas_->SetOffset(POINT{12, 0}, FALSE));
    ASSERT_EQ(1u, Dirty().size());
    EXPECT_TRUE(Same(Dirty()[0], RECT{12, 0, 112, 80}));
}

struct ResizeCase {
    const char* name;
    int cx, cy;
    std::vector<RECT> dirty;
};

class CanvasResize : public CanvasTest, public ::testing::WithParamInterface<ResizeCase> {};

TEST_P(CanvasResize, KeepsPixelsAndMarksTheNewStrips) {
    const ResizeCase& c = GetParam();
    ASSERT_EQ(S_OK, canvas_->Initialize(0, 50, 40));
    ASSERT_EQ(S_OK, canvas_->SetOffset(POINT{7, 3}, FALSE));
    FillCanvas(RECT{7, 3, 8, 4}, RGB(0, 0, 255));
    FillCanvas(RECT{30, 20, 31, 21}, RGB(0, 255, 0));
    canvas_->ValidateRect(nullptr);
    ASSERT_EQ(S_OK, canvas_->Resize(c.cx, c.cy)) << c.name;
    EXPECT_EQ(c.cx, Bitmap()->Width);
    EXPECT_EQ(RGB(0, 0, 255), Pixel(0, 0)) << c.name;
    EXPECT_EQ(RGB(0, 255, 0), Pixel(23, 17)) << c.name;
    if (c.cx > 50) EXPECT_EQ(kWhite, Pixel(c.cx - 1, 0));
    if (c.cy > 40) EXPECT_EQ(kWhite, Pixel(0, c.cy - 1));
    POINT o;
    canvas_->GetOffset(&o);
    EXPECT_EQ(7, o.x);
    EXPECT_EQ(3, o.y);
    std::vector<RECT> got = Dirty();
    ASSERT_EQ(c.dirty.size(), got.size()) << c.name;
    for (size_t i = 0; i < got.size(); ++i) EXPECT_TRUE(Same(got[i], c.dirty[i])) << c.name << " entry " << i;
}

const ResizeCase kResizeCases[] = {
    {"wider", 70, 40, {{57, 3, 77, 43}}},
    {"taller", 50, 60, {{7, 43, 57, 63}}},
    // The two strips share their corner, so they merge into one rectangle.
    {"both", 60, 45, {{7, 3, 67, 48}}},
    {"smaller", 30, 25, {}},
};

INSTANTIATE_TEST_SUITE_P(Cases, CanvasResize, ::testing::ValuesIn(kResizeCases));

TEST_F(CanvasTest, ResizeOfAnEmptyCanvasInvalidatesAllAndBadSizesFail) {
    ASSERT_EQ(S_OK, canvas_->Resize(20, 10));
    ASSERT_EQ(1u, Dirty().size());
    EXPECT_TRUE(Same(Dirty()[0], RECT{0, 0, 20, 10}));
    EXPECT_EQ(E_FAIL, canvas_->Resize(0, 10));
    EXPECT_TRUE(Dirty().empty());
    long* bitmap = nullptr;
    EXPECT_EQ(E_FAIL, canvas_->GetLeadBitmap(&bitmap));
}

// A 24- or 16-bit memory surface standing for a window's or printer's device context.
struct Target {
    CCanvasBitmap surface;
    explicit Target(int bits, int w = 60, int h = 40) {
        EXPECT_TRUE(surface.Create(w, h, bits));
        surface.FillSolid(RGB(1, 2, 3));
    }
    const unsigned char* At(int x, int y) {
        GdiFlush();
        return ImagingPixelAddress(surface.Bitmap(), x, y);
    }
    COLORREF Colour(int x, int y) {
        const unsigned char* p = At(x, y);
        return RGB(p[2], p[1], p[0]);
    }
};

TEST_F(CanvasTest, PaintAsksTheViewForEachDirtyAreaThenCopies) {
    ASSERT_EQ(S_OK, canvas_->Initialize(0, 60, 40));
    RecordingView view;
    HDC dc = nullptr;
    canvas_->GetHDC(&dc);
    std::vector<HRESULT> lastAnswers;
    view.draw = [&](const RECT&) {
        // The view paints far beyond the area: the clip keeps the rest of the bitmap as it was.
        HBRUSH brush = CreateSolidBrush(RGB(200, 0, 0));
        RECT all = {-100, -100, 200, 200};
        FillRect(dc, &all, brush);
        DeleteObject(brush);
        lastAnswers.push_back(canvas_->IsCurrentRectTheLastOne());
    };
    IConnectionPointContainer* container = nullptr;
    ASSERT_EQ(S_OK, canvas_->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container)));
    IConnectionPoint* point = nullptr;
    ASSERT_EQ(S_OK, container->FindConnectionPoint(IID_ITarnViewEvents, &point));
    DWORD cookie = 0;
    ASSERT_EQ(S_OK, point->Advise(&view, &cookie));

    RECT a = {2, 2, 6, 6}, b = {30, 20, 40, 30};
    canvas_->InvalidateRect(&a);
    canvas_->InvalidateRect(&b);
    Target screen(24);
    ASSERT_EQ(S_OK, canvas_->Paint(screen.surface.Dc(), RECT{0, 0, 60, 40}, FALSE, 0.0, 0, 0));
    ASSERT_EQ(2u, view.updates.size());
    EXPECT_TRUE(Same(view.updates[0], a));
    EXPECT_TRUE(Same(view.updates[1], b));
    EXPECT_EQ((std::vector<HRESULT>{S_OK, S_FALSE}), lastAnswers);
    EXPECT_TRUE(Dirty().empty());
    EXPECT_EQ(S_FALSE, canvas_->IsCurrentRectTheLastOne());
    EXPECT_EQ(RGB(200, 0, 0), Pixel(2, 2));
    EXPECT_EQ(RGB(200, 0, 0), Pixel(39, 29));
    EXPECT_EQ(kWhite, Pixel(6, 6));
    EXPECT_EQ(kWhite, Pixel(29, 20));
    EXPECT_EQ(RGB(200, 0, 0), screen.Colour(5, 5));
    EXPECT_EQ(kWhite, screen.Colour(10, 10));

    // A later paint without dirty areas asks nothing and copies only the given rectangle.
    FillCanvas(RECT{0, 0, 60, 40}, RGB(0, 0, 90));
    ASSERT_EQ(S_OK, canvas_->Paint(screen.surface.Dc(), RECT{50, 30, 55, 35}, FALSE, 0.0, 0, 0));
    EXPECT_EQ(2u, view.updates.size());
    EXPECT_EQ(RGB(0, 0, 90), screen.Colour(50, 30));
    EXPECT_EQ(kWhite, screen.Colour(49, 30));
    point->Unadvise(cookie);
    point->Release();
    container->Release();
}

TEST_F(CanvasTest, PaintAtAnOffsetCopiesViewCoordinates) {
    ASSERT_EQ(S_OK, canvas_->Initialize(0, 20, 20));
    ASSERT_EQ(S_OK, canvas_->SetOffset(POINT{100, 50}, FALSE));
    FillCanvas(RECT{100, 50, 101, 51}, RGB(9, 8, 7));
    HDC dc = nullptr;
    Target screen(24, 200, 100);
    ASSERT_EQ(S_OK, canvas_->Paint(screen.surface.Dc(), RECT{}, FALSE, 0.0, 0, 0));
    (void)dc;
    EXPECT_EQ(RGB(9, 8, 7), screen.Colour(100, 50));
    EXPECT_EQ(kWhite, screen.Colour(119, 69));
    EXPECT_EQ(RGB(1, 2, 3), screen.Colour(99, 50));
}

TEST_F(CanvasTest, SixteenBitScreensGetDitheredPixels) {
    ASSERT_EQ(S_OK, canvas_->Initialize(0, 16, 16));
    ASSERT_EQ(S_OK, canvas_->SetOffset(POINT{3, 1}, FALSE));
    const COLORREF grey = RGB(100, 150, 203);
    FillCanvas(RECT{3, 1, 19, 17}, grey);
    Target screen(16, 32, 32);
    const RECT area = {4, 2, 12, 10};
    ASSERT_EQ(S_OK, canvas_->Paint(screen.surface.Dc(), area, FALSE, 0.0, 0, 0));
    static const unsigned kThreshold[4][4] = {{0, 4, 1, 5}, {6, 2, 7, 3}, {1, 5, 0, 4}, {7, 3, 6, 2}};
    (void)kThreshold;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const unsigned short v = *reinterpret_cast<const unsigned short*>(screen.At(x, y));
            const bool inside = x >= area.left && x < area.right && y >= area.top && y < area.bottom;
            if (!inside) {
                // Untouched: the 5-5-5 form of the fill colour (1, 2, 3) is 0.
                EXPECT_EQ(0u, v) << x << "," << y;
                continue;
            }
            const unsigned r = (v >> 10) & 31, g = (v >> 5) & 31, b = v & 31;
            // Each channel lands on one of the two levels around its exact value.
            EXPECT_LE(std::abs(int(r) - 100 / 8), 1) << x << "," << y;
            EXPECT_LE(std::abs(int(g) - 150 / 8), 1) << x << "," << y;
            EXPECT_LE(std::abs(int(b) - 203 / 8), 1) << x << "," << y;
        }
    // The dither phase follows view coordinates: the same view pixel gives the same value
    // whatever the scroll position.
    const unsigned short before = *reinterpret_cast<const unsigned short*>(screen.At(5, 6));
    ASSERT_EQ(S_OK, canvas_->SetOffset(POINT{0, 0}, FALSE));
    FillCanvas(RECT{0, 0, 16, 16}, grey);
    Target again(16, 32, 32);
    ASSERT_EQ(S_OK, canvas_->Paint(again.surface.Dc(), area, FALSE, 0.0, 0, 0));
    EXPECT_EQ(before, *reinterpret_cast<const unsigned short*>(again.At(5, 6)));
}

struct PrinterCase {
    const char* name;
    double angle;
    long hflip, vflip;
    bool mirroredX, mirroredY;
};

class CanvasPrinterPaint : public CanvasTest, public ::testing::WithParamInterface<PrinterCase> {};

TEST_P(CanvasPrinterPaint, TurnsOrMirrorsTheBitmap) {
    const PrinterCase& c = GetParam();
    ASSERT_EQ(S_OK, canvas_->Initialize(0, 10, 6));
    ASSERT_EQ(S_OK, canvas_->SetOffset(POINT{4, 2}, FALSE));
    FillCanvas(RECT{4, 2, 5, 3}, RGB(255, 0, 0));  // bitmap pixel (0, 0)
    Target printer(24, 20, 12);
    ASSERT_EQ(S_OK, canvas_->Paint(printer.surface.Dc(), RECT{}, TRUE, c.angle, c.hflip, c.vflip)) << c.name;
    const int x = c.mirroredX ? 9 : 0, y = c.mirroredY ? 5 : 0;
    EXPECT_EQ(RGB(255, 0, 0), Pixel(x, y)) << c.name;
    EXPECT_EQ(RGB(255, 0, 0), printer.Colour(4 + x, 2 + y)) << c.name;
    int red = 0;
    for (int py = 0; py < 12; ++py)
        for (int px = 0; px < 20; ++px) red += printer.Colour(px, py) == RGB(255, 0, 0);
    EXPECT_EQ(1, red) << c.name;
    EXPECT_EQ(RGB(1, 2, 3), printer.Colour(3, 1));
    EXPECT_EQ(kWhite, printer.Colour(9, 5));
}

const PrinterCase kPrinterCases[] = {
    {"upright", 0.0, 0, 0, false, false},
    {"half turn", kPi, 0, 0, true, true},
    {"half turn mirrored left to right", kPi, 1, 0, false, true},
    {"half turn mirrored top to bottom", kPi, 0, 1, true, false},
    {"mirrored left to right", 0.0, 1, 0, true, false},
    {"mirrored top to bottom", 0.0, 0, 1, false, true},
    {"both mirrors", 0.0, 1, 1, true, true},
    {"quarter turn is not a half turn", kPi / 2, 0, 0, false, false},
};

INSTANTIATE_TEST_SUITE_P(Cases, CanvasPrinterPaint, ::testing::ValuesIn(kPrinterCases));

TEST_F(CanvasTest, ClipOutlineLimitsWhatADrawingLeaves) {
    ASSERT_EQ(S_OK, canvas_->Initialize(0, 40, 40));
    ASSERT_EQ(S_OK, canvas_->SetOffset(POINT{100, 100}, FALSE));
    // A square outline from (110, 110) to (130, 130) in view coordinates.
    const double pts[5][2] = {{110, 110}, {130, 110}, {130, 130}, {110, 130}, {110, 110}};
    SegmentDesc segs[5] = {};
    for (int i = 0; i < 4; ++i) {
        segs[i].kind = kSegmentLine;
        segs[i].pt1 = tagPointF{pts[i][0], pts[i][1]};
        segs[i].pt2 = tagPointF{pts[i + 1][0], pts[i + 1][1]};
    }
    segs[4].kind = kSegmentEnd;
    segs[4].pt1 = tagPointF{110, 110};
    RECT bounds = {110, 110, 130, 130};
    ASSERT_EQ(S_OK, canvas_->SetClipPolybezier(segs, 5, &bounds));

    tagDrawOptions options = {};
    options.UpdateRect = RECT{100, 100, 140, 140};
    options.clBackground = RGB(0, 0, 255);
    ASSERT_EQ(S_OK, canvas_->StartDrawing(&options));
    HDC work = nullptr, mainDc = nullptr;
    canvas_->GetWorkHDC(&work);
    canvas_->GetHDC(&mainDc);
    ASSERT_NE(work, mainDc);
    POINT wo;
    canvas_->GetWorkOffset(&wo);
    EXPECT_EQ(100, wo.x);
    EXPECT_EQ(99, wo.y);
    // The drawing covers the left half of the update area in green; the rest keeps the background.
    HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
    RECT half = {100, 100, 120, 140};
    FillRect(work, &half, green);
    DeleteObject(green);
    ASSERT_EQ(S_OK, canvas_->EndDrawing());
    canvas_->GetWorkHDC(&work);
    EXPECT_EQ(mainDc, work);

    EXPECT_EQ(RGB(0, 255, 0), Pixel(12, 15));   // inside the outline, drawn green
    EXPECT_EQ(RGB(0, 0, 255), Pixel(25, 15));   // inside the outline, the background
    EXPECT_EQ(kWhite, Pixel(5, 15));            // outside the outline: untouched
    EXPECT_EQ(kWhite, Pixel(35, 35));
    // The caller's outline was moved into bitmap coordinates and then forgotten.
    EXPECT_DOUBLE_EQ(10.0, segs[0].pt1.x);
    EXPECT_DOUBLE_EQ(30.0, segs[0].pt2.x);
    EXPECT_DOUBLE_EQ(0.0, segs[0].pt3.x);
    EXPECT_EQ(S_OK, canvas_->StartDrawing(&options));
    canvas_->GetWorkHDC(&work);
    EXPECT_EQ(mainDc, work);
}

TEST_F(CanvasTest, BackgroundOfAClippedDrawingComesFromTheCanvasWhenAsked) {
    ASSERT_EQ(S_OK, canvas_->Initialize(0, 20, 20));
    FillCanvas(RECT{0, 0, 20, 20}, RGB(10, 20, 30));
    SegmentDesc segs[5] = {};
    const double pts[5][2] = {{0, 0}, {20, 0}, {20, 20}, {0, 20}, {0, 0}};
    for (int i = 0; i < 4; ++i) {
        segs[i].kind = kSegmentLine;
        segs[i].pt1 = tagPointF{pts[i][0], pts[i][1]};
        segs[i].pt2 = tagPointF{pts[i + 1][0], pts[i + 1][1]};
    }
    segs[4].kind = kSegmentEnd;
    canvas_->SetClipPolybezier(segs, 5, nullptr);
    tagDrawOptions options = {};
    options.UpdateRect = RECT{0, 0, 20, 20};
    options.clBackground = 0xFFFFFFFF;
    ASSERT_EQ(S_OK, canvas_->StartDrawing(&options));
    long* work = nullptr;
    ASSERT_EQ(S_OK, canvas_->GetWorkLeadBitmap(&work));
    ImagingBitmap* wb = reinterpret_cast<ImagingBitmap*>(work);
    EXPECT_EQ(21, wb->Width);
    EXPECT_EQ(23, wb->Height);
    GdiFlush();
    const unsigned char* p = ImagingPixelAddress(wb, 3, 4);  // view pixel (3, 3)
    EXPECT_EQ(RGB(10, 20, 30), RGB(p[2], p[1], p[0]));
    ASSERT_EQ(S_OK, canvas_->EndDrawing());
    EXPECT_EQ(RGB(10, 20, 30), Pixel(10, 10));
}
}  // namespace

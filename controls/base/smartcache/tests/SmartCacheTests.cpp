// Cached redraws: a whole-pixel move repaints the kept coverage, anything else renders again; the
// coverage answers hit tests; the fast outline; the scratch overflow and an interrupted preview.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

#include "ShapeFixtures.h"

namespace {
const tagRectF kCircle{0.75, 0.5, 1.75, 1.5};  // its ellipse has a radius of 45 pixels about (125, 100)

class SmartCache : public ::testing::Test {
protected:
    void SetUp() override {
        shape_ = NewShape(kCircle);
        shape_->UseEngine(engine_.table);
        AsBase(shape_)->RegisterView(&view_);
    }
    void TearDown() override {
        shape_->UnregisterAllViews();
        shape_->Release();
    }
    // A fresh control at the shape's present place, drawn into its own canvas.
    int DifferenceFromFresh(const CTestCanvas& drawn) {
        TestShapeObject* fresh = NewShape(kCircle, shape_->ColorPart().slots[0].color);
        const CLinearTransform& t = shape_->Transform();
        fresh->SetLinearTransformParams(t.XScale, t.YScale, tagPointF{t.XOffset, t.YOffset}, t.RotateAngle, t.SkewAngle);
        CTestCanvas canvas(drawn.width, drawn.height);
        canvas.offset = drawn.offset;
        fresh->EnableCache(0);
        canvas.Draw(AsBase(fresh), nullptr);
        fresh->Release();
        return drawn.MaxDifference(canvas);
    }

    CCountingEngine engine_;
    TestShapeObject* shape_ = nullptr;
    CRecordingView view_;
    CTestCanvas canvas_{300, 200};
};

TEST_F(SmartCache, RedrawAfterAWholePixelMoveRepaintsTheCoverage) {
    canvas_.Draw(AsBase(shape_), &view_);
    EXPECT_EQ(engine_.fills, 0);
    AsBase(shape_)->MoveBy(tagSizeF{0.03, 0.02});
    canvas_.Clear();
    const int draws = engine_.draws;
    canvas_.Draw(AsBase(shape_), &view_);
    EXPECT_EQ(engine_.fills, 1) << "painted from the cache";
    EXPECT_EQ(engine_.draws, draws) << "the strips exposed hold nothing of the shape";
    EXPECT_LE(DifferenceFromFresh(canvas_), 1);
}

TEST_F(SmartCache, AWorkBitmapThatStartsElsewhereGetsTheSamePicture) {
    // The canvas hands out a work bitmap starting 20 pixels right and 10 down of its origin.
    CTestCanvas work(300, 200);
    work.workShift = POINT{20, 10};
    work.Draw(AsBase(shape_), &view_);
    AsBase(shape_)->MoveBy(tagSizeF{0.03, 0.01});
    work.Clear();
    const int fills = engine_.fills;
    work.Draw(AsBase(shape_), &view_);
    EXPECT_EQ(engine_.fills, fills + 1) << "painted from the cache";
    // The reference: the same control drawn fresh where the work bitmap starts at the origin.
    TestShapeObject* fresh = NewShape(kCircle);
    AsBase(fresh)->MoveBy(tagSizeF{0.03, 0.01});
    CTestCanvas whole(300, 200);
    whole.Draw(AsBase(fresh), nullptr);
    int worst = 0;
    for (int y = 0; y < 190; ++y)
        for (int x = 0; x < 280; ++x) {
            const COLORREF a = work.Pixel(x, y), b = whole.Pixel(x + 20, y + 10);
            worst = std::max({worst, std::abs(GetRValue(a) - GetRValue(b)), std::abs(GetGValue(a) - GetGValue(b)),
                              std::abs(GetBValue(a) - GetBValue(b))});
        }
    EXPECT_LE(worst, 1);
    // The coverage is kept in canvas pixels: hit tests do not see the work bitmap's start.
    EXPECT_EQ(AsBase(shape_)->ContainsPoint(tagPointF{1.28, 1.01}, 0, &view_), S_OK);
    EXPECT_EQ(AsBase(shape_)->ContainsPoint(tagPointF{0.83, 0.56}, 0, &view_), S_FALSE);
    fresh->Release();
}

TEST_F(SmartCache, WhatKeepsTheCacheAndWhatDiscardsIt) {
    struct Case {
        const char* what;
        std::function<void(TestShapeObject*)> change;
        double zoom;
        bool cached;
    } const cases[] = {
        {"3.004 pixels", [](TestShapeObject* s) { AsBase(s)->MoveBy(tagSizeF{0.03004, 0}); }, 1.0, true},
        {"3.5 pixels", [](TestShapeObject* s) { AsBase(s)->MoveBy(tagSizeF{0.035, 0}); }, 1.0, false},
        {"zoom", [](TestShapeObject*) {}, 1.25, false},
        {"rotation", [](TestShapeObject* s) { AsBase(s)->RotateBy(0.3, tagPointF{1.25, 1}); }, 1.0, false},
        {"fill colour", [](TestShapeObject* s) {
             s->ColorPart().slots[0].color = RGB(20, 180, 60);
             AsBase(s)->Invalidate();
         }, 1.0, true},
    };
    for (const Case& c : cases) {
        TearDown();
        SetUp();
        canvas_.Clear();
        canvas_.Draw(AsBase(shape_), &view_);
        c.change(shape_);
        const int fills = engine_.fills;
        canvas_.Clear();
        canvas_.Draw(AsBase(shape_), &view_, c.zoom);
        EXPECT_EQ(engine_.fills > fills, c.cached) << c.what;
        // A move of 3.004 pixels is painted 0.004 pixels off: at most a step of coverage apart.
        if (c.zoom == 1.0) EXPECT_LE(DifferenceFromFresh(canvas_), c.cached && c.what[0] == '3' ? 2 : 1) << c.what;
    }
    // The new fill colour shows through the cache.
    EXPECT_EQ(canvas_.Pixel(125, 100), RGB(20, 180, 60));
}

TEST_F(SmartCache, ScratchOverflowTurnsTheCacheOffAndDrawsTheSamePixels) {
    shape_->SetScratchSize(600);
    canvas_.Draw(AsBase(shape_), &view_);
    EXPECT_FALSE(shape_->IsCacheEnabled());
    EXPECT_EQ(AsRectCache(shape_)->CacheEnabled(), S_FALSE);
    EXPECT_EQ(shape_->CacheRecord(&view_)->coverage, nullptr);
    EXPECT_LE(DifferenceFromFresh(canvas_), 0);
}

TEST_F(SmartCache, CoverageHitTestsAgreeWithTheCircle) {
    canvas_.Draw(AsBase(shape_), &view_);
    ASSERT_NE(shape_->CacheRecord(&view_)->coverage, nullptr);
    int checked = 0;
    for (int y = 40; y <= 160; y += 3)
        for (int x = 60; x <= 190; x += 3) {
            const double d = std::hypot(x + 0.5 - 125, y + 0.5 - 100);
            if (std::fabs(d - 45) < 2) continue;
            const HRESULT hr = AsBase(shape_)->ContainsPoint(tagPointF{x / 100.0, y / 100.0}, 0, &view_);
            EXPECT_EQ(hr, d < 45 ? S_OK : S_FALSE) << x << "," << y;
            ++checked;
        }
    EXPECT_GT(checked, 1000);
    // The corner of the frame is outside the circle: only the frame test would say yes.
    EXPECT_EQ(AsBase(shape_)->OverlapsWithRect(tagRectF{0.76, 0.51, 0.8, 0.55}, &view_), S_FALSE);
    EXPECT_EQ(AsBase(shape_)->OverlapsWithRect(tagRectF{1.2, 0.9, 1.3, 1.1}, &view_), S_OK);
    // Without a rendering for a view the engine's point test answers from the path: the frame's
    // corner is outside the circle, its centre inside, and a point beyond the frame outside.
    EXPECT_EQ(AsBase(shape_)->ContainsPoint(tagPointF{0.77, 0.52}, 0, nullptr), S_FALSE);
    EXPECT_EQ(AsBase(shape_)->ContainsPoint(tagPointF{1.25, 1.0}, 0, nullptr), S_OK);
    EXPECT_EQ(AsBase(shape_)->ContainsPoint(tagPointF{0.7, 0.52}, 0, nullptr), S_FALSE);
}

TEST_F(SmartCache, HitTestsFollowTheControlBeforeTheNextRedraw) {
    canvas_.Draw(AsBase(shape_), &view_);
    AsBase(shape_)->MoveBy(tagSizeF{0.5, 0});  // no redraw yet
    EXPECT_EQ(AsBase(shape_)->ContainsPoint(tagPointF{1.25, 1.0}, 0, &view_), S_FALSE) << "where it was";
    EXPECT_EQ(AsBase(shape_)->ContainsPoint(tagPointF{1.75, 1.0}, 0, &view_), S_OK) << "where it is";
    EXPECT_EQ(AsBase(shape_)->OverlapsWithRect(tagRectF{1.7, 0.95, 1.8, 1.05}, &view_), S_OK);
    EXPECT_EQ(AsBase(shape_)->OverlapsWithRect(tagRectF{1.0, 0.95, 1.1, 1.05}, &view_), S_FALSE) << "where it was";
    // A turn leaves the kept coverage useless for tests: the frame answers until the next drawing.
    AsBase(shape_)->RotateBy(0.5, tagPointF{1.75, 1.0});
    EXPECT_EQ(AsBase(shape_)->ContainsPoint(tagPointF{1.75, 1.0}, 0, &view_), S_OK);
}

TEST_F(SmartCache, FastOutlineDrawsTheFrameAboveThirtyTwoSubPaths) {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, 300, 200);
    HGDIOBJ old = SelectObject(dc, bitmap);
    const double identity[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    struct Case {
        int rows, columns;
        int polyDraws;
    } const cases[] = {{3, 11, 0}, {4, 8, 1}, {1, 1, 1}};
    for (const Case& c : cases) {
        shape_->rows = c.rows;
        shape_->columns = c.columns;
        shape_->RebuildPath(true);
        ASSERT_EQ(shape_->Path().Count(), c.rows * c.columns);
        const int before = engine_.polyDraws;
        tagDrawOptions options = canvas_.Options(&view_);
        options.m_Canvas = nullptr;
        AsBase(shape_)->DrawOutlineFast(dc, &options, &view_, const_cast<double*>(identity));
        EXPECT_EQ(engine_.polyDraws - before, c.polyDraws) << c.rows * c.columns << " sub-paths";
    }
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

TEST_F(SmartCache, AStoppedPreviewKeepsNoCoverage) {
    HANDLE stop = CreateEventA(nullptr, TRUE, TRUE, nullptr);
    AsBase(shape_)->put_PreviewMode(1);
    tagDrawOptions options = canvas_.Options(&view_);
    options.hStopEvent = reinterpret_cast<LONG_PTR>(stop);
    AsBase(shape_)->Draw(&options);
    EXPECT_EQ(shape_->CacheRecord(&view_)->coverage, nullptr);
    EXPECT_EQ(canvas_.Pixel(125, 100), RGB(255, 255, 255)) << "nothing drawn after the stop";
    CloseHandle(stop);
}
}  // namespace

// Bitmap-cached drawing of the image-like kinds: the view's bitmap is reused while it serves, made
// again when the control's device size changes or it moves, and its alpha answers hit tests.
#include <gtest/gtest.h>

#include <cmath>

#include "BitmapCachedControl.h"
#include "RectFixtures.h"

namespace {
// {9E4F0C3A-61B2-4D77-8A15-0B3C2D9E7F44}
const CLSID CLSID_TestImage = {0x9e4f0c3a, 0x61b2, 0x4d77, {0x8a, 0x15, 0x0b, 0x3c, 0x2d, 0x9e, 0x7f, 0x44}};

// An opaque red disc filling the frame's ellipse; the corners stay transparent.
class CTestImage : public CBitmapCachedControl {
public:
    const CLSID& GetControlClsid() const override { return CLSID_TestImage; }
    void RenderIntoBitmap(ImagingBitmap& bitmap, POINT origin, double scale) override {
        ++renders;
        const double cx = transform_.XOffset, cy = transform_.YOffset;
        const double a = std::fabs(transform_.XScale), b = std::fabs(transform_.YScale);
        ImagingAccessScope access(&bitmap);
        for (int y = 0; y < bitmap.Height; ++y)
            for (int x = 0; x < bitmap.Width; ++x) {
                const double dx = ((origin.x + x + 0.5) / scale - cx) / a, dy = ((origin.y + y + 0.5) / scale - cy) / b;
                if (dx * dx + dy * dy > 1) continue;
                unsigned char* p = ImagingPixelAddress(&bitmap, x, y);
                p[0] = 0, p[1] = 0, p[2] = 255, p[3] = 255;
            }
    }
    int renders = 0;
};
typedef CComObject<CTestImage> TestImageObject;

class BitmapCache : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(TestImageObject::CreateInstance(&image_), S_OK);
        image_->AddRef();
        image_->InitNew();
        image_->put_Rect(tagRectF{0.5, 0.5, 1.5, 1.3});
        base_ = static_cast<IBaseControl*>(image_);
        base_->RegisterView(&view_);
    }
    void TearDown() override {
        image_->UnregisterAllViews();
        image_->Release();
    }
    TestImageObject* image_ = nullptr;
    IBaseControl* base_ = nullptr;
    CRecordingView view_;
    CTestCanvas canvas_{200, 160};
};

TEST_F(BitmapCache, TheViewsBitmapServesUntilTheControlChanges) {
    canvas_.Draw(base_, &view_);
    EXPECT_EQ(image_->renders, 1);
    EXPECT_EQ(canvas_.Pixel(100, 90), RGB(255, 0, 0));
    EXPECT_EQ(canvas_.Pixel(52, 52), RGB(255, 255, 255)) << "the transparent corner shows the canvas";
    canvas_.Clear();
    canvas_.Draw(base_, &view_);
    EXPECT_EQ(image_->renders, 1) << "reused";
    EXPECT_EQ(canvas_.Pixel(100, 90), RGB(255, 0, 0));
    base_->MoveBy(tagSizeF{0.1, 0});
    canvas_.Draw(base_, &view_);
    EXPECT_EQ(image_->renders, 2) << "a change frees the bitmaps";
    canvas_.Draw(base_, &view_, 1.5);
    EXPECT_EQ(image_->renders, 3) << "another device size";
}

TEST_F(BitmapCache, AlphaAnswersTheHitTests) {
    canvas_.Draw(base_, &view_);
    EXPECT_EQ(base_->ContainsPoint(tagPointF{1.0, 0.9}, 0, &view_), S_OK);
    EXPECT_EQ(base_->ContainsPoint(tagPointF{0.52, 0.52}, 0, &view_), S_FALSE) << "inside the frame, transparent";
    EXPECT_EQ(base_->ContainsPoint(tagPointF{0.52, 0.52}, 0, nullptr), S_OK) << "no view: the frame answers";
    EXPECT_EQ(base_->ContainsPoint(tagPointF{1.7, 0.9}, 0, &view_), S_FALSE);
    EXPECT_EQ(base_->OverlapsWithRect(tagRectF{0.5, 0.5, 0.55, 0.55}, &view_), S_FALSE);
    EXPECT_EQ(base_->OverlapsWithRect(tagRectF{0.9, 0.8, 1.1, 1.0}, &view_), S_OK);
}

TEST_F(BitmapCache, WithoutAViewATemporaryBitmapIsDrawn) {
    canvas_.Draw(base_, nullptr);
    EXPECT_EQ(canvas_.Pixel(100, 90), RGB(255, 0, 0));
    EXPECT_EQ(canvas_.Pixel(52, 52), RGB(255, 255, 255));
    canvas_.Draw(base_, nullptr);
    EXPECT_EQ(image_->renders, 2) << "nothing is kept without a view";
}
}  // namespace

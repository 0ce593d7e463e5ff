// The rendering object forwards to the engine and keeps the application interface for the controls.
#include <gtest/gtest.h>

#include <string>

#include "RenderingFixtures.h"
#include "canvas/CanvasBitmap.h"
#include "render/FillInfo.h"
#include "render/PathBoolean.h"
#include "rendering/TarnRendering.h"
#include "tarn/ControlsModuleState.h"

namespace {

const double kTranslate3[9] = {1, 0, 3, 0, 1, 3, 0, 0, 1};

class RenderingTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(S_OK, CComObject<CTarnRendering>::CreateInstance(&object_));
        object_->AddRef();
    }
    void TearDown() override { object_->Release(); }
    CComObject<CTarnRendering>* object_ = nullptr;
};

TEST_F(RenderingTest, HardwareCheckAnswersOk) {
    BSTR text = nullptr;
    EXPECT_EQ(S_OK, object_->CheckHardwareCompatibility(&text));
    ASSERT_NE(nullptr, text);
    EXPECT_STREQ(L"ok", text);
    SysFreeString(text);
    EXPECT_EQ(E_POINTER, object_->CheckHardwareCompatibility(nullptr));
    EXPECT_FALSE(HardwareRefusalText().empty());
}

// The refusal text comes from the resource library; the built-in text stands in only where the
// library lacks it.
TEST(HardwareRefusal, TextComesFromTheResourceLibraryElseTheBuiltInOne) {
    HMODULE library = LoadLibraryA("TarnObjRes.dll");
    ASSERT_NE(nullptr, library);
    const HINSTANCE before = ControlsResourceInstance();
    char stored[1024];
    const int storedLength = LoadStringA(library, 21298, stored, sizeof stored);
    ASSERT_GT(storedLength, 0) << "the resource library holds the refusal text";
    const std::wstring fromLibrary(stored, stored + storedLength);

    SetControlsResourceInstance(library);
    EXPECT_EQ(fromLibrary, HardwareRefusalText());
    // This test program has no string table: the built-in text stands in, never an empty message.
    SetControlsResourceInstance(GetModuleHandleA(nullptr));
    const std::wstring fallback = HardwareRefusalText();
    EXPECT_FALSE(fallback.empty());
    EXPECT_NE(fromLibrary, fallback);
    SetControlsResourceInstance(before);
    FreeLibrary(library);
}

TEST_F(RenderingTest, OutlineWidthRangeWritesOnlyWhatIsAskedFor) {
    double low = -5, high = -5;
    EXPECT_EQ(S_OK, object_->GetMinMaxOutlineWidth(nullptr, &high));
    EXPECT_EQ(1.0, high);
    EXPECT_EQ(S_OK, object_->GetMinMaxOutlineWidth(&low, nullptr));
    EXPECT_EQ(0.0, low);
    EXPECT_EQ(S_OK, object_->GetMinMaxOutlineWidth(nullptr, nullptr));
}

TEST_F(RenderingTest, ApplicationInterfaceIsKeptWithoutAReference) {
    struct CountingUnknown : IUnknown {
        ULONG refs = 1;
        STDMETHOD(QueryInterface)(REFIID, void** ppv) override { *ppv = nullptr; return E_NOINTERFACE; }
        STDMETHOD_(ULONG, AddRef)() override { return ++refs; }
        STDMETHOD_(ULONG, Release)() override { return --refs; }
    } app;
    EXPECT_EQ(S_OK, object_->SetTarnApp(&app));
    EXPECT_EQ(reinterpret_cast<ITarnApp*>(&app), GetTarnApp());
    EXPECT_EQ(1u, app.refs);
    EXPECT_EQ(S_OK, object_->SetTarnApp(nullptr));
    EXPECT_EQ(nullptr, GetTarnApp());
}

TEST_F(RenderingTest, PointInPathAnswersOkInsideAndFalseOutsideWhicheverHand) {
    SquareRecords square(5, 5, 10);
    SegmentDesc* segs = square.records;
    for (long hand : {0L, 1L}) {
        EXPECT_EQ(S_OK, object_->PtInPolyBezier(tagPointF{10, 10}, segs, 5, hand));
        EXPECT_EQ(S_FALSE, object_->PtInPolyBezier(tagPointF{2, 10}, segs, 5, hand));
        EXPECT_EQ(S_FALSE, object_->PtInPolyBezier(tagPointF{10, 10}, segs, 0, hand));
        EXPECT_EQ(S_FALSE, object_->PtInPolyBezier(tagPointF{10, 10}, nullptr, 5, hand));
    }
}

// The matrix travels by value; only a blend flag of exactly 1 blends (into 24 bits).
TEST_F(RenderingTest, TransformBitmapDrawsThroughTheMatrixAndBlendsOnlyForOne) {
    FilledBitmap source(4, 4, 32, RGB(255, 0, 0));
    RECT clip = {0, 0, 10, 10};
    FilledBitmap copy(10, 10, 32, RGB(0, 0, 0));
    EXPECT_EQ(S_OK, object_->TransformBitmap(source.Handle(), copy.Handle(), &clip,
                                             reinterpret_cast<long*>(const_cast<double*>(kTranslate3)), 0, 0));
    EXPECT_EQ(255, copy.Red(4, 4));
    EXPECT_EQ(0, copy.Red(2, 2));
    FilledBitmap blended(10, 10, 24, RGB(0, 0, 0)), notBlended(10, 10, 24, RGB(0, 0, 0));
    EXPECT_EQ(S_OK, object_->TransformBitmap(source.Handle(), blended.Handle(), &clip,
                                             reinterpret_cast<long*>(const_cast<double*>(kTranslate3)), 2, 1));
    EXPECT_EQ(255, blended.Red(4, 4));
    EXPECT_EQ(S_OK, object_->TransformBitmap(source.Handle(), notBlended.Handle(), &clip,
                                             reinterpret_cast<long*>(const_cast<double*>(kTranslate3)), 2, 2));
    EXPECT_EQ(0, notBlended.Red(4, 4)) << "a 24-bit destination takes only blending";
    EXPECT_EQ(E_POINTER, object_->TransformBitmap(source.Handle(), copy.Handle(), &clip, nullptr, 0, 0));
    EXPECT_EQ(E_POINTER, object_->TransformBitmap(source.Handle(), copy.Handle(), nullptr,
                                                  reinterpret_cast<long*>(const_cast<double*>(kTranslate3)), 0, 0));
    EXPECT_EQ(S_OK, object_->TransformBitmap(nullptr, nullptr, &clip,
                                             reinterpret_cast<long*>(const_cast<double*>(kTranslate3)), 0, 0));
}

// Two squares combined through the interface's untyped arrays; a failed combination leaves no blocks.
TEST_F(RenderingTest, BooleanOperationAnswersOkWithBlocksOrFailWithNone) {
    SquareRecords square1(5, 5, 10), square2(10, 5, 10);
    SegmentDesc* first = square1.records;
    SegmentDesc* second = square2.records;
    SegmentDesc* arrays1[1] = {first};
    SegmentDesc* arrays2[1] = {second};
    long counts1[1] = {5}, counts2[1] = {5};
    SegmentDesc** out = nullptr;
    SegmentDesc* buffer = nullptr;
    int* counts = nullptr;
    long arrays = 0;
    EXPECT_EQ(S_OK, object_->BooleanOperation(reinterpret_cast<LONG_PTR*>(arrays1), counts1, 1,
                                              reinterpret_cast<LONG_PTR*>(arrays2), counts2, 1,
                                              reinterpret_cast<LONG_PTR*>(&out), reinterpret_cast<LONG_PTR*>(&buffer),
                                              reinterpret_cast<LONG_PTR*>(&counts), &arrays, BooleanUnion, 0));
    ASSERT_EQ(1, arrays);
    ASSERT_NE(nullptr, out);
    EXPECT_EQ(out[0], buffer);
    EXPECT_EQ(kSegmentEnd, buffer[counts[0] - 1].kind);
    delete[] out;
    delete[] buffer;
    delete[] counts;
    counts1[0] = 5;
    EXPECT_EQ(E_FAIL, object_->BooleanOperation(reinterpret_cast<LONG_PTR*>(arrays1), counts1, 1,
                                                reinterpret_cast<LONG_PTR*>(arrays2), counts2, 1,
                                                reinterpret_cast<LONG_PTR*>(&out), reinterpret_cast<LONG_PTR*>(&buffer),
                                                reinterpret_cast<LONG_PTR*>(&counts), &arrays, 7, 0));
    EXPECT_EQ(nullptr, out);
    EXPECT_EQ(nullptr, buffer);
    EXPECT_EQ(nullptr, counts);
}

TEST_F(RenderingTest, NotYetBuiltEntriesRefusePlainly) {
    EXPECT_EQ(E_NOTIMPL, object_->LoadDIB(nullptr, nullptr));
    EXPECT_EQ(E_NOTIMPL, object_->CheckAlpha(nullptr));
    EXPECT_EQ(E_NOTIMPL, object_->ParseEnhMetafile(0, tagPointF{0, 0}, tagPointF{1, 1}, nullptr));
}

TEST_F(RenderingTest, AntialiasedDrawFillsThePath) {
    CCanvasBitmap target;
    ASSERT_TRUE(target.Create(20, 20));
    target.FillSolid(RGB(255, 255, 255));
    SquareRecords square(5, 5, 10);
    SegmentDesc* segs = square.records;
    FillInfo fill = {};
    fill.FillType = FillSolid;
    fill.FillColor = RGB(0, 0, 200);
    fill.OutlineType = OutlineNone;
    RECT clip = {0, 0, 20, 20};
    GdiFlush();
    EXPECT_EQ(S_OK, object_->DrawAntialiasedPolyBezier(reinterpret_cast<long*>(target.Bitmap()), &clip, segs, 5,
                                                       reinterpret_cast<long*>(&fill)));
    const unsigned char* in = ImagingPixelAddress(target.Bitmap(), 10, 10);
    const unsigned char* out = ImagingPixelAddress(target.Bitmap(), 2, 2);
    EXPECT_EQ(200, in[0]);
    EXPECT_EQ(0, in[2]);
    EXPECT_EQ(255, out[0]);
    EXPECT_EQ(255, out[2]);
}
TEST_F(RenderingTest, PolyDrawDrawsLinesAndCurvesAndRefusesBadInput) {
    CCanvasBitmap target;
    ASSERT_TRUE(target.Create(20, 20));
    target.FillSolid(RGB(255, 255, 255));
    POINT points[] = {{2, 10}, {17, 10}, {17, 2}, {17, 2}, {17, 2}};
    BYTE types[] = {PT_MOVETO, PT_LINETO, PT_BEZIERTO, PT_BEZIERTO, PT_BEZIERTO};
    EXPECT_EQ(S_OK, object_->PolyDrawW95(target.Dc(), reinterpret_cast<long*>(points), reinterpret_cast<long*>(types), 2));
    GdiFlush();
    const unsigned char* on = ImagingPixelAddress(target.Bitmap(), 10, 10);
    const unsigned char* off = ImagingPixelAddress(target.Bitmap(), 10, 5);
    EXPECT_EQ(0, on[0]);
    EXPECT_EQ(255, off[0]);
    // A curve needs its three points: a broken type list draws nothing and fails.
    EXPECT_EQ(E_FAIL, object_->PolyDrawW95(target.Dc(), reinterpret_cast<long*>(points), reinterpret_cast<long*>(types), 4));
    EXPECT_EQ(E_FAIL, object_->PolyDrawW95(nullptr, reinterpret_cast<long*>(points), reinterpret_cast<long*>(types), 2));
    EXPECT_EQ(E_FAIL, object_->PolyDrawW95(target.Dc(), nullptr, nullptr, 2));
}

// The server's own entries make both objects, plain and as the inner part of an aggregate.
TEST(ServerEntries, CanvasAndRenderingAreMadeThroughTheServer) {
    HMODULE server = LoadLibraryA("TarnControls.dll");
    ASSERT_NE(nullptr, server);
    typedef HRESULT(STDAPICALLTYPE * GetClassObject)(REFCLSID, REFIID, void**);
    auto entry = reinterpret_cast<GetClassObject>(GetProcAddress(server, "DllGetClassObject"));
    ASSERT_NE(nullptr, entry);
    struct Outer : IUnknown {
        STDMETHOD(QueryInterface)(REFIID, void** ppv) override { *ppv = nullptr; return E_NOINTERFACE; }
        STDMETHOD_(ULONG, AddRef)() override { return 2; }
        STDMETHOD_(ULONG, Release)() override { return 1; }
    } outer;
    for (const CLSID* clsid : {&CLSID_TarnCanvas, &CLSID_TarnRendering}) {
        IClassFactory* factory = nullptr;
        ASSERT_EQ(S_OK, entry(*clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory)));
        IUnknown* plain = nullptr;
        ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&plain)));
        const IID& face = clsid == &CLSID_TarnCanvas ? IID_ITarnCanvas : IID_ITarnRendering;
        IUnknown* typed = nullptr;
        EXPECT_EQ(S_OK, plain->QueryInterface(face, reinterpret_cast<void**>(&typed)));
        if (typed) typed->Release();
        EXPECT_EQ(0u, plain->Release());
        IUnknown* inner = nullptr;
        EXPECT_EQ(S_OK, factory->CreateInstance(&outer, IID_IUnknown, reinterpret_cast<void**>(&inner)));
        ASSERT_NE(nullptr, inner);
        EXPECT_EQ(0u, inner->Release());
        factory->Release();
    }
    {
        ITarnRendering* rendering = nullptr;
        IClassFactory* factory = nullptr;
        ASSERT_EQ(S_OK, entry(CLSID_TarnRendering, IID_IClassFactory, reinterpret_cast<void**>(&factory)));
        ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_ITarnRendering, reinterpret_cast<void**>(&rendering)));
        BSTR text = nullptr;
        EXPECT_EQ(S_OK, rendering->CheckHardwareCompatibility(&text));
        EXPECT_STREQ(L"ok", text);
        SysFreeString(text);
        // The engine's entries answer through the server as they do in process.
        SquareRecords square(5, 5, 10);
        SegmentDesc* segs = square.records;
        EXPECT_EQ(S_OK, rendering->PtInPolyBezier(tagPointF{10, 10}, segs, 5, 0));
        EXPECT_EQ(S_FALSE, rendering->PtInPolyBezier(tagPointF{20, 10}, segs, 5, 1));
        FilledBitmap source(4, 4, 32, RGB(255, 0, 0)), dest(10, 10, 32, RGB(0, 0, 0));
        RECT clip = {0, 0, 10, 10};
        EXPECT_EQ(S_OK, rendering->TransformBitmap(source.Handle(), dest.Handle(), &clip,
                                                   reinterpret_cast<long*>(const_cast<double*>(kTranslate3)), 1, 0));
        EXPECT_EQ(255, dest.Red(6, 6));
        EXPECT_EQ(0, dest.Red(7, 7));
        rendering->Release();
        factory->Release();
    }
}
}  // namespace

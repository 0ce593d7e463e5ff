// Writes what the independent Python check of the rectangular layer reads:
//   transforms <file>          one line per operation: name, arguments, the six values, four corners
//   records <first> <second>   a control's saved stream, and the stream saved again after loading it
//   handles <size.bmp> <transform.bmp> <drag.bmp>   the handles drawn into a white 24-bit memory
//                              bitmap, and the outline of a resize held half way
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "RectFixtures.h"

namespace {
bool WriteFile(const wchar_t* path, const std::vector<BYTE>& bytes) {
    FILE* file = _wfopen(path, L"wb");
    if (!file) return false;
    const size_t written = std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    return written == bytes.size();
}

void Line(FILE* out, TestRectObject* control, const char* op, const std::vector<double>& args) {
    const CLinearTransform& t = control->Transform();
    std::fprintf(out, "%s", op);
    for (double a : args) std::fprintf(out, " %.17g", a);
    std::fprintf(out, " |");
    for (double v : {t.XOffset, t.YOffset, t.XScale, t.YScale, t.RotateAngle, t.SkewAngle}) std::fprintf(out, " %.17g", v);
    std::fprintf(out, " |");
    tagPointF c[4];
    CornersOf(control, c);
    for (const tagPointF& p : c) std::fprintf(out, " %.17g %.17g", p.x, p.y);
    std::fprintf(out, "\n");
}

int Transforms(const wchar_t* path) {
    FILE* out = _wfopen(path, L"w");
    if (!out) return 1;
    TestRectObject* control = NewRectControl(false, tagRectF{1, 2, 4, 3});
    IBaseControl* base = AsBase(control);
    IRectangularControl* rect = AsRect(control);
    Line(out, control, "start", {});
    rect->put_RotateAngle(0.7);
    Line(out, control, "put_RotateAngle", {0.7});
    rect->put_SkewAngle(0.3);
    Line(out, control, "put_SkewAngle", {0.3});
    rect->put_XScale(-1.25);
    Line(out, control, "put_XScale", {-1.25});
    rect->put_YScale(0.8);
    Line(out, control, "put_YScale", {0.8});
    base->FlipHorizontally();
    Line(out, control, "flipH", {});
    base->FlipHorizontally();
    Line(out, control, "flipH", {});
    base->FlipVertically();
    Line(out, control, "flipV", {});
    base->FlipVertically();
    Line(out, control, "flipV", {});
    base->RotateBy(2.5, tagPointF{-1, 4});
    Line(out, control, "rotate", {2.5, -1, 4});
    base->RotateBy(-7.0, tagPointF{3, 3});
    Line(out, control, "rotate", {-7.0, 3, 3});
    base->RotateBy180();
    Line(out, control, "rotate180", {});
    base->put_Rect(tagRectF{-2, -1, 3, 5});
    Line(out, control, "rect", {-2, -1, 3, 5});
    base->ScaleBy(1.5, -0.5);
    Line(out, control, "scale", {1.5, -0.5});
    base->SkewBy(1.1, 0.2, -0.3, tagPointF{0.5, 0.25});
    Line(out, control, "skew", {1.1, 0.2, -0.3, 0.5, 0.25});
    base->MoveBy(tagSizeF{0.125, -3});
    Line(out, control, "move", {0.125, -3});
    base->put_Rect(tagRectF{0, 0, 1, 1});
    Line(out, control, "rect", {0, 0, 1, 1});
    control->Release();
    std::fclose(out);
    return 0;
}

int Records(const wchar_t* first, const wchar_t* second) {
    TestRectObject* control = NewRectControl(false);
    AsRect(control)->SetLinearTransformParams(1.5, 0.5, tagPointF{2, 3}, 0.4, 0.2);
    AsRect(control)->put_RotationPoint(tagPointF{2.5, 3.25});
    const std::vector<BYTE> bytes = SavedBytes(AsBase(control));
    control->Release();
    TestRectObject* copy = nullptr;
    TestRectObject::CreateInstance(&copy);
    copy->AddRef();
    IStream* stream = StreamOf(bytes);
    const HRESULT hr = copy->Load(stream);
    stream->Release();
    const std::vector<BYTE> again = SavedBytes(AsBase(copy));
    copy->Release();
    return SUCCEEDED(hr) && WriteFile(first, bytes) && WriteFile(second, again) ? 0 : 1;
}

bool SaveBitmap(const wchar_t* path, HBITMAP bitmap, const void* bits, int w, int h) {
    (void)bitmap;
    const int stride = (w * 3 + 3) & ~3;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = w;
    info.biHeight = -h;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + stride * h;
    std::vector<BYTE> bytes(file.bfSize);
    std::memcpy(bytes.data(), &file, sizeof file);
    std::memcpy(bytes.data() + sizeof file, &info, sizeof info);
    std::memcpy(bytes.data() + file.bfOffBits, bits, stride * h);
    return WriteFile(path, bytes);
}

int Handles(const wchar_t* sizePath, const wchar_t* transformPath, const wchar_t* dragPath) {
    UseServerResources();
    CRecordingView view;
    TestRectObject* control = NewRectControl(false, tagRectF{0.5, 0.25, 2.5, 1.25});
    AsBase(control)->put_Active(&view, 1);
    const int w = 320, h = 160;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bitmap);
    tagDrawOptions options{};
    options.ZoomValue = 1;
    options.PixelsPerInch = 100;
    options.m_pCallingView = &view;
    bool ok = true;
    for (int mode = 0; mode < 3; ++mode) {
        if (mode == 2) {
            // Back to size handles, then a resize from corner 4 held half way: only its outline shows.
            LRESULT result = 0;
            AsBase(control)->OnWindowMessage(WM_LBUTTONDOWN, MK_LBUTTON, PixelAt(80, 75), &result, &view);
            AsBase(control)->OnWindowMessage(WM_LBUTTONUP, 0, PixelAt(80, 75), &result, &view);
            AsBase(control)->OnWindowMessage(WM_LBUTTONDOWN, MK_LBUTTON, PixelAt(257, 132), &result, &view);
            AsBase(control)->OnWindowMessage(WM_MOUSEMOVE, MK_LBUTTON, PixelAt(307, 157), &result, &view);
        }
        if (mode == 1) {
            // A click inside switches the active control to its transform handles.
            LRESULT result = 0;
            AsBase(control)->OnWindowMessage(WM_LBUTTONDOWN, MK_LBUTTON, PixelAt(80, 75), &result, &view);
            AsBase(control)->OnWindowMessage(WM_LBUTTONUP, 0, PixelAt(80, 75), &result, &view);
        }
        RECT all{0, 0, w, h};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        AsBase(control)->DrawUIShapes(dc, &view, &options);
        GdiFlush();
        ok = ok && SaveBitmap(mode == 0 ? sizePath : mode == 1 ? transformPath : dragPath, bitmap, bits, w, h);
    }
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    AsBase(control)->put_Active(&view, 0);
    control->UnregisterAllViews();
    control->Release();
    return ok ? 0 : 1;
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
    CoInitialize(nullptr);
    int result = 2;
    const std::wstring mode = argc > 1 ? argv[1] : L"";
    if (mode == L"transforms" && argc == 3)
        result = Transforms(argv[2]);
    else if (mode == L"records" && argc == 4)
        result = Records(argv[2], argv[3]);
    else if (mode == L"handles" && argc == 5)
        result = Handles(argv[2], argv[3], argv[4]);
    else
        std::fprintf(stderr, "usage: TarnRectSamples transforms <file> | records <a> <b> | handles <a.bmp> <b.bmp> <c.bmp>\n");
    CoUninitialize();
    return result;
}

// Writes colour and effect record streams for the independent reader, and re-saves streams made
// elsewhere: "write <folder>" or "resave <in> <out>".
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "ColorPart.h"
#include "EffectPart.h"
#include "RecordStreams.h"

namespace {

bool WriteFile(const std::wstring& path, const std::vector<BYTE>& bytes) {
    FILE* file = _wfopen(path.c_str(), L"wb");
    if (!file) return false;
    const size_t written = bytes.empty() ? 0 : std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    return written == bytes.size();
}

bool ReadFile(const std::wstring& path, std::vector<BYTE>& bytes) {
    FILE* file = _wfopen(path.c_str(), L"rb");
    if (!file) return false;
    BYTE buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.insert(bytes.end(), buffer, buffer + n);
    std::fclose(file);
    return true;
}

std::vector<BYTE> Saved(CColorPart& color, CEffectPart& effect) {
    IStream* stream = NewMemoryStream();
    HRESULT hr = color.SaveProperties(stream);
    if (SUCCEEDED(hr)) hr = effect.SaveProperties(stream);
    if (SUCCEEDED(hr)) hr = WriteRecordTerminator(stream);
    std::vector<BYTE> bytes = SUCCEEDED(hr) ? StreamBytes(stream) : std::vector<BYTE>();
    stream->Release();
    return bytes;
}

int WriteSamples(const std::wstring& folder) {
    struct Sample {
        const wchar_t* name;
        void (*make)(CColorPart&, CEffectPart&);
    } const samples[] = {
        {L"fresh.bin", [](CColorPart&, CEffectPart&) {}},
        {L"linear.bin",
         [](CColorPart& c, CEffectPart& e) {
             CColorPart::Slot& s = c.slots[0];
             s.fillType = kFillLinear;
             s.color1 = 0x0000FF;
             s.color2 = 0xFF0000;
             s.gradParamType = 1;
             s.bound[0] = tagPointF{0.5, 0.25};
             s.gradAngle = 30;
             s.bindRotation = 0;
             s.gradDensity = 2.5;
             s.hasOutline = 1;
             s.outlineWidth = 0.0625;
             s.outlineColor = 0x00FF00;
             s.outlineStyle = 2;
             e.SetEffectNumber(7);
         }},
        {L"mask.bin",
         [](CColorPart& c, CEffectPart& e) {
             c.slots[0].color = 0x0000FF;
             CColorPart::Slot& m = c.slots[1];
             m.fillType = kFillElliptic;
             m.gradCX = -40;
             m.gradCY = 100;
             m.gradType = 1;
             m.gradCyclic = 0;
             e.SetEffectNumber(kEffectCustom);
             e.SetCurveCount(2);
             e.PutCurve(0, 0, EffectCurve{{{-1, 1}, {-0.5, 1.5}, {0.5, 0.5}, {1, 1}}});
             e.PutCurve(1, 3, EffectCurve{{{-1, -1}, {-1.25, 0}, {-0.75, 0.5}, {-1, 1}}});
         }},
    };
    for (const Sample& s : samples) {
        CColorPart color;
        CEffectPart effect;
        s.make(color, effect);
        if (!WriteFile(folder + L"\\" + s.name, Saved(color, effect))) return 1;
    }
    return 0;
}

int Resave(const std::wstring& in, const std::wstring& out) {
    std::vector<BYTE> bytes;
    if (!ReadFile(in, bytes)) return 1;
    CTarnPropertyBag bag;
    if (FAILED(BagFromBytes(bytes, bag))) return 3;
    CColorPart color;
    CEffectPart effect;
    if (FAILED(color.LoadProperties(bag)) || FAILED(effect.LoadProperties(bag))) return 3;
    return WriteFile(out, Saved(color, effect)) ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 3 && std::wstring(argv[1]) == L"write") return WriteSamples(argv[2]);
    if (argc == 4 && std::wstring(argv[1]) == L"resave") return Resave(argv[2], argv[3]);
    std::fprintf(stderr, "usage: shape-records-sample write <folder> | resave <in> <out>\n");
    return 2;
}

// Writes a sample compound file through ZStorage for the independent format check:
//   mosk-sample-writer <file>
// Every stream's content follows from its name and size (see Sample), so the checker can rebuild it.
#include <windows.h>
#include <objbase.h>
#include <propidl.h>
#include <cstdio>
#include <cstdint>
#include <string>
#include <vector>
#include <atlbase.h>
#include "Mosk.h"

namespace {

// Text-like bytes for kind 0, noise from a linear congruential generator for kind 1.
std::vector<std::uint8_t> Sample(std::size_t size, int kind, std::uint32_t seed) {
    std::vector<std::uint8_t> out(size);
    std::uint32_t x = seed;
    for (std::size_t i = 0; i < size; ++i) {
        if (kind == 0) {
            out[i] = static_cast<std::uint8_t>("abcdefgh ij\n"[(i * 7 + seed + (i >> 6)) % 12]);
        } else {
            x = x * 1103515245u + 12345u;
            out[i] = static_cast<std::uint8_t>(x >> 16);
        }
    }
    return out;
}

struct Fail {
    std::string what;
    HRESULT hr;
};

void Check(HRESULT hr, const char* what) {
    if (FAILED(hr)) throw Fail{what, hr};
}

void WriteStream(IStorage* storage, const wchar_t* name, const std::vector<std::uint8_t>& bytes,
                 std::size_t chunk = 0) {
    CComPtr<IStream> stream;
    Check(storage->CreateStream(name, STGM_CREATE | STGM_WRITE | STGM_SHARE_EXCLUSIVE, 0, 0, &stream), "CreateStream");
    std::size_t step = chunk ? chunk : bytes.size();
    for (std::size_t at = 0; at < bytes.size(); at += step) {
        ULONG length = static_cast<ULONG>(std::min(step, bytes.size() - at));
        ULONG written = 0;
        Check(stream->Write(bytes.data() + at, length, &written), "Write");
        if (written != length) throw Fail{"short write", E_FAIL};
    }
}

int Run(const wchar_t* path) {
    HMODULE module = ::LoadLibraryW(L"Mosk.dll");
    if (!module) throw Fail{"cannot load Mosk.dll", HRESULT_FROM_WIN32(::GetLastError())};
    auto getClassObject = reinterpret_cast<HRESULT(WINAPI*)(REFCLSID, REFIID, void**)>(
        reinterpret_cast<void*>(::GetProcAddress(module, "DllGetClassObject")));
    if (!getClassObject) throw Fail{"DllGetClassObject missing", E_FAIL};
    CComPtr<IClassFactory> factory;
    Check(getClassObject(CLSID_ZStorage, IID_IClassFactory, reinterpret_cast<void**>(&factory)), "DllGetClassObject");

    CComPtr<IStorage> root;
    Check(::StgCreateDocfile(path, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, &root), "StgCreateDocfile");
    CComPtr<IZStorage> storage;
    Check(factory->CreateInstance(nullptr, IID_IZStorage, reinterpret_cast<void**>(&storage)), "CreateInstance");
    Check(storage->put_Donor(root), "put_Donor");

    WriteStream(storage, L"Contents", Sample(100000, 0, 1));
    WriteStream(storage, L"Empty", {});
    WriteStream(storage, L"Tiny", Sample(7, 1, 2));
    WriteStream(storage, L"Noise", Sample(70000, 1, 3), 4096);
    {
        CComPtr<IStorage> sounds;
        Check(storage->CreateStorage(L"Sounds", STGM_CREATE | STGM_WRITE | STGM_SHARE_EXCLUSIVE, 0, 0, &sounds),
              "CreateStorage");
        WriteStream(sounds, L"Sound0000", Sample(30000, 1, 4));
        WriteStream(sounds, L"Sound0001", Sample(1, 0, 5));
        CComPtr<IStorage> deep;
        Check(sounds->CreateStorage(L"Deep", STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, 0, &deep),
              "CreateStorage");
        WriteStream(deep, L"Leaf", Sample(5000, 0, 6), 1000);
    }
    {
        CComPtr<IPropertySetStorage> sets;
        Check(storage->QueryInterface(IID_IPropertySetStorage, reinterpret_cast<void**>(&sets)), "IPropertySetStorage");
        CComPtr<IPropertyStorage> summary;
        Check(sets->Create(FMTID_SummaryInformation, nullptr, PROPSETFLAG_ANSI,
                           STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, &summary),
              "property set");
        PROPSPEC propSpec;
        propSpec.ulKind = PRSPEC_PROPID;
        propSpec.propid = PIDSI_TITLE;
        PROPVARIANT value;
        PropVariantInit(&value);
        value.vt = VT_LPSTR;
        value.pszVal = const_cast<char*>("Mosk sample");
        Check(summary->WriteMultiple(1, &propSpec, &value, PID_FIRST_USABLE), "WriteMultiple");
        Check(summary->Commit(STGC_DEFAULT), "property Commit");
    }
    Check(storage->Commit(STGC_DEFAULT), "Commit");
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: mosk-sample-writer <file>\n");
        return 2;
    }
    if (FAILED(::CoInitialize(nullptr))) return 3;
    int result = 1;
    try {
        result = Run(argv[1]);
    } catch (const Fail& failure) {
        std::fprintf(stderr, "mosk-sample-writer: %s failed (0x%08lx)\n", failure.what.c_str(),
                     static_cast<unsigned long>(failure.hr));
    }
    ::CoUninitialize();
    return result;
}

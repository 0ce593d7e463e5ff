// A stand-in for the drawing-controls server, copied under its name into a scratch folder by the
// start-up check. TARN_HOST_TEST_MODE picks how it fails:
//   register-fails          registration answers E_FAIL and registers nothing;
//   hardware-refuses        the rendering object's hardware check refuses with its own text;
//   second-creation-fails   the first rendering object is made, every later one is refused.
#include <windows.h>

#include <cstring>
#include <string>

#include "TarnControls.h"

namespace {
const CLSID kRenderingClass = {0x7627C150, 0xA27F, 0x11D3, {0xA6, 0xD1, 0x00, 0xA0, 0xC9, 0x43, 0xF4, 0xD3}};
const IID kRenderingInterface = {0x47810E00, 0xA279, 0x11D3, {0xA6, 0xD1, 0x00, 0xA0, 0xC9, 0x43, 0xF4, 0xD3}};
const char kClassKey[] = "CLSID\\{7627C150-A27F-11D3-A6D1-00A0C943F4D3}";
HMODULE g_module = nullptr;
int g_creations = 0;

std::string Mode() {
    char buffer[64] = {};
    GetEnvironmentVariableA("TARN_HOST_TEST_MODE", buffer, sizeof(buffer));
    return buffer;
}

class Rendering : public ITarnRendering {
public:
    virtual ~Rendering() = default;
    STDMETHOD(QueryInterface)(REFIID iid, void** ppv) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, kRenderingInterface)) {
            *ppv = this;
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHOD_(ULONG, AddRef)() override { return ++refs_; }
    STDMETHOD_(ULONG, Release)() override {
        const ULONG left = --refs_;
        if (!left) delete this;
        return left;
    }
    STDMETHOD(DrawAntialiasedPolyBezier)(long*, RECT*, SegmentDesc*, long, long*) override { return E_NOTIMPL; }
    STDMETHOD(PtInPolyBezier)(tagPointF, SegmentDesc*, long, long) override { return E_NOTIMPL; }
    STDMETHOD(LoadDIB)(long*, long*) override { return E_NOTIMPL; }
    STDMETHOD(CheckAlpha)(long*) override { return E_NOTIMPL; }
    STDMETHOD(TransformBitmap)(long*, long*, RECT*, long*, long, long) override { return E_NOTIMPL; }
    STDMETHOD(AlphaBlendBitmapRects)(long*, long, long, long, long, long*, long, long) override { return E_NOTIMPL; }
    STDMETHOD(CheckHardwareCompatibility)(BSTR* text) override {
        const bool refuse = Mode() == "hardware-refuses";
        *text = SysAllocString(refuse ? L"This processor cannot draw cards." : L"ok");
        return refuse ? E_FAIL : S_OK;
    }
    STDMETHOD(ParseEnhMetafile)(LONG_PTR, tagPointF, tagPointF, IControlArray**) override { return E_NOTIMPL; }
    STDMETHOD(SetTarnApp)(IUnknown*) override { return S_OK; }
    STDMETHOD(BooleanOperation)(LONG_PTR*, long*, long, LONG_PTR*, long*, long, LONG_PTR*, LONG_PTR*, LONG_PTR*,
                                long*, long, long) override {
        return E_NOTIMPL;
    }
    STDMETHOD(PolyDrawW95)(HDC, long*, long*, long) override { return E_NOTIMPL; }
    STDMETHOD(GetMinMaxOutlineWidth)(double*, double*) override { return E_NOTIMPL; }

private:
    ULONG refs_ = 1;
};

class Factory : public IClassFactory {
public:
    STDMETHOD(QueryInterface)(REFIID iid, void** ppv) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
            *ppv = this;
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHOD_(ULONG, AddRef)() override { return 2; }
    STDMETHOD_(ULONG, Release)() override { return 1; }
    STDMETHOD(CreateInstance)(IUnknown* outer, REFIID iid, void** ppv) override {
        *ppv = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        if (Mode() == "second-creation-fails" && g_creations++ >= 1) return E_OUTOFMEMORY;
        Rendering* object = new Rendering;
        const HRESULT hr = object->QueryInterface(iid, ppv);
        object->Release();
        return hr;
    }
    STDMETHOD(LockServer)(BOOL) override { return S_OK; }
} g_factory;
}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) g_module = instance;
    return TRUE;
}

STDAPI DllCanUnloadNow() { return S_FALSE; }

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** ppv) {
    if (!IsEqualCLSID(clsid, kRenderingClass)) {
        *ppv = nullptr;
        return CLASS_E_CLASSNOTAVAILABLE;
    }
    return g_factory.QueryInterface(iid, ppv);
}

STDAPI DllRegisterServer() {
    if (Mode() == "register-fails") return E_FAIL;
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(g_module, path, MAX_PATH);
    HKEY key = nullptr;
    const std::string server = std::string(kClassKey) + "\\InprocServer32";
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, server.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return E_FAIL;
    RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(path), n + 1);
    RegCloseKey(key);
    return S_OK;
}

STDAPI DllUnregisterServer() { return RegDeleteTreeA(HKEY_CLASSES_ROOT, kClassKey) == ERROR_SUCCESS ? S_OK : E_FAIL; }

// ITarnApp: what the drawing controls ask of the application, answered from the unit table and the
// controls' option values.
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "MeasurementUnits.h"
#include "OptionsManager.h"
#include "TarnApp.h"
#include "UnitText.h"

STDMETHODIMP_(ULONG) CTarnApp::XTarnApp::AddRef() {
    METHOD_PROLOGUE(CTarnApp, TarnApp)
    return pThis->ExternalAddRef();
}

STDMETHODIMP_(ULONG) CTarnApp::XTarnApp::Release() {
    METHOD_PROLOGUE(CTarnApp, TarnApp)
    return pThis->ExternalRelease();
}

STDMETHODIMP CTarnApp::XTarnApp::QueryInterface(REFIID iid, LPVOID* ppv) {
    METHOD_PROLOGUE(CTarnApp, TarnApp)
    return static_cast<HRESULT>(pThis->ExternalQueryInterface(&iid, ppv));
}

STDMETHODIMP CTarnApp::XTarnApp::GetNextMeasurementUnit(MeasurementUnit* unit, MeasurementUnit** next) {
    if (!next) return E_POINTER;
    *next = ::GetNextMeasurementUnit(unit);
    return S_OK;
}

STDMETHODIMP CTarnApp::XTarnApp::GetDefaultMeasurementUnit(MeasurementUnit** unit) {
    if (!unit) return E_POINTER;
    *unit = ::GetDefaultMeasurementUnit();
    return S_OK;
}

STDMETHODIMP CTarnApp::XTarnApp::ParseUnitsText(LPSTR text, LONG flag, double* value) {
    if (!value) return E_POINTER;
    const double parsed = text ? ::ParseUnitsText(text, flag) : -HUGE_VAL;
    // A text that does not parse counts as nothing.
    *value = parsed == -HUGE_VAL ? 0.0 : parsed;
    return S_OK;
}

namespace {
// The options manager cuts a value to the buffer it is given and then answers FALSE, so the buffer
// grows until the value fits whole; nothing is ever written past what was allocated.
const size_t kLargestValue = 1 << 20;

template <class Read>
bool ReadGrowing(std::vector<BYTE>& buffer, Read read) {
    for (size_t size = 256; size <= kLargestValue; size *= 4) {
        buffer.assign(size, 0);
        if (read(buffer.data(), static_cast<int>(size))) return true;
    }
    return false;
}
}  // namespace

STDMETHODIMP CTarnApp::XTarnApp::GetValueText(LPCSTR name, BSTR* text) {
    METHOD_PROLOGUE(CTarnApp, TarnApp)
    if (!text) return E_POINTER;
    *text = nullptr;
    COptionsManager* options = pThis->m_pOptionsManager;
    std::vector<BYTE> buffer;
    if (!options || !name || !ReadGrowing(buffer, [&](BYTE* data, int size) {
            return options->VC_GetValue(name, reinterpret_cast<char*>(data), size) != FALSE;
        }))
        return E_FAIL;
    const char* value = reinterpret_cast<const char*>(buffer.data());
    const int length = MultiByteToWideChar(CP_ACP, 0, value, -1, nullptr, 0);
    *text = SysAllocStringLen(nullptr, static_cast<UINT>(length > 0 ? length - 1 : 0));
    if (!*text) return E_OUTOFMEMORY;
    if (length > 1) MultiByteToWideChar(CP_ACP, 0, value, -1, *text, length);
    return S_OK;
}

STDMETHODIMP CTarnApp::XTarnApp::GetValueInt(LPCSTR name, int* value) {
    METHOD_PROLOGUE(CTarnApp, TarnApp)
    if (!value) return E_POINTER;
    return pThis->m_pOptionsManager && name && pThis->m_pOptionsManager->VC_GetValue(name, value) ? S_OK : E_FAIL;
}

// The block is allocated to the stored size (CoTaskMemAlloc; the caller frees it).
STDMETHODIMP CTarnApp::XTarnApp::GetValueBlock(LPCSTR name, BYTE** block, LONG* length) {
    METHOD_PROLOGUE(CTarnApp, TarnApp)
    if (!block || !length) return E_POINTER;
    *block = nullptr;
    *length = 0;
    COptionsManager* options = pThis->m_pOptionsManager;
    if (!options || !name) return E_FAIL;
    auto fits = [&](std::vector<BYTE>& buffer, size_t size) {
        buffer.assign(size ? size : 1, 0);
        return options->VC_GetValue(name, static_cast<void*>(buffer.data()), static_cast<int>(size)) != FALSE;
    };
    std::vector<BYTE> buffer;
    // The manager tells only whether a block fits: the smallest size that fits is its length.
    size_t low = 0, high = 256;
    if (!fits(buffer, 0)) {
        while (!fits(buffer, high)) {
            if (high >= kLargestValue) return E_FAIL;
            low = high;
            high *= 4;
        }
        while (high - low > 1) {
            const size_t middle = low + (high - low) / 2;
            if (fits(buffer, middle))
                high = middle;
            else
                low = middle;
        }
    } else {
        high = 0;
    }
    if (!fits(buffer, high)) return E_FAIL;
    *block = static_cast<BYTE*>(CoTaskMemAlloc(high ? high : 1));
    if (!*block) return E_OUTOFMEMORY;
    if (high) std::memcpy(*block, buffer.data(), high);
    *length = static_cast<LONG>(high);
    return S_OK;
}

STDMETHODIMP CTarnApp::XTarnApp::SetValueText(LPCSTR name, LPCSTR text, LONG hive, LONG level) {
    METHOD_PROLOGUE(CTarnApp, TarnApp)
    return pThis->m_pOptionsManager && pThis->m_pOptionsManager->VC_SetValue(name, text, hive, level) ? S_OK
                                                                                                          : E_FAIL;
}

STDMETHODIMP CTarnApp::XTarnApp::SetValueInt(LPCSTR name, int value, LONG hive, LONG level) {
    METHOD_PROLOGUE(CTarnApp, TarnApp)
    return pThis->m_pOptionsManager && pThis->m_pOptionsManager->VC_SetValue(name, value, hive, level) ? S_OK
                                                                                                          : E_FAIL;
}

STDMETHODIMP CTarnApp::XTarnApp::SetValueBlock(LPCSTR name, BYTE* block, LONG length, LONG hive, LONG level) {
    METHOD_PROLOGUE(CTarnApp, TarnApp)
    return pThis->m_pOptionsManager && pThis->m_pOptionsManager->VC_SetValue(name, static_cast<const void*>(block), length, hive, level)
               ? S_OK
               : E_FAIL;
}

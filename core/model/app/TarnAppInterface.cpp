// ITarnApp: what the drawing controls ask of the application, answered from the unit table and the
// controls' option values.
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "MeasurementUnits.h"
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

STDMETHODIMP CTarnApp::XTarnApp::GetValueText(LPCSTR name, BSTR* text) {
    METHOD_PROLOGUE(CTarnApp, TarnApp)
    if (!text) return E_POINTER;
    *text = nullptr;
    std::string value;
    if (!pThis->m_pOptionsManager || !name || !pThis->m_pOptionsManager->GetControlsText(name, value)) return E_FAIL;
    const int length = MultiByteToWideChar(CP_ACP, 0, value.data(), static_cast<int>(value.size()), nullptr, 0);
    *text = SysAllocStringLen(nullptr, static_cast<UINT>(length));
    if (!*text) return E_OUTOFMEMORY;
    MultiByteToWideChar(CP_ACP, 0, value.data(), static_cast<int>(value.size()), *text, length);
    return S_OK;
}

STDMETHODIMP CTarnApp::XTarnApp::GetValueInt(LPCSTR name, int* value) {
    METHOD_PROLOGUE(CTarnApp, TarnApp)
    if (!value) return E_POINTER;
    return pThis->m_pOptionsManager && name && pThis->m_pOptionsManager->GetControlsInt(name, value) ? S_OK : E_FAIL;
}

// The block is allocated to the stored size (CoTaskMemAlloc; the caller frees it), so a long
// stored value can never run past what the caller receives.
STDMETHODIMP CTarnApp::XTarnApp::GetValueBlock(LPCSTR name, BYTE** block, LONG* length) {
    METHOD_PROLOGUE(CTarnApp, TarnApp)
    if (!block || !length) return E_POINTER;
    *block = nullptr;
    *length = 0;
    std::vector<BYTE> value;
    if (!pThis->m_pOptionsManager || !name || !pThis->m_pOptionsManager->GetControlsBlock(name, value)) return E_FAIL;
    *block = static_cast<BYTE*>(CoTaskMemAlloc(value.empty() ? 1 : value.size()));
    if (!*block) return E_OUTOFMEMORY;
    if (!value.empty()) std::memcpy(*block, value.data(), value.size());
    *length = static_cast<LONG>(value.size());
    return S_OK;
}

STDMETHODIMP CTarnApp::XTarnApp::SetValueText(LPCSTR name, LPCSTR text, LONG hive, LONG level) {
    METHOD_PROLOGUE(CTarnApp, TarnApp)
    return pThis->m_pOptionsManager && pThis->m_pOptionsManager->SetControlsText(name, text, hive, level) ? S_OK
                                                                                                          : E_FAIL;
}

STDMETHODIMP CTarnApp::XTarnApp::SetValueInt(LPCSTR name, int value, LONG hive, LONG level) {
    METHOD_PROLOGUE(CTarnApp, TarnApp)
    return pThis->m_pOptionsManager && pThis->m_pOptionsManager->SetControlsInt(name, value, hive, level) ? S_OK
                                                                                                          : E_FAIL;
}

STDMETHODIMP CTarnApp::XTarnApp::SetValueBlock(LPCSTR name, BYTE* block, LONG length, LONG hive, LONG level) {
    METHOD_PROLOGUE(CTarnApp, TarnApp)
    return pThis->m_pOptionsManager && pThis->m_pOptionsManager->SetControlsBlock(name, block, length, hive, level)
               ? S_OK
               : E_FAIL;
}

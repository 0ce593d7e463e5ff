#include "notificator/NewControlNotificator.h"

STDMETHODIMP CNewControlNotificator::GetWindow(HWND* window) {
    if (!window) return E_POINTER;
    *window = nullptr;
    return E_FAIL;
}

STDMETHODIMP CNewControlNotificator::GetDropTarget(IDropTarget** target) {
    if (!target) return E_POINTER;
    *target = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CNewControlNotificator::OnWindowMessage(UINT msg, WPARAM, LPARAM lParam, LRESULT* result) {
    LRESULT answer = 0;
    bool handled = false;
    switch (msg) {
    case kStartInsertingMessage:
        handled = StartInserting(reinterpret_cast<const NewControlRequest*>(lParam), &answer);
        break;
    case kStopInsertingMessage:
        currentTool_ = 0;
        answer = 1;
        handled = true;
        break;
    default:
        break;
    }
    if (result) *result = answer;
    return handled ? S_OK : S_FALSE;
}

bool CNewControlNotificator::StartInserting(const NewControlRequest* request, LRESULT* result) {
    // A request the notificator cannot act on is still its own message: nothing is registered.
    *result = TRUE;
    if (!request) return true;
    IControlInserter* inserter = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_ControlInserter, nullptr, CLSCTX_INPROC_SERVER, IID_IControlInserter,
                                  reinterpret_cast<void**>(&inserter))) ||
        !inserter)
        return true;
    if (inserter->put_ControlCLSID(const_cast<GUID*>(request->controlClsid)) != S_OK ||
        inserter->put_DefaultProperties(request->defaultProperties) != S_OK ||
        inserter->put_ControlID(request->controlId) != S_OK) {
        inserter->Release();
        return true;
    }
    ForEachSink([inserter](ITarnViewEvents* view) { view->RegisterNewControlInserter(inserter); });
    currentTool_ = LOWORD(static_cast<DWORD>(request->controlId));
    inserter->Release();
    *result = currentTool_ != 0;
    return currentTool_ != 0;
}

STDMETHODIMP CNewControlNotificator::Update(LONG_PTR lParam, long* enabled, long* checked, long* radio) {
    if (!enabled || !checked || !radio) return E_POINTER;
    const ULONG_PTR value = static_cast<ULONG_PTR>(lParam);
    *enabled = 1;
    *radio = 0;
    *checked = value > 0xFFFF && (value >> 16) == currentTool_ ? 1 : 0;
    return S_OK;
}

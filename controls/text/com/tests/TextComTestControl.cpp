#include "TextComTestControl.h"

HRESULT CTextComTestControl::QueryControlInterface(REFIID iid, void** ppv) {
    if (SUCCEEDED(QueryTextInterface(iid, ppv))) return S_OK;
    return CTextTestControl::QueryControlInterface(iid, ppv);
}

TextComTestControlObject* NewTextComTestControl() {
    TextComTestControlObject* object = nullptr;
    if (FAILED(TextComTestControlObject::CreateInstance(&object))) return nullptr;
    object->AddRef();
    return object;
}

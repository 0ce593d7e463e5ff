#include "ComControlList.h"

CComControlList::CComControlList() : CTypedPtrList<CPtrList, IBaseControl*>(10) {}

CComControlList::~CComControlList() = default;

void CComControlList::OnDestroy()
{
    POSITION pos = GetHeadPosition();
    while (pos)
        OnDelete(GetNext(pos));
}

int CComControlList::Delete(IBaseControl* c)
{
    POSITION pos = Find(c);
    if (!pos)
        return 0;
    OnDelete(c);
    RemoveAt(pos);
    if (IsEmpty()) {
        RemoveAll();
        OnEmpty();
    }
    return 1;
}

int CComControlList::Add(IBaseControl* c, int unique)
{
    if (unique && Find(c))
        return 0;
    OnAdd(c);
    AddTail(c);
    return 1;
}

int CComControlList::Switch(IBaseControl* c)
{
    if (Find(c)) {
        Delete(c);
        return 0;
    }
    OnAdd(c);
    AddTail(c);
    return 1;
}

CComControlList& CComControlList::operator=(CComControlList& other)
{
    if (&other == this)
        return other;  // replacing a list by itself would release what it then adds back
    while (!IsEmpty()) {
        IBaseControl* c = RemoveHead();
        OnDelete(c);
    }
    RemoveAll();
    OnEmpty();
    POSITION pos = other.GetHeadPosition();
    while (pos)
        Add(other.GetNext(pos), 0);
    return other;
}

void CComControlList::OnDelete(IBaseControl* c)
{
    if (c)
        c->Release();
}

void CComControlList::OnAdd(IBaseControl* c)
{
    if (c)
        c->AddRef();
}

void CComControlList::OnEmpty() {}

STDMETHODIMP CComControlList::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown)) {
        *object = static_cast<IUnknown*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CComControlList::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&m_refs));
}

STDMETHODIMP_(ULONG) CComControlList::Release()
{
    const LONG left = InterlockedDecrement(&m_refs);
    if (left == 0) {
        OnDestroy();
        delete this;
    }
    return static_cast<ULONG>(left);
}

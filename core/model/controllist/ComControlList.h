#pragma once
#include <windows.h>

#include "ClCollTempl.h"
#include "ClCollections.h"
#include "TarnApi.h"
#include "TarnControls.h"  // IBaseControl

// An ordered list of drawing controls holding one reference on each element it added. Subclasses
// change what adding and removing means through the On* hooks. The list can be handed out as an
// IUnknown: its count starts at 0 and the final Release lets go of every control and deletes it.
class TARN_API CComControlList : public CTypedPtrList<CPtrList, IBaseControl*>, public IUnknown {
public:
    CComControlList();
    // Frees the nodes without releasing the controls: holders call OnDestroy first.
    ~CComControlList() override;
    CComControlList(const CComControlList&) = delete;
    CComControlList& operator=(const CComControlList&) = delete;

    // Releases every element once (the nodes stay); used just before the list is deleted.
    virtual void OnDestroy();
    // Removes the first occurrence; 0 when c is not in the list.
    virtual int Delete(IBaseControl* c);
    // Appends c; with unique nonzero does nothing and answers 0 when c is already there.
    virtual int Add(IBaseControl* c, int unique);
    // Removes c when present (0), else appends it (1).
    virtual int Switch(IBaseControl* c);
    // Replaces the elements by other's, in order.
    virtual CComControlList& operator=(CComControlList& other);
    virtual void OnDelete(IBaseControl* c);
    virtual void OnAdd(IBaseControl* c);
    virtual void OnEmpty();

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

private:
    LONG m_refs = 0;
};

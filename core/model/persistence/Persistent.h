#pragma once
#include "ClObject.h"
#include "ClString.h"
#include "PointerArray.h"
#include "TarnApi.h"

class CArchive;
class CRegistry;
class CTarnPropertyBag;
class CPersistent;

// Makes a new element of a persistent collection; a member of the calling object, so that a
// subclass decides the element class.
typedef CPersistent* (CPersistent::*PersistentCreator)();

typedef CPointerArray<CPersistent, 1> CPersistentArray;

// Base of every object of the framework that is stored in a document (as keyed property records
// on the stream under the archive) or in the registry (as values under one key).
class TARN_API CPersistent : public CObject {
    DECLARE_DYNCREATE(CPersistent)
public:
    CPersistent();
    ~CPersistent() override;

    void Serialize(CArchive& ar) override;

    virtual void InitNew();
    virtual BOOL Load(CRegistry* registry);
    virtual BOOL Store(CRegistry* registry);
    virtual bool Equal(const CPersistent& other) const;
    virtual void Duplicate(const CPersistent* source);
    virtual void MovePropertyToUnread(CTarnPropertyBag* bag, char* name);
    virtual HRESULT OnPropSave(IStream* stream);
    virtual HRESULT OnPropLoad(CTarnPropertyBag* bag);
    virtual HRESULT SavePersistArray(IStream* stream, CString name, CPersistentArray& array);
    virtual HRESULT LoadPersistArray(BYTE* data, ULONG size, CPersistentArray& array, PersistentCreator creator);
    virtual HRESULT SavePersist(IStream* stream, const char* name, long id, CObject* object);
    virtual HRESULT SavePersist(IStream* stream, long id, CObject* object);
    virtual HRESULT SavePersist(IStream* stream, const char* name, CObject* object);
    virtual HRESULT LoadPersist(BYTE* data, ULONG size, CObject* object);
    virtual BOOL LoadSubkeys(CRegistry* registry, CPersistentArray& array, CString name, PersistentCreator creator,
                             bool container);
    virtual BOOL StoreSubkeys(CRegistry* registry, CPersistentArray& array, CString name, bool container);

    bool operator==(const CPersistent& other) const { return Equal(other); }
    bool operator!=(const CPersistent& other) const { return !Equal(other); }

    // Records kept by MovePropertyToUnread; null until the first one.
    CTarnPropertyBag* GetUnreadProperties() const { return m_unread; }

private:
    CTarnPropertyBag* m_unread = nullptr;
};

// Writes one property record: by id (the pointer carries the 32-bit id, written as the key) or by
// name. Returns the first failing result of the stream's Write and writes nothing further.
TARN_API HRESULT __SaveProp(IStream* stream, const char* name, const void* data, ULONG size, bool byId);
TARN_API HRESULT __SaveProp(IStream* stream, long id, const void* data, ULONG size);

// The archive's class tag, then the object's Serialize.
TARN_API void WriteObjectWithClass(CArchive& ar, CObject* object);
// Reads a class tag of any registered class, creates the object and runs its Serialize; on an
// exception of the class library the half-read object is deleted, the pointer nulled, and the
// exception rethrown.
TARN_API void ReadObjectWithClass(CArchive& ar, CObject*& object);
TARN_API void DuplicatePersistent(CPersistent*& target, const CPersistent* source);

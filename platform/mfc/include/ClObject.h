#pragma once
// CObject and CRuntimeClass: run-time type information, dynamic creation and the class records
// that archives name when they store objects.
#include "ClassLibExport.h"

class CObject;
class CArchive;
class CDumpContext;

// A schema number with this bit set lets a class read any stored version of itself;
// CArchive::GetObjectSchema tells the object which one it is reading.
#define VERSIONABLE_SCHEMA (0x80000000)

struct CLASSLIB_API CRuntimeClass
{
    LPCSTR m_lpszClassName;
    int m_nObjectSize;
    UINT m_wSchema;                              // 0xFFFF: not archivable
    CObject* (PASCAL* m_pfnCreateObject)();      // null: not dynamically creatable
    CRuntimeClass* (PASCAL* m_pfnGetBaseClass)();

    CObject* CreateObject() const;
    BOOL IsDerivedFrom(const CRuntimeClass* pBaseClass) const;
    CRuntimeClass* GetBaseClass() const { return m_pfnGetBaseClass ? m_pfnGetBaseClass() : nullptr; }

    // Archive form of a class record: u16 schema, u16 name length, the name.
    void Store(CArchive& ar) const;
    // Reads a class record and finds the registered class; null when the record is malformed
    // or names no registered class. *pwSchemaNum receives the stored schema.
    static CRuntimeClass* PASCAL Load(CArchive& ar, UINT* pwSchemaNum);

    // The registered class of that exact name, or null.
    static CRuntimeClass* PASCAL FromName(LPCSTR lpszClassName);
};

// Adds a class to the process-wide list for the life of the module that defines it.
struct CLASSLIB_API AFX_CLASSINIT
{
    explicit AFX_CLASSINIT(CRuntimeClass* pNewClass);
    ~AFX_CLASSINIT();
    AFX_CLASSINIT(const AFX_CLASSINIT&) = delete;
    AFX_CLASSINIT& operator=(const AFX_CLASSINIT&) = delete;
private:
    CRuntimeClass* m_pClass;
};

#define RUNTIME_CLASS(class_name) ((CRuntimeClass*)(&class_name::class##class_name))

#define DECLARE_DYNAMIC(class_name) \
public: \
    static const CRuntimeClass class##class_name; \
    static CRuntimeClass* PASCAL _GetBaseClass(); \
    virtual CRuntimeClass* GetRuntimeClass() const;

#define DECLARE_DYNCREATE(class_name) \
    DECLARE_DYNAMIC(class_name) \
    static CObject* PASCAL CreateObject();

#define DECLARE_SERIAL(class_name) \
    DECLARE_DYNCREATE(class_name) \
    friend CArchive& AFXAPI operator>>(CArchive& ar, class_name*& pOb) \
    { pOb = (class_name*)ar.ReadObject(RUNTIME_CLASS(class_name)); return ar; }

#define IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, wSchema, pfnNew) \
    CRuntimeClass* PASCAL class_name::_GetBaseClass() { return RUNTIME_CLASS(base_class_name); } \
    const CRuntimeClass class_name::class##class_name = { \
        #class_name, sizeof(class class_name), (UINT)(wSchema), pfnNew, &class_name::_GetBaseClass }; \
    CRuntimeClass* class_name::GetRuntimeClass() const { return RUNTIME_CLASS(class_name); } \
    static const AFX_CLASSINIT _init_##class_name(RUNTIME_CLASS(class_name));

#define IMPLEMENT_DYNAMIC(class_name, base_class_name) \
    IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFF, nullptr)

#define IMPLEMENT_DYNCREATE(class_name, base_class_name) \
    CObject* PASCAL class_name::CreateObject() { return new class_name; } \
    IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFF, class_name::CreateObject)

#define IMPLEMENT_SERIAL(class_name, base_class_name, wSchema) \
    CObject* PASCAL class_name::CreateObject() { return new class_name; } \
    IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, wSchema, class_name::CreateObject)

class CLASSLIB_API CObject
{
public:
    static const CRuntimeClass classCObject;
    virtual CRuntimeClass* GetRuntimeClass() const;
    virtual ~CObject();

    virtual void Serialize(CArchive& ar);
    virtual void AssertValid() const;
    virtual void Dump(CDumpContext& dc) const;

    BOOL IsSerializable() const;
    BOOL IsKindOf(const CRuntimeClass* pClass) const;

    CObject(const CObject&) = delete;
    CObject& operator=(const CObject&) = delete;

protected:
    CObject();
};

// Diagnostic output of Dump: text to the debugger.
class CLASSLIB_API CDumpContext
{
public:
    CDumpContext& operator<<(LPCSTR psz);
    CDumpContext& operator<<(int n);
    CDumpContext& operator<<(const void* p);
};

// The object as a class_name, or null when it is none (the object expression is evaluated once).
inline CObject* AfxDynamicDownCast(const CRuntimeClass* pClass, CObject* pObject)
{
    return pObject && pObject->IsKindOf(pClass) ? pObject : nullptr;
}
inline const CObject* AfxDynamicDownCast(const CRuntimeClass* pClass, const CObject* pObject)
{
    return pObject && pObject->IsKindOf(pClass) ? pObject : nullptr;
}
#define DYNAMIC_DOWNCAST(class_name, object) \
    static_cast<class_name*>(AfxDynamicDownCast(RUNTIME_CLASS(class_name), (object)))
#define STATIC_DOWNCAST(class_name, object) ((class_name*)(object))

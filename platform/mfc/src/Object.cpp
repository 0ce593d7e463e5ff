#include "ClObject.h"
#include "ClArchive.h"
#include "ClException.h"

#include <cstring>
#include <mutex>
#include <vector>

namespace {
// Every run-time class that any module of the process defines, in registration order.
struct ClassList {
    std::mutex lock;
    std::vector<CRuntimeClass*> classes;
};
ClassList& Classes()
{
    static ClassList list;
    return list;
}

// Longest class name an archive may name; longer records are malformed.
constexpr UINT kMaxClassName = 64;
}

AFX_CLASSINIT::AFX_CLASSINIT(CRuntimeClass* pNewClass) : m_pClass(pNewClass)
{
    ClassList& list = Classes();
    std::lock_guard<std::mutex> guard(list.lock);
    list.classes.push_back(pNewClass);
}

AFX_CLASSINIT::~AFX_CLASSINIT()
{
    ClassList& list = Classes();
    std::lock_guard<std::mutex> guard(list.lock);
    for (auto it = list.classes.begin(); it != list.classes.end(); ++it)
        if (*it == m_pClass) { list.classes.erase(it); break; }
}

CObject* CRuntimeClass::CreateObject() const
{
    return m_pfnCreateObject ? m_pfnCreateObject() : nullptr;
}

BOOL CRuntimeClass::IsDerivedFrom(const CRuntimeClass* pBaseClass) const
{
    for (const CRuntimeClass* p = this; p; p = p->GetBaseClass())
        if (p == pBaseClass)
            return TRUE;
    return FALSE;
}

CRuntimeClass* PASCAL CRuntimeClass::FromName(LPCSTR lpszClassName)
{
    if (!lpszClassName)
        return nullptr;
    ClassList& list = Classes();
    std::lock_guard<std::mutex> guard(list.lock);
    // Newest first: when a module loaded later registers a name again, its class is the live one.
    for (auto it = list.classes.rbegin(); it != list.classes.rend(); ++it)
        if (strcmp((*it)->m_lpszClassName, lpszClassName) == 0)
            return *it;
    return nullptr;
}

void CRuntimeClass::Store(CArchive& ar) const
{
    const WORD nameLength = static_cast<WORD>(strlen(m_lpszClassName));
    ar << static_cast<WORD>(m_wSchema) << nameLength;
    ar.Write(m_lpszClassName, nameLength);
}

CRuntimeClass* PASCAL CRuntimeClass::Load(CArchive& ar, UINT* pwSchemaNum)
{
    WORD schema = 0, nameLength = 0;
    ar >> schema >> nameLength;
    *pwSchemaNum = schema;
    char name[kMaxClassName + 1];
    if (nameLength == 0 || nameLength >= kMaxClassName || ar.Read(name, nameLength) != nameLength)
        return nullptr;
    name[nameLength] = 0;
    return FromName(name);
}

const CRuntimeClass CObject::classCObject = {"CObject", sizeof(CObject), 0xFFFF, nullptr, nullptr};
static const AFX_CLASSINIT _init_CObject(RUNTIME_CLASS(CObject));

CObject::CObject() = default;
CObject::~CObject() = default;
CRuntimeClass* CObject::GetRuntimeClass() const { return RUNTIME_CLASS(CObject); }
void CObject::Serialize(CArchive&) {}
void CObject::AssertValid() const {}
void CObject::Dump(CDumpContext& dc) const
{
    dc << "a " << GetRuntimeClass()->m_lpszClassName << " at " << static_cast<const void*>(this) << "\n";
}

BOOL CObject::IsSerializable() const { return GetRuntimeClass()->m_wSchema != 0xFFFF; }
BOOL CObject::IsKindOf(const CRuntimeClass* pClass) const { return GetRuntimeClass()->IsDerivedFrom(pClass); }

CDumpContext& CDumpContext::operator<<(LPCSTR psz) { OutputDebugStringA(psz ? psz : "(null)"); return *this; }
CDumpContext& CDumpContext::operator<<(int n)
{
    char text[16];
    wsprintfA(text, "%d", n);
    return *this << text;
}
CDumpContext& CDumpContext::operator<<(const void* p)
{
    char text[16];
    wsprintfA(text, "$%p", p);
    return *this << text;
}

// Object and class tags of the archive.
#include "ClArchive.h"
#include "ArchiveMaps.h"
#include "ClException.h"

namespace {
constexpr WORD kNullTag = 0;
constexpr WORD kNewClassTag = 0xFFFF;
constexpr WORD kClassTag = 0x8000;
constexpr WORD kBigObjectTag = 0x7FFF;
constexpr DWORD kBigClassTag = 0x80000000;
constexpr DWORD kMaxMapCount = 0x3FFFFFFE;
// Objects nested deeper than this are taken for a damaged file rather than risking the stack.
constexpr UINT kMaxNesting = 256;

struct NestingGuard {
    UINT& depth;
    explicit NestingGuard(UINT& d) : depth(d) { ++depth; }
    ~NestingGuard() { --depth; }
};
}

DWORD CArchive::NextMapIndex()
{
    if (m_nMapCount >= kMaxMapCount)
        Throw(CArchiveException::badIndex);
    return m_nMapCount++;
}

void CArchive::WriteClass(const CRuntimeClass* pClassRef)
{
    if (IsLoading())
        Throw(CArchiveException::readOnly);
    if (!pClassRef || pClassRef->m_wSchema == 0xFFFF)
        Throw(CArchiveException::badClass);
    auto& classes = m_pMaps->storedClasses;
    auto found = classes.find(pClassRef);
    if (found != classes.end()) {
        const DWORD index = found->second;
        if (index < kBigObjectTag)
            *this << static_cast<WORD>(kClassTag | index);
        else
            *this << kBigObjectTag << (kBigClassTag | index);
        return;
    }
    *this << kNewClassTag;
    pClassRef->Store(*this);
    classes.emplace(pClassRef, NextMapIndex());
}

void CArchive::WriteObject(const CObject* pOb)
{
    if (IsLoading())
        Throw(CArchiveException::readOnly);
    if (!pOb) {
        *this << kNullTag;
        return;
    }
    auto& objects = m_pMaps->storedObjects;
    auto found = objects.find(pOb);
    if (found != objects.end()) {
        const DWORD index = found->second;
        if (index < kBigObjectTag)
            *this << static_cast<WORD>(index);
        else
            *this << kBigObjectTag << index;
        return;
    }
    WriteClass(pOb->GetRuntimeClass());
    objects.emplace(pOb, NextMapIndex());
    const_cast<CObject*>(pOb)->Serialize(*this);
}

CRuntimeClass* CArchive::ReadClass(const CRuntimeClass* pClassRefRequested, UINT* pSchema, DWORD* pObTag)
{
    if (!IsLoading())
        Throw(CArchiveException::writeOnly);
    WORD tag = 0;
    *this >> tag;
    DWORD obTag;
    if (tag == kBigObjectTag)
        *this >> obTag;
    else
        obTag = (static_cast<DWORD>(tag & kClassTag) << 16) | (tag & ~kClassTag);

    auto& loaded = m_pMaps->loaded;
    CRuntimeClass* pClass = nullptr;
    UINT schema = 0;
    if (tag == kNewClassTag) {
        pClass = CRuntimeClass::Load(*this, &schema);
        if (!pClass || pClass->m_wSchema == 0xFFFF)
            Throw(CArchiveException::badClass);
        if (!(pClass->m_wSchema & VERSIONABLE_SCHEMA) && schema != pClass->m_wSchema)
            Throw(CArchiveException::badSchema);
        NextMapIndex();
        loaded.push_back({pClass, true, schema});
    } else if (obTag & kBigClassTag) {
        const DWORD index = obTag & ~kBigClassTag;
        if (index == 0 || index >= loaded.size() || !loaded[index].isClass)
            Throw(CArchiveException::badIndex);
        pClass = static_cast<CRuntimeClass*>(loaded[index].pointer);
        schema = loaded[index].schema;
    } else {
        // An object tag where a class was expected.
        if (!pObTag)
            Throw(CArchiveException::badIndex);
        *pObTag = obTag;
        return nullptr;
    }
    if (pClassRefRequested && !pClass->IsDerivedFrom(pClassRefRequested))
        Throw(CArchiveException::badClass);
    if (pSchema)
        *pSchema = schema;
    if (pObTag)
        *pObTag = obTag;
    return pClass;
}

CObject* CArchive::ReadObject(const CRuntimeClass* pClass)
{
    if (!IsLoading())
        Throw(CArchiveException::writeOnly);
    if (m_nDepth >= kMaxNesting)
        Throw(CArchiveException::generic);
    NestingGuard nesting(m_nDepth);

    UINT schema = 0;
    DWORD obTag = 0;
    CRuntimeClass* pStoredClass = ReadClass(pClass, &schema, &obTag);
    auto& loaded = m_pMaps->loaded;
    if (!pStoredClass) {
        if (obTag >= loaded.size() || loaded[obTag].isClass)
            Throw(CArchiveException::badIndex);
        CObject* pOb = static_cast<CObject*>(loaded[obTag].pointer);
        if (pOb && pClass && !pOb->IsKindOf(pClass))
            Throw(CArchiveException::badClass);
        return pOb;
    }

    CObject* pOb = pStoredClass->CreateObject();
    if (!pOb)
        Throw(CArchiveException::badClass);
    DWORD index;
    try {
        index = NextMapIndex();
    } catch (...) {
        delete pOb;
        throw;
    }
    loaded.push_back({pOb, false, schema});
    m_nObjectSchema = schema;
    try {
        pOb->Serialize(*this);
    } catch (...) {
        // The half-read object belongs to nobody yet.
        loaded[index].pointer = nullptr;
        delete pOb;
        throw;
    }
    m_nObjectSchema = static_cast<UINT>(-1);
    return pOb;
}

void CArchive::SerializeClass(const CRuntimeClass* pClassRef)
{
    if (IsStoring())
        WriteClass(pClassRef);
    else
        ReadClass(pClassRef);
}

void CArchive::MapObject(const CObject* pOb)
{
    if (IsStoring()) {
        if (pOb && m_pMaps->storedObjects.find(pOb) == m_pMaps->storedObjects.end())
            m_pMaps->storedObjects.emplace(pOb, NextMapIndex());
    } else {
        NextMapIndex();
        m_pMaps->loaded.push_back({const_cast<CObject*>(pOb), false, 0});
    }
}

CArchive& AFXAPI operator<<(CArchive& ar, const CObject* pOb)
{
    ar.WriteObject(pOb);
    return ar;
}

CArchive& AFXAPI operator>>(CArchive& ar, CObject*& pOb)
{
    pOb = ar.ReadObject(nullptr);
    return ar;
}

CArchive& AFXAPI operator>>(CArchive& ar, const CObject*& pOb)
{
    pOb = ar.ReadObject(nullptr);
    return ar;
}

#include "ArchiveTestSupport.h"

#include <cstdlib>
#include <cstring>

Bytes StoreToBytes(const std::function<void(CArchive&)>& fn)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        fn(ar);
        ar.Close();
    }
    const DWORD size = file.GetLength();
    BYTE* data = file.Detach();
    Bytes bytes(data, data + size);
    free(data);
    return bytes;
}

void LoadFromBytes(const Bytes& bytes, const std::function<void(CArchive&)>& fn)
{
    Bytes copy = bytes;
    CMemFile file(copy.empty() ? nullptr : copy.data(), static_cast<UINT>(copy.size()));
    CArchive ar(&file, CArchive::load);
    fn(ar);
}

int ArchiveCause(const std::function<void()>& fn)
{
    try {
        fn();
    } catch (CArchiveException* e) {
        const int cause = e->m_cause;
        e->Delete();
        return cause;
    } catch (CException* e) {
        e->Delete();
        return kOtherException;
    }
    return kNoException;
}

Bytes Concat(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

Bytes Le16(WORD v) { return {static_cast<BYTE>(v), static_cast<BYTE>(v >> 8)}; }
Bytes Le32(DWORD v)
{
    return {static_cast<BYTE>(v), static_cast<BYTE>(v >> 8), static_cast<BYTE>(v >> 16), static_cast<BYTE>(v >> 24)};
}
Bytes Text(const char* s) { return Bytes(s, s + strlen(s)); }

IMPLEMENT_SERIAL(CTestPoint, CObject, 1)
IMPLEMENT_SERIAL(CTestPoint3, CTestPoint, 1)
IMPLEMENT_SERIAL(CTestNode, CObject, VERSIONABLE_SCHEMA | 1)
IMPLEMENT_DYNCREATE(CTestDynamic, CObject)

void CTestPoint::Serialize(CArchive& ar)
{
    if (ar.IsStoring())
        ar << m_x << m_y;
    else
        ar >> m_x >> m_y;
}

void CTestPoint3::Serialize(CArchive& ar)
{
    CTestPoint::Serialize(ar);
    if (ar.IsStoring())
        ar << m_z;
    else
        ar >> m_z;
}

CTestNode::CTestNode() { Live().insert(this); }
CTestNode::~CTestNode() { Live().erase(this); }

std::set<CTestNode*>& CTestNode::Live()
{
    static std::set<CTestNode*> live;
    return live;
}

void CTestNode::DeleteAll()
{
    while (!Live().empty())
        delete *Live().begin();
}

void CTestNode::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << m_name << m_pNext;
    } else {
        m_loadedSchema = ar.GetObjectSchema();
        ar >> m_name >> m_pNext;
    }
    m_items.Serialize(ar);
}

#include <cstring>
#include <new>
#include <set>

#include "ClCollections.h"
#include "Registry.h"
#include "RegistrySerialization.h"

namespace {

// A list read from an archive may hold one object twice (a repeated object is stored as a
// reference): each object is deleted once.
void DeleteObjects(CObList& list)
{
    std::set<CObject*> owned;
    for (POSITION pos = list.GetHeadPosition(); pos;)
        owned.insert(list.GetNext(pos));
    list.RemoveAll();
    for (CObject* object : owned)
        delete object;
}

}  // namespace

BOOL CRegistry::Read(LPCSTR name, CWordArray& value)
{
    value.RemoveAll();
    CBuffer<unsigned char> bytes;
    if (!ReadBinaryUpTo(name, 0xFFFFFFFFu, bytes))
        return FALSE;
    // A 32-bit count, then 16 bits per element: the count is bounded by the bytes that follow.
    if (bytes.GetSize() < 4)
        return FALSE;
    DWORD count;
    std::memcpy(&count, bytes.GetData(), 4);
    if (count > (bytes.GetSize() - 4) / 2)
        return FALSE;
    try {
        value.SetSize(static_cast<INT_PTR>(count));
        for (DWORD i = 0; i < count; ++i) {
            WORD element;
            std::memcpy(&element, bytes.GetData() + 4 + 2 * i, 2);
            value.SetAt(static_cast<INT_PTR>(i), element);
        }
    } catch (CException* e) {
        e->Delete();
        value.RemoveAll();
        return FALSE;
    }
    return TRUE;
}

BOOL CRegistry::Write(LPCSTR name, CWordArray& value)
{
    if (m_readOnly)
        return FALSE;
    const DWORD count = static_cast<DWORD>(value.GetSize());
    CBuffer<unsigned char> bytes;
    bytes.Attach(new (std::nothrow) unsigned char[4 + 2 * count], 4 + 2 * count);
    if (!bytes.GetData())
        return FALSE;
    std::memcpy(bytes.GetData(), &count, 4);
    for (DWORD i = 0; i < count; ++i) {
        const WORD element = value.GetAt(static_cast<INT_PTR>(i));
        std::memcpy(bytes.GetData() + 4 + 2 * i, &element, 2);
    }
    return Write(name, bytes);
}

BOOL CRegistry::Read(LPCSTR name, CObList& value)
{
    DeleteObjects(value);
    if (ReadSerialized(name, 0xFFFFFFFFu, value))
        return TRUE;
    // Objects already read from a damaged value are not handed back.
    DeleteObjects(value);
    return FALSE;
}

BOOL CRegistry::Write(LPCSTR name, CObList& value) { return WriteSerialized(name, value); }

// The small collections are read from at most 4096 bytes; what was read stays in the collection
// (the previous element count is not given back). A damaged value leaves them empty.
BOOL CRegistry::Read(LPCSTR name, CStringList& value)
{
    value.RemoveAll();
    if (ReadSerialized(name, registry_detail::kCollectionLimit, value))
        return TRUE;
    value.RemoveAll();
    return FALSE;
}

BOOL CRegistry::Read(LPCSTR name, CStringArray& value)
{
    if (ReadSerialized(name, registry_detail::kCollectionLimit, value))
        return TRUE;
    value.RemoveAll();
    return FALSE;
}

BOOL CRegistry::Read(LPCSTR name, CByteArray& value)
{
    if (ReadSerialized(name, registry_detail::kCollectionLimit, value))
        return TRUE;
    value.RemoveAll();
    return FALSE;
}

BOOL CRegistry::Read(LPCSTR name, CDWordArray& value)
{
    value.RemoveAll();
    if (ReadSerialized(name, registry_detail::kCollectionLimit, value))
        return TRUE;
    value.RemoveAll();
    return FALSE;
}

BOOL CRegistry::Write(LPCSTR name, CStringList& value) { return WriteSerialized(name, value); }
BOOL CRegistry::Write(LPCSTR name, CStringArray& value) { return WriteSerialized(name, value); }
BOOL CRegistry::Write(LPCSTR name, CByteArray& value) { return WriteSerialized(name, value); }
BOOL CRegistry::Write(LPCSTR name, CDWordArray& value) { return WriteSerialized(name, value); }

BOOL CRegistry::Read(LPCSTR name, tagPOINT*& value)
{
    if (!value)
        return FALSE;
    CDWordArray elements;
    if (!Read(name, elements) || elements.GetSize() < 2)
        return FALSE;
    value->x = static_cast<LONG>(elements[0]);
    value->y = static_cast<LONG>(elements[1]);
    return TRUE;
}

BOOL CRegistry::Write(LPCSTR name, tagPOINT*& value)
{
    if (m_readOnly || !value)
        return FALSE;
    CDWordArray elements;
    try {
        elements.SetSize(5);
        for (INT_PTR i = 0; i < 5; ++i)
            elements[i] = 0;
        elements[0] = static_cast<DWORD>(value->x);
        elements[1] = static_cast<DWORD>(value->y);
    } catch (CException* e) {
        e->Delete();
        return FALSE;
    }
    return Write(name, elements);
}

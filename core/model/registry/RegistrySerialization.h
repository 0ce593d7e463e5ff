#pragma once
// Values in the class library's archive form, shared by the registry's object and collection values.
#include <new>

#include "ClArchive.h"
#include "ClException.h"
#include "ClOleStreamFile.h"
#include "Registry.h"

namespace registry_detail {
// Bytes of a serialised collection value that a read accepts.
constexpr DWORD kCollectionLimit = 4096;
}  // namespace registry_detail

namespace registry_detail {

// Objects are serialised through a stream file over a memory stream, so that persistent objects,
// which write their records straight onto the archive's stream, can be stored as values too.
template <class Collection>
inline bool SerializeToBytes(Collection& value, CBuffer<unsigned char>& bytes)
{
    try {
        COleStreamFile file;
        if (!file.CreateMemoryStream())
            return false;
        {
            CArchive ar(&file, CArchive::store);
            value.Serialize(ar);
            ar.Close();
        }
        const DWORD length = file.GetLength();
        bytes.Attach(new unsigned char[length ? length : 1], length);
        file.SeekToBegin();
        if (file.Read(bytes.GetData(), length) != length)
            return false;
        file.Close();
    } catch (CException* e) {
        e->Delete();
        return false;
    } catch (const std::bad_alloc&) {
        return false;
    } catch (...) {
        // Nothing leaves the registry class: any other failure is a FALSE result as well.
        return false;
    }
    return true;
}

template <class Collection>
inline bool DeserializeFromBytes(const CBuffer<unsigned char>& bytes, Collection& value)
{
    try {
        COleStreamFile file;
        if (!file.CreateMemoryStream())
            return false;
        file.Write(bytes.GetData(), bytes.GetSize());
        file.SeekToBegin();
        CArchive ar(&file, CArchive::load);
        value.Serialize(ar);
        ar.Close();
        file.Close();
    } catch (CException* e) {
        e->Delete();
        return false;
    } catch (const std::bad_alloc&) {
        return false;
    } catch (...) {
        // Nothing leaves the registry class: any other failure is a FALSE result as well.
        return false;
    }
    return true;
}

}  // namespace registry_detail

template <class Collection>
BOOL CRegistry::WriteSerialized(LPCSTR name, Collection& value)
{
    if (m_readOnly)
        return FALSE;
    CBuffer<unsigned char> bytes;
    if (!registry_detail::SerializeToBytes(value, bytes))
        return FALSE;
    return SetValue(name, REG_BINARY, bytes.GetData(), bytes.GetSize());
}

template <class Collection>
BOOL CRegistry::ReadSerialized(LPCSTR name, DWORD limit, Collection& value)
{
    CBuffer<unsigned char> bytes;
    if (!ReadBinaryUpTo(name, limit, bytes))
        return FALSE;
    // The small collections take only binary values; another type is left alone.
    if (limit == registry_detail::kCollectionLimit && m_lastType != REG_BINARY)
        return TRUE;
    return registry_detail::DeserializeFromBytes(bytes, value) ? TRUE : FALSE;
}


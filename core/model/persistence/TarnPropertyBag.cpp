#include "TarnPropertyBag.h"

CTarnPropertyBag::~CTarnPropertyBag()
{
    for (Entry& e : m_entries) {
        delete[] e.name;
        delete[] static_cast<unsigned char*>(e.data);
    }
}

void CTarnPropertyBag::AddProperty(char* name, long id, void* data, ULONG size)
{
    m_entries.push_back(Entry{id, name, data, size, false});
}

BOOL CTarnPropertyBag::FindProperty(const char* name, long id, const void*& data, ULONG& size)
{
    for (Entry& e : m_entries) {
        // kNoPropertyId marks entries stored by name: it never matches as an id.
        const bool idMatches = id != kNoPropertyId && e.id == id;
        const bool nameMatches = e.name && name && std::strcmp(e.name, name) == 0;
        if (idMatches || nameMatches) {
            e.read = true;
            data = e.data;
            size = e.size;
            return TRUE;
        }
    }
    return FALSE;
}

BOOL CTarnPropertyBag::LoadPropString(const char* name, long id, CString& out)
{
    const void* data = nullptr;
    ULONG size = 0;
    if (!FindProperty(name, id, data, size))
        return FALSE;
    out = size ? CString(static_cast<const char*>(data), static_cast<int>(size)) : CString();
    return TRUE;
}

BOOL CTarnPropertyBag::BeginUnreadedEnumeration()
{
    m_cursor = 0;
    return m_entries.empty() ? FALSE : TRUE;
}

BOOL CTarnPropertyBag::GetUnreaded(char*& name, void*& data, ULONG& size)
{
    while (m_cursor < m_entries.size()) {
        Entry& e = m_entries[m_cursor++];
        if (e.name && !e.read) {
            name = e.name;
            data = e.data;
            size = e.size;
            return TRUE;
        }
    }
    return FALSE;
}

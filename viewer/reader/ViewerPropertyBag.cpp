#include "ViewerPropertyBag.h"

void CViewerPropertyBag::AddById(uint32_t id, std::vector<BYTE> data)
{
    Record record;
    record.hasId = true;
    record.id = id;
    record.data = std::move(data);
    m_records.push_back(std::move(record));
}

void CViewerPropertyBag::AddByName(std::string name, std::vector<BYTE> data)
{
    Record record;
    record.hasName = true;
    record.name = std::move(name);
    record.data = std::move(data);
    m_records.push_back(std::move(record));
}

const CViewerPropertyBag::Record* CViewerPropertyBag::FindByName(const char* name) const
{
    return FindByNameOrId(name, 0);
}

const CViewerPropertyBag::Record* CViewerPropertyBag::FindById(uint32_t id) const
{
    return FindByNameOrId(nullptr, id);
}

const CViewerPropertyBag::Record* CViewerPropertyBag::FindByNameOrId(const char* name, uint32_t id) const
{
    for (const Record& record : m_records) {
        // Stored ids always carry 0x40000000, so the id 0 of a name-only lookup matches nothing.
        if (id != 0 && record.hasId && record.id == id)
            return &record;
        if (name && record.hasName && record.name == name)
            return &record;
    }
    return nullptr;
}

bool CViewerPropertyBag::GetText(const char* name, uint32_t id, std::string& text) const
{
    const Record* record = FindByNameOrId(name, id);
    if (!record || record->data.empty())
        return false;
    text.assign(reinterpret_cast<const char*>(record->data.data()), record->data.size());
    // A stored text has no terminator; one inside the data ends it, as it would for any reader of C text.
    const size_t end = text.find('\0');
    if (end != std::string::npos)
        text.resize(end);
    return true;
}

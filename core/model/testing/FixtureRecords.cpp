#include "FixtureRecords.h"

#include <cstring>

IMPLEMENT_SERIAL(CFixtureChild, CPersistent, VERSIONABLE_SCHEMA | 1)
IMPLEMENT_SERIAL(CFixtureRecord, CPersistent, VERSIONABLE_SCHEMA | 1)
IMPLEMENT_SERIAL(CFixtureRefusing, CPersistent, VERSIONABLE_SCHEMA | 1)

HRESULT CFixtureChild::OnPropSave(IStream* stream)
{
    HRESULT hr = __SaveProp(stream, "Value", &m_value, sizeof m_value, false);
    if (SUCCEEDED(hr))
        hr = __SaveProp(stream, "Label", static_cast<LPCSTR>(m_label), m_label.GetLength(), false);
    return hr;
}

HRESULT CFixtureChild::OnPropLoad(CTarnPropertyBag* bag)
{
    bag->LoadPropVar("Value", m_value);
    bag->LoadPropString("Label", m_label);
    return S_OK;
}

bool CFixtureChild::Equal(const CPersistent& other) const
{
    const auto& o = static_cast<const CFixtureChild&>(other);
    return m_value == o.m_value && m_label == o.m_label;
}

HRESULT CFixtureRecord::OnPropSave(IStream* stream)
{
    HRESULT hr = __SaveProp(stream, "Name", static_cast<LPCSTR>(m_name), m_name.GetLength(), false);
    if (SUCCEEDED(hr))
        hr = __SaveProp(stream, kFixtureCountId, &m_count, sizeof m_count);
    if (SUCCEEDED(hr))
        hr = __SaveProp(stream, "Scale", &m_scale, sizeof m_scale, false);
    if (SUCCEEDED(hr))
        hr = SavePersist(stream, "Child", &m_child);
    if (SUCCEEDED(hr))
        hr = SavePersistArray(stream, "Items", m_items);
    if (SUCCEEDED(hr))
        hr = __SaveProp(stream, kFixtureEmptyId, nullptr, 0);
    return hr;
}

HRESULT CFixtureRecord::OnPropLoad(CTarnPropertyBag* bag)
{
    bag->LoadPropString("Name", m_name);
    bag->LoadPropVar("Count", kFixtureCountId, m_count);
    bag->LoadPropVar("Scale", m_scale);
    const void* data = nullptr;
    ULONG size = 0;
    if (bag->FindProperty("Child", data, size) &&
        LoadPersist(static_cast<BYTE*>(const_cast<void*>(data)), size, &m_child) != S_OK)
        return E_FAIL;
    if (bag->FindProperty("Items", data, size)) {
        m_items.RemoveAll();
        if (LoadPersistArray(static_cast<BYTE*>(const_cast<void*>(data)), size, m_items,
                             static_cast<PersistentCreator>(&CFixtureRecord::CreateItem)) != S_OK)
            return E_FAIL;
    }
    m_hasEmptyRecord = bag->FindProperty(kFixtureEmptyId, data, size) == TRUE;
    return S_OK;
}

bool CFixtureRecord::Equal(const CPersistent& other) const
{
    const auto& o = static_cast<const CFixtureRecord&>(other);
    if (m_name != o.m_name || m_count != o.m_count || m_scale != o.m_scale || !m_child.Equal(o.m_child) ||
        m_items.GetSize() != o.m_items.GetSize())
        return false;
    for (int i = 0; i < m_items.GetSize(); ++i) {
        if (!m_items[i]->Equal(*o.m_items[i]))
            return false;
    }
    return true;
}

CFixtureRecord* MakeFixtureRecord(const char* name, int count, double scale, int items)
{
    auto* record = new CFixtureRecord;
    record->m_name = name;
    record->m_count = count;
    record->m_scale = scale;
    record->m_child.m_value = count * 10;
    record->m_child.m_label = CString(name) + "/child";
    for (int i = 0; i < items; ++i) {
        auto* item = new CFixtureChild;
        item->m_value = i + 1;
        item->m_label.Format("item %d", i + 1);
        record->m_items.Add(item);
    }
    return record;
}

IMPLEMENT_SERIAL(CFixtureSetting, CPersistent, VERSIONABLE_SCHEMA | 1)

BOOL CFixtureSetting::Load(CRegistry* registry)
{
    if (!registry->Read("Value", m_value))
        return FALSE;
    registry->Read("Ratio", m_ratio);
    return TRUE;
}

BOOL CFixtureSetting::Store(CRegistry* registry)
{
    return registry->Write("Value", m_value) && registry->Write("Ratio", m_ratio);
}

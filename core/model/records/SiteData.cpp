#include "SiteData.h"

IMPLEMENT_SERIAL(CSiteData, CPersistent, VERSIONABLE_SCHEMA | 1)

void CSiteData::Serialize(CArchive& ar)
{
    m_Properties.Serialize(ar);
    m_StartData.Serialize(ar);
    m_FinishData.Serialize(ar);
}

void CSiteData::Duplicate(const CPersistent* source)
{
    const auto* data = dynamic_cast<const CSiteData*>(source);
    if (!data || data == this)
        return;
    m_Properties.Duplicate(&data->m_Properties);
    m_StartData.Duplicate(&data->m_StartData);
    m_FinishData.Duplicate(&data->m_FinishData);
}

#pragma once
#include "ClArchive.h"
#include "Persistent.h"
#include "SiteRecords.h"
#include "TarnApi.h"

// One site's properties with its start and finish markers, stored as three record lists one after
// the other without class tags.
class TARN_API CSiteData : public CPersistent {
    DECLARE_SERIAL(CSiteData)
public:
    void Serialize(CArchive& ar) override;
    void Duplicate(const CPersistent* source) override;

    CTarnSiteProperties m_Properties;
    CSiteStartData m_StartData;
    CSiteFinishData m_FinishData;
};

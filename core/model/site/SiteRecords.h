#pragma once
// The small records a site stores around its controls: its properties (name, style and id) and
// the start and finish markers that frame its controls in the document.
#include "ClArchive.h"
#include "ClString.h"
#include "Persistent.h"
#include "TarnApi.h"

class CSiteIcon;

class TARN_API CSiteStartData : public CPersistent {
    DECLARE_SERIAL(CSiteStartData)
};

class TARN_API CSiteFinishData : public CPersistent {
    DECLARE_SERIAL(CSiteFinishData)
};

class TARN_API CTarnSiteProperties : public CPersistent {
    DECLARE_SERIAL(CTarnSiteProperties)
public:
    CTarnSiteProperties() = default;
    ~CTarnSiteProperties() override;
    CTarnSiteProperties(const CTarnSiteProperties&) = delete;
    CTarnSiteProperties& operator=(const CTarnSiteProperties&) = delete;

    void InitNew() override;
    // The icon travels with the site only while the application shows its sites bar.
    HRESULT OnPropSave(IStream* stream) override;
    HRESULT OnPropLoad(CTarnPropertyBag* bag) override;
    void Duplicate(const CPersistent* source) override;
    bool Equal(const CPersistent& other) const override;

    CString m_siteName;
    int m_styleId = 0;
    int m_siteId = -1;

    CSiteIcon* GetIcon() const { return m_icon; }
    // Takes ownership; null drops the icon.
    void SetIcon(CSiteIcon* icon);

private:
    CSiteIcon* m_icon = nullptr;
};

// The page setup record of old documents: paper size and margins in inches.
class TARN_API CPageSetupData : public CPersistent {
    DECLARE_SERIAL(CPageSetupData)
public:
    HRESULT OnPropSave(IStream* stream) override;
    HRESULT OnPropLoad(CTarnPropertyBag* bag) override;

    double m_width = 8.5;
    double m_height = 11.0;
    double m_margins[4] = {1.0, 1.0, 1.0, 1.0};
};

#pragma once
// The records a card document stores around its sites: its properties and the start and finish
// markers that frame the sites and pages in the document's main stream.
#include <map>

#include "ClArchive.h"
#include "ClString.h"
#include "DocSummaryInfo.h"
#include "Persistent.h"
#include "TarnApi.h"

struct IBaseControl;

class TARN_API CDocStartData : public CPersistent {
    DECLARE_SERIAL(CDocStartData)
};

class TARN_API CDocFinishData : public CPersistent {
    DECLARE_SERIAL(CDocFinishData)
};

// Besides its own records, the document properties carry the card's summary information, kept in
// the standard property sets of the card file rather than in "Contents".
class TARN_API CTarnDocProperties : public CPersistent, public CDocSummaryInfo {
    DECLARE_SERIAL(CTarnDocProperties)
public:
    // The document style comes from the options' "DefaultDocStyle" when the application has them.
    CTarnDocProperties();
    ~CTarnDocProperties() override;

    void InitNew() override;
    HRESULT OnPropSave(IStream* stream) override;
    HRESULT OnPropLoad(CTarnPropertyBag* bag) override;
    void Duplicate(const CPersistent* source) override;
    bool Equal(const CPersistent& other) const override;

    // The document's default control of a type (no new reference), or null.
    IBaseControl* GetDefaultControl(int typeId) const;
    // Keeps control under typeId (takes a reference of its own), replacing an entry there.
    void SetDefaultControl(int typeId, IBaseControl* control);
    void ClearDefaultControls();
    const std::map<int, IBaseControl*>& GetDefaultControls() const { return m_defaultControls; }

    static int m_nInitialSiteID;

    int m_currentSiteId = 0;
    CString m_htmlHeader;
    CString m_htmlFooter;
    int m_docStyleId = 0;

private:
    std::map<int, IBaseControl*> m_defaultControls;
};

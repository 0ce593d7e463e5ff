#pragma once
#include "ViewerPersistent.h"

#include <windows.h>

// A stored control kept as its class identifier and a copy of its property records.
class CStoredControl : public CViewerPersistent
{
public:
    explicit CStoredControl(const GUID& classId) : CViewerPersistent("CStoredControl"), m_classId(classId) {}
    int OnLoadProperties(CViewerPropertyBag& bag) override
    {
        m_records = bag;
        return 0;
    }
    const GUID& GetClassId() const { return m_classId; }
    const CViewerPropertyBag& GetRecords() const { return m_records; }

private:
    GUID m_classId;
    CViewerPropertyBag m_records;
};

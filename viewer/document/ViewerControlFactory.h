#pragma once
#include "ViewerPersistent.h"

#include <windows.h>
#include <memory>
#include <vector>

class CViewerSite;

// Builds the viewer's object for a stored drawing control. The drawing objects come from the
// load-and-draw code; until a factory for them is installed every control is kept as a
// CStoredControl, which reads its records and draws nothing.
class IViewerControlFactory
{
public:
    virtual ~IViewerControlFactory() = default;
    virtual std::unique_ptr<CViewerPersistent> CreateControl(const GUID& classId) = 0;
    // The background's fill (a figure) and picture (an image), made with the background.
    virtual std::unique_ptr<CViewerPersistent> CreateFillControl() = 0;
    virtual std::unique_ptr<CViewerPersistent> CreateImageControl() = 0;
    // Called once a site's whole control list is read, with the list in stored order.
    virtual void AttachControls(CViewerSite& site, std::vector<std::unique_ptr<CViewerPersistent>>& controls) = 0;
};

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

class CStoredControlFactory : public IViewerControlFactory
{
public:
    std::unique_ptr<CViewerPersistent> CreateControl(const GUID& classId) override;
    std::unique_ptr<CViewerPersistent> CreateFillControl() override;
    std::unique_ptr<CViewerPersistent> CreateImageControl() override;
    void AttachControls(CViewerSite&, std::vector<std::unique_ptr<CViewerPersistent>>&) override {}
};

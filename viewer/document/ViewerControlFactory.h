#pragma once
#include "StoredControl.h"

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

class CStoredControlFactory : public IViewerControlFactory
{
public:
    std::unique_ptr<CViewerPersistent> CreateControl(const GUID& classId) override;
    std::unique_ptr<CViewerPersistent> CreateFillControl() override;
    std::unique_ptr<CViewerPersistent> CreateImageControl() override;
    void AttachControls(CViewerSite&, std::vector<std::unique_ptr<CViewerPersistent>>&) override {}
};

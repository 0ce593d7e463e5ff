#pragma once
#include "ViewerPersistent.h"

#include <memory>

class CViewerPage;

// Where a page places one site; stored without a class tag.
class CViewerPlacement : public CViewerPersistent
{
public:
    CViewerPlacement() : CViewerPersistent("CSitePosInfo") {}
    int OnLoadProperties(CViewerPropertyBag& bag) override;
    virtual std::unique_ptr<CViewerPlacement> Clone() const { return std::make_unique<CViewerPlacement>(*this); }

    void SetPage(CViewerPage* page) { m_page = page; }
    CViewerPage* GetPage() const { return m_page; }

    double x = 0, y = 0;
    int printed = 0;
    int siteId = -1;   // no site until the record says which
    double angle = 0;
    int horizontalFlip = 0, verticalFlip = 0;

protected:
    explicit CViewerPlacement(const char* className) : CViewerPersistent(className) {}

private:
    CViewerPage* m_page = nullptr;
};

// A card placement adds the panel's position as fractions of the page's printable rectangle.
class CCardViewerPlacement : public CViewerPlacement
{
public:
    struct RelativePosition
    {
        double x = 0, y = 0;
    };

    CCardViewerPlacement() : CViewerPlacement("CKDSitePosInfo") {}
    int OnLoadProperties(CViewerPropertyBag& bag) override;
    std::unique_ptr<CViewerPlacement> Clone() const override { return std::make_unique<CCardViewerPlacement>(*this); }

    RelativePosition relative;
};

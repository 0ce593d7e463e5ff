#pragma once
#include "ViewerGeometry.h"
#include "ViewerPersistent.h"

#include <memory>

// A page's size and margins; stored without a class tag.
class CViewerPageProperties : public CViewerPersistent
{
public:
    CViewerPageProperties() : CViewerPersistent("CTarnPageProperties") {}
    int OnLoadProperties(CViewerPropertyBag& bag) override;
    virtual std::unique_ptr<CViewerPageProperties> Clone() const { return std::make_unique<CViewerPageProperties>(*this); }

    CPageGeometry geometry;

protected:
    explicit CViewerPageProperties(const char* className) : CViewerPersistent(className) {}
};

// A printed side of a card sheet adds the spacing between its panels and its two flags.
class CCardViewerPageProperties : public CViewerPageProperties
{
public:
    CCardViewerPageProperties() : CViewerPageProperties("CKDPageProperties") {}
    int OnLoadProperties(CViewerPropertyBag& bag) override;
    std::unique_ptr<CViewerPageProperties> Clone() const override
    {
        return std::make_unique<CCardViewerPageProperties>(*this);
    }

    double spacing = 0.0;
    int frontSide = 0;
    int foldLine = 0;
};

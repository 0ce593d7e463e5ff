#pragma once
#include "ViewerGeometry.h"
#include "ViewerHotSpot.h"
#include "ViewerPersistent.h"

#include <memory>
#include <vector>

class CViewerSite;
class IViewerControlFactory;

enum BackgroundImageType { kImageNone = 0, kImageTiled = 1, kImageCentred = 2, kImageStretched = 3 };

// The sheet behind a site's controls: its printable rectangle, coloured margins, fill and picture.
class CViewerBackground : public CViewerPersistent
{
public:
    CViewerBackground() : CViewerPersistent("CTarnBackground") {}
    int OnLoadProperties(CViewerPropertyBag& bag) override;

    // Makes the fill and image controls the stored ones are read into.
    void CreateControls(IViewerControlFactory& factory);
    void SetSite(CViewerSite* site) { m_site = site; }
    CViewerSite* GetSite() const { return m_site; }

    int useWindowColor = 0;
    int printBackground = 0;
    int drawOutline = 1;
    COLORREF color = 0xFFFFFF;
    CRectD margins{1.0, 1.0, 1.0, 1.0};
    CRectD rect{0.0, 0.0, 6.5, 9.0};
    int imageType = kImageNone;
    double imageWidth = 1.0, imageHeight = 1.0;

    CViewerPersistent* GetFillControl() const { return m_fill.get(); }
    CViewerPersistent* GetImageControl() const { return m_image.get(); }

protected:
    explicit CViewerBackground(const char* className) : CViewerPersistent(className) {}

private:
    bool LoadStoredControl(CViewerPropertyBag& bag, const char* name, CViewerPersistent* control);

    CViewerSite* m_site = nullptr;
    std::unique_ptr<CViewerPersistent> m_fill;
    std::unique_ptr<CViewerPersistent> m_image;
};

class CCardViewerBackground : public CViewerBackground
{
public:
    CCardViewerBackground() : CViewerBackground("CKDXBackground") { drawOutline = 0; }
    int OnLoadProperties(CViewerPropertyBag& bag) override;
    const std::vector<CViewerHotSpot>& GetHotSpots() const { return m_hotSpots; }

private:
    std::vector<CViewerHotSpot> m_hotSpots;
};

#pragma once
#include "ViewerPersistent.h"

#include <windows.h>
#include <vector>

// A site's icon: the bytes of a .bmp file, shown on the viewer's page buttons.
class CViewerSiteIcon : public CViewerPersistent
{
public:
    CViewerSiteIcon() : CViewerPersistent("CPersistent") {}
    int OnLoadProperties(CViewerPropertyBag& bag) override;

    const std::vector<BYTE>& GetImage() const { return m_image; }
    DWORD GetExtraValue() const { return m_extraValue; }
    // A device-dependent bitmap for the screen made from the image; null when the image is not a
    // whole, sound .bmp file. The caller deletes the bitmap.
    HBITMAP CreateBitmap() const;

private:
    std::vector<BYTE> m_image;
    DWORD m_extraValue = 0;
};

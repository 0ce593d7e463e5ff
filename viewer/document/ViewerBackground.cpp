#include "ViewerBackground.h"
#include "ViewerControlFactory.h"

namespace {
const size_t kClassIdSize = 16;
}

void CViewerBackground::CreateControls(IViewerControlFactory& factory)
{
    m_fill = factory.CreateFillControl();
    m_image = factory.CreateImageControl();
}

bool CViewerBackground::LoadStoredControl(CViewerPropertyBag& bag, const char* name, CViewerPersistent* control)
{
    const CViewerPropertyBag::Record* record = bag.FindByName(name);
    if (!record || !control)
        return true;
    // A stored control begins with its class identifier; the place in the card already says what it is.
    if (record->data.size() < kClassIdSize)
        return false;
    return LoadFromBytes(record->data.data() + kClassIdSize, record->data.size() - kClassIdSize, *control);
}

int CViewerBackground::OnLoadProperties(CViewerPropertyBag& bag)
{
    bag.GetValue("RECT_LEFT", rect.left);
    bag.GetValue("RECT_TOP", rect.top);
    bag.GetValue("RECT_RIGHT", rect.right);
    bag.GetValue("RECT_BOTTOM", rect.bottom);
    bag.GetValue("MARGIN_LEFT", margins.left);
    bag.GetValue("MARGIN_TOP", margins.top);
    bag.GetValue("MARGIN_RIGHT", margins.right);
    bag.GetValue("MARGIN_BOTTOM", margins.bottom);
    bag.GetValue("USEWINDOWCOLOR", useWindowColor);
    bag.GetValue("COLOR", color);
    bag.GetValue("PRINTBACKGROUND", printBackground);
    if (!LoadStoredControl(bag, "FILL_CONTROL", m_fill.get()) || !LoadStoredControl(bag, "IMAGE_CONTROL", m_image.get()))
        return 1;
    bag.GetValue("IMAGESIZE_CX", imageWidth);
    bag.GetValue("IMAGESIZE_CY", imageHeight);
    bag.GetValue("IMAGETYPE", imageType);
    return 0;
}

int CCardViewerBackground::OnLoadProperties(CViewerPropertyBag& bag)
{
    if (const CViewerPropertyBag::Record* record = bag.FindByName("HotSpots")) {
        CMemoryByteSource source(record->data.data(), record->data.size());
        CArchiveReader archive(source);
        uint32_t count = 0;
        if (!archive.ReadU32(count))
            return 1;
        std::vector<CViewerHotSpot> hotSpots;
        for (uint32_t i = 0; i < count; ++i) {
            CViewerHotSpot hotSpot;
            if (!hotSpot.Load(archive))
                return 1;   // the count promised more than the record holds
            hotSpots.push_back(hotSpot);
        }
        m_hotSpots.swap(hotSpots);
    }
    return CViewerBackground::OnLoadProperties(bag);
}

#include "ViewerControlFactory.h"

namespace {
// FigureControl and ImageControl: the classes the background's fill and picture are stored as.
const GUID kFigureControl = {0xFCA18D84, 0xE068, 0x11D2, {0x8E, 0xB7, 0x48, 0x54, 0xE8, 0x27, 0xC1, 0x32}};
const GUID kImageControl = {0xCBEFDE84, 0x6FE2, 0x11D2, {0x8B, 0x83, 0x48, 0x54, 0xE8, 0x28, 0x35, 0x14}};
}

std::unique_ptr<CViewerPersistent> CStoredControlFactory::CreateControl(const GUID& classId)
{
    return std::make_unique<CStoredControl>(classId);
}

std::unique_ptr<CViewerPersistent> CStoredControlFactory::CreateFillControl()
{
    return std::make_unique<CStoredControl>(kFigureControl);
}

std::unique_ptr<CViewerPersistent> CStoredControlFactory::CreateImageControl()
{
    return std::make_unique<CStoredControl>(kImageControl);
}

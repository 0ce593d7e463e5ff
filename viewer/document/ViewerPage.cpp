#include "ViewerPage.h"

bool CViewerPage::Serialize(CArchiveReader& archive)
{
    return ReadProperties(archive) && ReadPlacements(archive);
}

bool CViewerPage::ReadProperties(CArchiveReader& archive)
{
    if (!m_properties)
        m_properties = CreateProperties();
    return m_properties->Load(archive);
}

bool CViewerPage::ReadPlacements(CArchiveReader& archive)
{
    uint32_t count = 0;
    if (!archive.ReadU32(count))
        return false;
    // Every placement reads at least its terminator, so a damaged count ends with the bytes.
    for (uint32_t i = 0; i < count; ++i) {
        std::unique_ptr<CViewerPlacement> placement = CreatePlacement();
        if (!placement->Load(archive))
            return false;
        placement->SetPage(this);
        m_placements.push_back(std::move(placement));
    }
    return true;
}

std::unique_ptr<CViewerPageProperties> CViewerPage::CreateProperties() const
{
    return std::make_unique<CViewerPageProperties>();
}

std::unique_ptr<CViewerPlacement> CViewerPage::CreatePlacement() const
{
    return std::make_unique<CViewerPlacement>();
}

CPageGeometry CViewerPage::GetGeometry() const
{
    return m_properties ? m_properties->geometry : CPageGeometry();
}

void CViewerPage::CopyFrom(const CViewerPage& other)
{
    m_properties = other.m_properties ? other.m_properties->Clone() : nullptr;
    m_placements.clear();
    for (const auto& placement : other.m_placements) {
        std::unique_ptr<CViewerPlacement> copy = placement->Clone();
        copy->SetPage(this);
        m_placements.push_back(std::move(copy));
    }
}

CViewerPlacement* CViewerPage::FindPlacement(int siteId) const
{
    for (const auto& placement : m_placements)
        if (placement->siteId == siteId)
            return placement.get();
    return nullptr;
}

std::unique_ptr<CViewerPageProperties> CCardViewerPage::CreateProperties() const
{
    return std::make_unique<CCardViewerPageProperties>();
}

std::unique_ptr<CViewerPlacement> CCardViewerPage::CreatePlacement() const
{
    return std::make_unique<CCardViewerPlacement>();
}

CCardViewerPageProperties* CCardViewerPage::GetProperties() const
{
    return dynamic_cast<CCardViewerPageProperties*>(GetPageProperties());
}

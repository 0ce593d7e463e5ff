#include "ViewerSite.h"
#include "ViewerControlFactory.h"
#include "ViewerDoc.h"

#include <cmath>

namespace {
const double kPi = 3.14159265358979323846;
const ULONG kClassIdSize = 16;
}

bool CViewerSite::Serialize(CArchiveReader& archive)
{
    return ReadProperties(archive) && ReadBackground(archive) && ReadStartData(archive) &&
           ReadControlList(archive) && ReadFinishData(archive);
}

void CViewerSite::CreateParts(IViewerControlFactory& factory)
{
    m_factory = &factory;
    m_properties = CreateProperties();
    m_background = CreateBackground();
    m_background->SetSite(this);
    m_background->CreateControls(factory);
}

void CViewerSite::FillPlacementRecord(CPlacementRecord& record, const CViewerPlacement& placement) const
{
    if (m_background) {
        record.siteWidth = m_background->rect.Width();
        record.siteHeight = m_background->rect.Height();
    }
    record.scale = 1.0;
    record.x = placement.x;
    record.y = placement.y;
    record.angle = placement.angle;
    // Mirrored both ways is the same picture turned half round.
    if (placement.horizontalFlip && placement.verticalFlip)
        record.angle += kPi;
    record.siteId = GetID();
}

void CViewerSite::ApplyPageGeometry(const CPageGeometry& page)
{
    if (!m_background)
        return;
    m_background->margins = {page.leftMargin, page.topMargin, page.rightMargin, page.bottomMargin};
    m_background->rect = {0.0, 0.0, page.PrintableWidth(), page.PrintableHeight()};
}

std::unique_ptr<CViewerSiteProperties> CViewerSite::CreateProperties() const
{
    return std::make_unique<CViewerSiteProperties>();
}

std::unique_ptr<CViewerBackground> CViewerSite::CreateBackground() const
{
    return std::make_unique<CViewerBackground>();
}

bool CViewerSite::ReadProperties(CArchiveReader& archive)
{
    return m_properties && archive.ReadObject(*m_properties);
}

bool CViewerSite::ReadBackground(CArchiveReader& archive)
{
    return m_background && archive.ReadObject(*m_background);
}

bool CViewerSite::ReadStartData(CArchiveReader& archive)
{
    CViewerMarker marker("CSiteStartData");
    return archive.ReadObject(marker);
}

bool CViewerSite::ReadFinishData(CArchiveReader& archive)
{
    CViewerMarker marker("CSiteFinishData");
    return archive.ReadObject(marker);
}

bool CViewerSite::ReadControlList(CArchiveReader& archive)
{
    uint32_t count = 0;
    if (!archive.ReadU32(count) || !m_factory)
        return false;
    std::vector<std::unique_ptr<CViewerPersistent>> controls;
    for (uint32_t i = 0; i < count; ++i) {
        GUID classId;
        if (!archive.ReadBytes(&classId, kClassIdSize))
            return false;
        std::unique_ptr<CViewerPersistent> control = m_factory->CreateControl(classId);
        if (!control || !control->Load(archive))
            return false;
        controls.push_back(std::move(control));
    }
    m_factory->AttachControls(*this, controls);
    m_controls = std::move(controls);
    return true;
}

void CCardViewerSite::ApplyPageGeometry(const CPageGeometry& page)
{
    CViewerSite::ApplyPageGeometry(page);
    CViewerDoc* document = GetDocument();
    CRectD rect;
    if (!document || !GetBackground() || !document->GetSiteRect(GetID(), rect))
        return;
    GetBackground()->margins = {0.0, 0.0, 0.0, 0.0};
    GetBackground()->rect = {0.0, 0.0, rect.Width(), rect.Height()};
}

std::unique_ptr<CViewerSiteProperties> CCardViewerSite::CreateProperties() const
{
    return std::make_unique<CCardViewerSiteProperties>();
}

std::unique_ptr<CViewerBackground> CCardViewerSite::CreateBackground() const
{
    return std::make_unique<CCardViewerBackground>();
}

CCardViewerSiteProperties* CCardViewerSite::GetProperties() const
{
    return dynamic_cast<CCardViewerSiteProperties*>(GetSiteProperties());
}

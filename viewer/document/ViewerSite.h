#pragma once
#include "PlacementList.h"
#include "ViewerBackground.h"
#include "ViewerGeometry.h"
#include "ViewerPlacement.h"
#include "ViewerSiteProperties.h"

#include <memory>
#include <vector>

class CViewerDoc;
class IViewerControlFactory;

// One design surface of the card (the viewer calls it a page): its properties, its background and
// its drawing controls in stored order.
class CViewerSite : public CViewerPersistent
{
public:
    CViewerSite() : CViewerPersistent("CTarnSite") {}
    bool Load(CArchiveReader& archive) override { return Serialize(archive); }

    virtual bool Serialize(CArchiveReader& archive);
    // Makes the properties and the background with its fill and image controls.
    virtual void CreateParts(IViewerControlFactory& factory);
    virtual CPlacementRecord CreatePlacementRecord() const { return CPlacementRecord(); }
    virtual void FillPlacementRecord(CPlacementRecord& record, const CViewerPlacement& placement) const;
    virtual void ApplyPageGeometry(const CPageGeometry& page);
    virtual std::unique_ptr<CViewerSiteProperties> CreateProperties() const;
    virtual std::unique_ptr<CViewerBackground> CreateBackground() const;
    virtual bool ReadControlList(CArchiveReader& archive);
    virtual bool ReadStartData(CArchiveReader& archive);
    virtual bool ReadProperties(CArchiveReader& archive);
    virtual bool ReadBackground(CArchiveReader& archive);
    virtual bool ReadFinishData(CArchiveReader& archive);

    void SetDocument(CViewerDoc* document) { m_document = document; }
    CViewerDoc* GetDocument() const { return m_document; }
    int GetID() const { return m_properties ? m_properties->GetSiteID() : 0; }
    CViewerSiteProperties* GetSiteProperties() const { return m_properties.get(); }
    CViewerBackground* GetBackground() const { return m_background.get(); }
    const std::vector<std::unique_ptr<CViewerPersistent>>& GetControls() const { return m_controls; }

protected:
    explicit CViewerSite(const char* className) : CViewerPersistent(className) {}

private:
    std::unique_ptr<CViewerSiteProperties> m_properties;
    std::unique_ptr<CViewerBackground> m_background;
    std::vector<std::unique_ptr<CViewerPersistent>> m_controls;
    IViewerControlFactory* m_factory = nullptr;
    CViewerDoc* m_document = nullptr;
};

// A card panel: its rectangle follows from its relative size and its placement on a side.
class CCardViewerSite : public CViewerSite
{
public:
    CCardViewerSite() : CViewerSite("CKDXSite") {}
    void ApplyPageGeometry(const CPageGeometry& page) override;
    std::unique_ptr<CViewerSiteProperties> CreateProperties() const override;
    std::unique_ptr<CViewerBackground> CreateBackground() const override;
    CCardViewerSiteProperties* GetProperties() const;
};

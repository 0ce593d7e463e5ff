#pragma once
#include "ViewerPageProperties.h"
#include "ViewerPlacement.h"

#include <memory>
#include <vector>

class CViewerDoc;

// One printed page: its size and margins and the placements of sites on it.
class CViewerPage : public CViewerPersistent
{
public:
    CViewerPage() : CViewerPersistent("CTarnPage") {}
    bool Load(CArchiveReader& archive) override { return Serialize(archive); }

    virtual bool Serialize(CArchiveReader& archive);
    virtual bool ReadProperties(CArchiveReader& archive);
    virtual bool ReadPlacements(CArchiveReader& archive);
    virtual std::unique_ptr<CViewerPageProperties> CreateProperties() const;
    virtual std::unique_ptr<CViewerPlacement> CreatePlacement() const;
    virtual CPageGeometry GetGeometry() const;
    // Takes a copy of another page's properties and placements.
    virtual void CopyFrom(const CViewerPage& other);

    void SetDocument(CViewerDoc* document) { m_document = document; }
    CViewerDoc* GetDocument() const { return m_document; }
    CViewerPageProperties* GetPageProperties() const { return m_properties.get(); }
    void SetPageProperties(std::unique_ptr<CViewerPageProperties> properties) { m_properties = std::move(properties); }
    // Makes the properties when the page has none (a page stored as a null object).
    void EnsureProperties()
    {
        if (!m_properties)
            m_properties = CreateProperties();
    }
    size_t GetPlacementCount() const { return m_placements.size(); }
    CViewerPlacement& GetPlacement(size_t index) const { return *m_placements[index]; }
    // The first placement of the site, or null.
    CViewerPlacement* FindPlacement(int siteId) const;

protected:
    explicit CViewerPage(const char* className) : CViewerPersistent(className) {}

private:
    std::unique_ptr<CViewerPageProperties> m_properties;
    std::vector<std::unique_ptr<CViewerPlacement>> m_placements;
    CViewerDoc* m_document = nullptr;
};

class CCardViewerPage : public CViewerPage
{
public:
    CCardViewerPage() : CViewerPage("CKDPage") {}
    std::unique_ptr<CViewerPageProperties> CreateProperties() const override;
    std::unique_ptr<CViewerPlacement> CreatePlacement() const override;
    // The properties as a card page's; null only when none were made.
    CCardViewerPageProperties* GetProperties() const;
};

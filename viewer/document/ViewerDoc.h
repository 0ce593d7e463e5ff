#pragma once
#include "PlacementList.h"
#include "ViewerPageSetupData.h"
#include "ViewerControlFactory.h"
#include "ViewerDocProperties.h"
#include "ViewerPageList.h"
#include "ViewerSite.h"

#include <functional>
#include <memory>
#include <vector>

class CResourceStorage;
class CSoundStore;

// How a card load ended. Every outcome but kCardLoaded leaves the document empty.
enum class CardLoadResult
{
    kCardLoaded,
    kNoCard,          // no embedded card, or its compound file cannot be opened
    kNoContents,      // no "Contents" stream, or one the compressed-stream reader refuses
    kBadSignature,    // not "TARN" followed by version 2
    kDamaged,         // the contents end early or hold values that cannot be read
};

// The viewer's document: the card read back from the program's own resources.
class CViewerDoc : public CViewerPersistent
{
public:
    static const WORD kCardResourceType = 21359;
    static const uint32_t kReadableVersion = 2;

    CViewerDoc();
    ~CViewerDoc() override;
    using CViewerPersistent::Load;
    bool Load(CArchiveReader& archive) override { return Serialize(archive); }

    virtual bool Serialize(CArchiveReader& archive);
    // Reads the card embedded in module (null: the program itself) as resources of resourceType.
    // The identifier is not used: the card always starts at resource name 1.
    virtual CardLoadResult Load(WORD resourceType, int identifier, HMODULE module = nullptr);
    virtual std::unique_ptr<CViewerDocProperties> CreateProperties() const;
    virtual std::unique_ptr<CViewerSite> CreateSite() const;
    virtual std::unique_ptr<CViewerPage> CreatePage() const;
    // Reads the card's sound lists from its open storage (they live in their own stream beside
    // "Contents"); a missing or damaged stream leaves the card without sounds.
    virtual void LoadSounds(IStorage* storage);
    // The card's sound lists, by site id; empty when the card has none.
    const CSoundStore& GetSoundStore() const { return *m_sounds; }
    virtual bool ReadSignature(CArchiveReader& archive);
    virtual bool ReadStartData(CArchiveReader& archive);
    virtual bool ReadProperties(CArchiveReader& archive);
    virtual bool ReadSites(CArchiveReader& archive);
    virtual bool ReadPageList(CArchiveReader& archive);
    virtual bool ReadFinishData(CArchiveReader& archive);
    // Printing hooks around each printed page (pageNumber from 1, printable rectangle in device
    // pixels); false ends the print.
    virtual bool BeforePrintPage(HDC, int /*pageNumber*/, const CPlacementList&, const RECT& /*printable*/)
    {
        return true;
    }
    virtual bool AfterPrintPage(HDC, int /*pageNumber*/, const CPlacementList&, const RECT& /*printable*/,
                                double /*zoom*/)
    {
        return true;
    }
    virtual std::unique_ptr<CPlacementList> CreatePlacementList() const;
    virtual void FillPlacementList(CPlacementList& list) const;
    // The index of the first page that places the site, or -1.
    virtual int PageOfSite(int siteId) const;
    virtual void LoadPage(size_t pageIndex);
    // The page-setup data over a copy of the page list; null when the copy has no page to edit.
    virtual std::unique_ptr<CViewerPageSetupData> CreatePageSetupData(CViewerPageList& pages) const;
    // The rectangle a site takes on the page that first places it; only a card knows it.
    virtual bool GetSiteRect(int siteId, CRectD& rect);

    // The page-setup command: runDialog edits the data over a copy of the pages and answers whether
    // the user confirmed. On confirmation the copy replaces the pages, which are laid out again, and
    // the answer is 1; otherwise the document is untouched and the answer is 2.
    int PageSetup(const std::function<bool(CViewerPageSetupData&)>& runDialog);

    // Reads a card file held in memory, as Load does for the embedded one.
    CardLoadResult LoadCardFile(const void* data, size_t size);
    // Until set, stored controls are kept as CStoredControl objects.
    void SetControlFactory(IViewerControlFactory* factory);

    size_t GetPageCount() const { return m_pages ? m_pages->GetCount() : 0; }
    CViewerPage& GetPage(size_t index) const { return m_pages->GetPage(index); }
    CViewerPageList* GetPageList() const { return m_pages.get(); }
    size_t GetSiteCount() const { return m_sites.size(); }
    CViewerSite& GetSiteByIndex(size_t index) const { return *m_sites[index]; }
    // The first site whose id matches, or null.
    CViewerSite* GetSite(int siteId) const;
    CViewerDocProperties* GetDocProperties() const { return m_properties.get(); }
    uint32_t GetVersion() const { return m_version; }

protected:
    CardLoadResult LoadFromStorage(CResourceStorage& storage);
    void Clear();

private:
    std::unique_ptr<CViewerDocProperties> m_properties;
    std::unique_ptr<CSoundStore> m_sounds;
    std::vector<std::unique_ptr<CViewerSite>> m_sites;
    std::unique_ptr<CViewerPageList> m_pages;
    CStoredControlFactory m_storedControls;
    IViewerControlFactory* m_factory;
    uint32_t m_version = 0;
    enum class SignatureState { kUnread, kAccepted, kRefused } m_signature = SignatureState::kUnread;
};

// The card document the viewer always builds.
class CCardViewerDoc : public CViewerDoc
{
public:
    std::unique_ptr<CViewerDocProperties> CreateProperties() const override;
    std::unique_ptr<CViewerSite> CreateSite() const override;
    std::unique_ptr<CViewerPage> CreatePage() const override;
    bool GetSiteRect(int siteId, CRectD& rect) override;
    std::unique_ptr<CViewerPageSetupData> CreatePageSetupData(CViewerPageList& pages) const override;
    CCardViewerDocProperties* GetProperties() const;
};

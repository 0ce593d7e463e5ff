#include "ViewerDoc.h"
#include "ResourceStorage.h"
#include "ViewerSoundStore.h"

#include <cstring>

namespace {
const char kSignature[4] = {'T', 'A', 'R', 'N'};
// Edges this close to the printable rectangle's border stay on it.
const double kBorderTolerance = 1e-10;
}

CViewerDoc::CViewerDoc()
    : CViewerPersistent("CTarnDoc"), m_sounds(std::make_unique<CViewerSoundStore>()),
      m_pages(std::make_unique<CViewerPageList>(this)), m_factory(&m_storedControls)
{
}

CViewerDoc::~CViewerDoc() = default;

void CViewerDoc::SetControlFactory(IViewerControlFactory* factory)
{
    m_factory = factory ? factory : &m_storedControls;
}

void CViewerDoc::Clear()
{
    m_sites.clear();
    m_sounds = std::make_unique<CViewerSoundStore>();
    m_properties = CreateProperties();
    m_pages = std::make_unique<CViewerPageList>(this);
    m_version = 0;
    m_signature = SignatureState::kUnread;
}

CardLoadResult CViewerDoc::Load(WORD resourceType, int /*identifier*/, HMODULE module)
{
    Clear();
    CResourceStorage storage;
    if (!storage.Open(resourceType, module))
        return CardLoadResult::kNoCard;
    return LoadFromStorage(storage);
}

CardLoadResult CViewerDoc::LoadCardFile(const void* data, size_t size)
{
    Clear();
    CResourceStorage storage;
    if (!storage.OpenBytes(data, size))
        return CardLoadResult::kNoCard;
    return LoadFromStorage(storage);
}

CardLoadResult CViewerDoc::LoadFromStorage(CResourceStorage& storage)
{
    CardLoadResult result = CardLoadResult::kNoContents;
    {
        CStreamHolder contents;
        if (storage.OpenStream("Contents", contents)) {
            CStreamByteSource source(contents.Get());
            CArchiveReader archive(source);
            if (Serialize(archive)) {
                // Sounds belong to a card that read whole; the storage is still open for them.
                LoadSounds(storage.GetStorage());
                result = CardLoadResult::kCardLoaded;
            } else if (m_signature == SignatureState::kRefused)
                result = CardLoadResult::kBadSignature;
            else
                result = CardLoadResult::kDamaged;
        }
        // The archive and its source end here, then the stream, then the storage.
    }
    storage.Close();
    if (result != CardLoadResult::kCardLoaded) {
        // Half a card is not shown: a damaged card leaves the document empty.
        Clear();
        return result;
    }
    for (size_t i = 0; i < GetPageCount(); ++i)
        LoadPage(i);
    return result;
}

bool CViewerDoc::Serialize(CArchiveReader& archive)
{
    // Only the layout of the readable version is known, so nothing after a refused signature is read.
    return ReadSignature(archive) && ReadProperties(archive) && ReadStartData(archive) && ReadSites(archive) && ReadPageList(archive) &&
           ReadFinishData(archive);
}

void CViewerDoc::LoadSounds(IStorage* storage)
{
    m_sounds = std::make_unique<CViewerSoundStore>();
    // A damaged stream adds no list: the card shows without sound panels.
    m_sounds->Load(storage);
}

bool CViewerDoc::ReadSignature(CArchiveReader& archive)
{
    char signature[4];
    uint32_t version = 0;
    if (!archive.ReadBytes(signature, sizeof signature) || !archive.ReadU32(version))
        return false;
    m_version = version;
    const bool readable = std::memcmp(signature, kSignature, sizeof signature) == 0 && version == kReadableVersion;
    m_signature = readable ? SignatureState::kAccepted : SignatureState::kRefused;
    return readable;
}

bool CViewerDoc::ReadProperties(CArchiveReader& archive)
{
    if (!m_properties)
        m_properties = CreateProperties();
    return archive.ReadObject(*m_properties);
}

bool CViewerDoc::ReadStartData(CArchiveReader& archive)
{
    CViewerMarker marker("CDocStartData");
    return archive.ReadObject(marker);
}

bool CViewerDoc::ReadFinishData(CArchiveReader& archive)
{
    CViewerMarker marker("CDocFinishData");
    return archive.ReadObject(marker);
}

bool CViewerDoc::ReadSites(CArchiveReader& archive)
{
    uint32_t count = 0;
    if (!archive.ReadU32(count))
        return false;
    for (uint32_t i = 0; i < count; ++i) {
        std::unique_ptr<CViewerSite> site = CreateSite();
        site->CreateParts(*m_factory);
        site->SetDocument(this);
        CViewerSite& reading = *site;
        m_sites.push_back(std::move(site));
        // Every site is stored whole; a null or repeated one only comes from damage, and taking it
        // would let a few bytes of damage conjure up any number of empty sites.
        bool read = false;
        if (!archive.ReadObject(reading, read) || !read)
            return false;
    }
    return true;
}

bool CViewerDoc::ReadPageList(CArchiveReader& archive)
{
    return archive.ReadObject(*m_pages);
}

std::unique_ptr<CViewerDocProperties> CViewerDoc::CreateProperties() const
{
    return std::make_unique<CViewerDocProperties>();
}

std::unique_ptr<CViewerSite> CViewerDoc::CreateSite() const
{
    return std::make_unique<CViewerSite>();
}

std::unique_ptr<CViewerPage> CViewerDoc::CreatePage() const
{
    return std::make_unique<CViewerPage>();
}

CViewerSite* CViewerDoc::GetSite(int siteId) const
{
    for (const auto& site : m_sites)
        if (site->GetID() == siteId)
            return site.get();
    return nullptr;
}

std::unique_ptr<CPlacementList> CViewerDoc::CreatePlacementList() const
{
    return std::make_unique<CPlacementList>();
}

void CViewerDoc::FillPlacementList(CPlacementList& list) const
{
    for (size_t i = 0; i < GetPageCount(); ++i) {
        const CViewerPage& page = GetPage(i);
        CPageLayout layout;
        layout.geometry = page.GetGeometry();
        for (size_t p = 0; p < page.GetPlacementCount(); ++p) {
            const CViewerPlacement& placement = page.GetPlacement(p);
            const CViewerSite* site = GetSite(placement.siteId);
            if (!site)
                continue;   // a placement of no site prints nothing
            CPlacementRecord record = site->CreatePlacementRecord();
            site->FillPlacementRecord(record, placement);
            layout.placements.push_back(record);
        }
        list.push_back(std::move(layout));
    }
}

int CViewerDoc::PageOfSite(int siteId) const
{
    for (size_t i = 0; i < GetPageCount(); ++i)
        if (GetPage(i).FindPlacement(siteId))
            return static_cast<int>(i);
    return -1;
}

void CViewerDoc::LoadPage(size_t pageIndex)
{
    if (pageIndex >= GetPageCount())
        return;
    const CViewerPage& page = GetPage(pageIndex);
    const CPageGeometry geometry = page.GetGeometry();
    for (size_t p = 0; p < page.GetPlacementCount(); ++p)
        if (CViewerSite* site = GetSite(page.GetPlacement(p).siteId))
            site->ApplyPageGeometry(geometry);
}

std::unique_ptr<CViewerPageSetupData> CViewerDoc::CreatePageSetupData(CViewerPageList& pages) const
{
    if (pages.GetCount() == 0)
        return nullptr;
    return std::make_unique<CViewerPageSetupData>(pages);
}

int CViewerDoc::PageSetup(const std::function<bool(CViewerPageSetupData&)>& runDialog)
{
    const int kConfirmed = 1, kCancelled = 2;
    CViewerPageList copy(this);
    copy.RebuildFrom(*m_pages);
    std::unique_ptr<CViewerPageSetupData> data = CreatePageSetupData(copy);
    if (!data || !runDialog || !runDialog(*data))
        return kCancelled;
    m_pages->RebuildFrom(copy);
    for (size_t i = 0; i < GetPageCount(); ++i)
        LoadPage(i);
    return kConfirmed;
}

bool CViewerDoc::GetSiteRect(int, CRectD&)
{
    return false;
}

std::unique_ptr<CViewerDocProperties> CCardViewerDoc::CreateProperties() const
{
    return std::make_unique<CCardViewerDocProperties>();
}

std::unique_ptr<CViewerSite> CCardViewerDoc::CreateSite() const
{
    return std::make_unique<CCardViewerSite>();
}

std::unique_ptr<CViewerPage> CCardViewerDoc::CreatePage() const
{
    return std::make_unique<CCardViewerPage>();
}

std::unique_ptr<CViewerPageSetupData> CCardViewerDoc::CreatePageSetupData(CViewerPageList& pages) const
{
    if (pages.GetCount() == 0)
        return nullptr;
    return std::make_unique<CCardViewerPageSetupData>(pages);
}

CCardViewerDocProperties* CCardViewerDoc::GetProperties() const
{
    return dynamic_cast<CCardViewerDocProperties*>(GetDocProperties());
}

bool CCardViewerDoc::GetSiteRect(int siteId, CRectD& rect)
{
    const int pageIndex = PageOfSite(siteId);
    CCardViewerSite* site = dynamic_cast<CCardViewerSite*>(GetSite(siteId));
    if (pageIndex < 0 || !site || !site->GetProperties())
        return false;   // a site no page places keeps its stored rectangle
    const CViewerPage& page = GetPage(static_cast<size_t>(pageIndex));
    CCardViewerPlacement* placement = dynamic_cast<CCardViewerPlacement*>(page.FindPlacement(siteId));
    if (!placement)
        return false;
    const CPageGeometry geometry = page.GetGeometry();
    const double width = geometry.PrintableWidth();
    const double height = geometry.PrintableHeight();
    const double x = placement->relative.x, y = placement->relative.y;
    const CCardViewerSiteProperties::RelativeSize& size = site->GetProperties()->GetSize();

    rect.left = x * width;
    rect.top = y * height;
    rect.right = rect.left + size.width * width;
    rect.bottom = rect.top + size.height * height;

    // Inner edges move apart by the spacing between panels; edges on the border stay there.
    const CCardViewerPage* cardPage = dynamic_cast<const CCardViewerPage*>(&page);
    const double spacing = cardPage && cardPage->GetProperties() ? cardPage->GetProperties()->spacing : 0.0;
    if (x > kBorderTolerance)
        rect.left += spacing / 2;
    if (y > kBorderTolerance)
        rect.top += spacing / 2;
    if (x + size.width < 1.0 - kBorderTolerance)
        rect.right -= spacing / 2;
    if (y + size.height < 1.0 - kBorderTolerance)
        rect.bottom -= spacing / 2;

    placement->x = rect.left;
    placement->y = rect.top;
    return true;
}

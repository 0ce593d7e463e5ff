#include "TarnDoc.h"

#include <algorithm>

#include "Mosk.h"
#include "OptionsManager.h"
#include "TarnBackground.h"
#include "TarnPage.h"
#include "TarnSite.h"
#include "SiteRecords.h"
#include "TarnApp.h"
#include "SoundStore.h"
#include "TarnThumbnail.h"

IMPLEMENT_DYNCREATE(CTarnDoc, COleDocument)

CTarnDoc::CTarnDoc()
{
    EnableCompoundFile();
    EnableAutomation();
    m_soundStore = new CSoundStore;
    // Without the compressed-storage server cards are stored uncompressed.
    if (FAILED(CoCreateInstance(CLSID_ZStorage, nullptr, CLSCTX_INPROC_SERVER, IID_IZStorage,
                                reinterpret_cast<void**>(&m_zstorage))))
        m_zstorage = nullptr;
}

int CTarnDoc::DefaultDocStyle() const
{
    const COptionsManager* options = GetOptionsManager();
    return options ? options->m_nDefaultDocStyle : 0;
}

BOOL CTarnDoc::IsSaveCompressedData() const
{
    if (m_saveCompressedChosen)
        return m_saveCompressed;
    if (const COptionsManager* options = GetOptionsManager())
        return options->m_bSaveCompressedData ? TRUE : FALSE;
    return TRUE;
}

CTarnDoc::~CTarnDoc()
{
    ReleaseSites();
    delete m_pageList;
    delete m_properties;
    delete m_startData;
    delete m_finishData;
    delete m_soundStore;
    if (m_zstorage)
        m_zstorage->Release();
}

void CTarnDoc::ReleaseSites()
{
    // Undo records hold their targets: none may outlive the document's hold on its sites.
    for (CTarnSite* site : m_everAdded)
        site->ClearUndoStacks();
    for (CTarnSite* site : m_sites)
        site->Release();
    m_sites.clear();
    for (CTarnSite* site : m_everAdded)
        site->Release();
    m_everAdded.clear();
}

CTarnSite* CTarnDoc::CreateNewSite(int) { return new CTarnSite; }
CTarnPage* CTarnDoc::CreateNewPage(int) { return new CTarnPage(this); }
CTarnPageList* CTarnDoc::CreatePageList() { return new CTarnPageList(this); }
CTarnDocProperties* CTarnDoc::CreateTarnDocProperties() { return new CTarnDocProperties; }

BOOL CTarnDoc::OnNewDocument()
{
    if (!COleDocument::OnNewDocument())
        return FALSE;
    delete m_properties;
    m_properties = CreateTarnDocProperties();
    m_properties->InitNew();
    delete m_pageList;
    m_pageList = CreatePageList();
    m_pageList->SetMaster(this);
    delete m_startData;
    m_startData = new CDocStartData;
    m_startData->InitNew();
    delete m_finishData;
    m_finishData = new CDocFinishData;
    m_finishData->InitNew();
    CreateDefControls();
    CreateSites();
    SetStyleWOUndo(DefaultDocStyle());
    return TRUE;
}

void CTarnDoc::CreateSites()
{
    const int count = m_newSiteCount;
    for (int i = 0; i < count; ++i) {
        CTarnSite* site = CreateNewSite(i);
        site->InitNew();
        site->SetMaster(this, i);
        AddSite(site);
    }
    RecomputeNextSiteId();
}

void CTarnDoc::DeleteContents()
{
    ReleaseSites();
    delete m_pageList;
    m_pageList = nullptr;
    // A reused document must not carry the last card's sounds into the next one.
    delete m_soundStore;
    m_soundStore = new CSoundStore;
    COleDocument::DeleteContents();
}

void CTarnDoc::AddSite(CTarnSite* site)
{
    if (!site)
        return;
    site->AddRef();
    m_sites.push_back(site);
    m_newSiteCount = GetSiteNumber();
    if (std::find(m_everAdded.begin(), m_everAdded.end(), site) == m_everAdded.end()) {
        site->AddRef();
        m_everAdded.push_back(site);
    }
}

void CTarnDoc::RemoveSite(CTarnSite* site)
{
    auto found = std::find(m_sites.rbegin(), m_sites.rend(), site);
    if (found == m_sites.rend())
        return;
    const int id = site->GetID();
    site->DeleteAllControlsWOUndo();
    m_sites.erase(std::next(found).base());
    site->Release();
    if (m_pageList) {
        for (int i = m_pageList->GetSize() - 1; i >= 0; --i) {
            if (m_pageList->GetAt(i)->RemoveSiteInfo(id))
                break;
        }
    }
}

CTarnSite* CTarnDoc::GetSiteByIndex(int index) const
{
    return index >= 0 && index < GetSiteNumber() ? m_sites[static_cast<size_t>(index)] : nullptr;
}

CTarnSite* CTarnDoc::GetSite(int id) const
{
    for (auto it = m_sites.rbegin(); it != m_sites.rend(); ++it) {
        if ((*it)->GetID() == id)
            return *it;
    }
    return nullptr;
}

int CTarnDoc::GetPageCount() const { return m_pageList ? m_pageList->GetSize() : 0; }

CTarnPage* CTarnDoc::GetPage(int index) const
{
    return index >= 0 && index < GetPageCount() ? m_pageList->GetAt(index) : nullptr;
}

void CTarnDoc::AddPage(CTarnPage* page)
{
    if (!m_pageList) {
        m_pageList = CreatePageList();
        m_pageList->SetMaster(this);
    }
    page->SetMaster(this);
    m_pageList->Add(page);
}

BOOL CTarnDoc::InsertControl(int id, IBaseControl* control, long position)
{
    CTarnSite* site = GetSite(id);
    if (!site || !control)
        return FALSE;
    site->InsertControlWOUndo(control, position);
    return TRUE;
}

BOOL CTarnDoc::DeleteControl(int id, IBaseControl* control)
{
    CTarnSite* site = GetSite(id);
    if (!site || site->GetControlPosition(control) < 0)
        return FALSE;
    site->DeleteControlWOUndo(control);
    return TRUE;
}

int CTarnDoc::GetControlCount(int id) const
{
    const CTarnSite* site = GetSite(id);
    return site ? site->GetControlCount() : -1;
}

int CTarnDoc::GetControlPosition(int id, IBaseControl* control) const
{
    const CTarnSite* site = GetSite(id);
    return site ? site->GetControlPosition(control) : -1;
}

void CTarnDoc::RecomputeNextSiteId()
{
    auto used = [&](int id) { return GetSite(id) != nullptr; };
    // Site ids stay below 0x8000; at most that many tries find a free one.
    for (int tries = 0; tries <= 0x8000; ++tries) {
        m_nextSiteId = (m_nextSiteId + 1) & 0x7FFF;
        if (!used(m_nextSiteId))
            return;
    }
}

CTarnThumbnail* CTarnDoc::CreateThumbnail()
{
    // The application decides the kind; a document without the framework's application (a
    // tool, a test) makes the framework's own.
    if (auto* app = dynamic_cast<CTarnApp*>(AfxGetApp()))
        return app->CreateThumbnail();
    return new CSiteSizeThumbnail;
}

CString CTarnDoc::GetPreviewPageDescription(int page) const
{
    CTarnSite* site = GetSiteByIndex(page);
    return site ? site->GetBriefDescription() : CString();
}

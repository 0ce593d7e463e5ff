#include "FrameworkCard.h"

#include <memory>

#include "TarnBackground.h"
#include "TarnDoc.h"
#include "TarnPage.h"
#include "TarnSite.h"
#include "SiteRecords.h"

namespace frameworkcard {
namespace {

// {9DEA5AE7-4CD1-4922-ADED-216AE1727DB3} ZStream, {8A22656D-3F49-4561-B6E6-F1E6967E1527} ZStorage
const CLSID kZStream = {0x9dea5ae7, 0x4cd1, 0x4922, {0xad, 0xed, 0x21, 0x6a, 0xe1, 0x72, 0x7d, 0xb3}};
const CLSID kZStorage = {0x8a22656d, 0x3f49, 0x4561, {0xb6, 0xe6, 0xf1, 0xe6, 0x96, 0x7e, 0x15, 0x27}};

// Messages of a failed save are kept for the caller instead of shown.
class CQuietCardDoc : public CTarnDoc {
public:
    int ShowMessage(const CString& text, UINT) override
    {
        messages += static_cast<LPCSTR>(text);
        messages += "\n";
        return IDOK;
    }
    std::string messages;
};

void AddSite(CTarnDoc& doc, const cardsummary::SiteSummary& plan)
{
    CTarnSite* site = doc.CreateNewSite(doc.GetSiteNumber());
    site->InitNew();
    site->SetMaster(&doc, plan.id);
    site->GetProperties()->m_siteName = plan.name.c_str();
    CTarnBackground* background = site->GetBackground();
    background->SetColor(static_cast<long>(plan.background.color), plan.background.useWindowColor);
    background->SetImageLayout(plan.background.imageType, plan.background.imageWidth, plan.background.imageHeight,
                               TRUE);
    background->SetPrintBackground(plan.background.printBackground);
    // A new site comes without a reference of its own: the document's are the only ones it has.
    doc.AddSite(site);
}

void AddPage(CTarnDoc& doc, const cardsummary::PageSummary& plan)
{
    CTarnPage* page = doc.CreateNewPage(doc.GetPageCount());
    page->InitNew();
    CTarnPage::CTarnPageProperties* properties = page->GetProperties();
    properties->m_width = plan.width;
    properties->m_height = plan.height;
    properties->m_margins = CRectF(plan.left, plan.top, plan.right, plan.bottom);
    for (const cardsummary::PlacementSummary& placement : plan.placements) {
        page->AddSiteInfo(placement.siteId, tagPointF{placement.x, placement.y}, 0);
        CTarnPage::CSitePosInfo* stored = page->GetSitePosInfo(page->GetSitesCount() - 1);
        stored->m_print = placement.printed;
        stored->m_rotateAngle = placement.angle;
        stored->m_hFlip = placement.horizontalFlip;
        stored->m_vFlip = placement.verticalFlip;
    }
    doc.AddPage(page);
}

}  // namespace

bool RegisterCompressedStorage(std::string& error)
{
    HMODULE mosk = LoadLibraryA("Mosk.dll");
    if (!mosk) {
        error = "Mosk.dll cannot be loaded";
        return false;
    }
    typedef HRESULT(STDAPICALLTYPE * GetClassObject)(REFCLSID, REFIID, void**);
    auto get = reinterpret_cast<GetClassObject>(GetProcAddress(mosk, "DllGetClassObject"));
    if (!get) {
        error = "Mosk.dll has no DllGetClassObject";
        return false;
    }
    for (const CLSID* clsid : {&kZStream, &kZStorage}) {
        IUnknown* factory = nullptr;
        DWORD cookie = 0;
        const bool registered =
            SUCCEEDED(get(*clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory))) &&
            SUCCEEDED(CoRegisterClassObject(*clsid, factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie));
        if (factory)
            factory->Release();
        if (!registered) {
            error = "the compressed-storage classes cannot be registered";
            return false;
        }
    }
    return true;
}

bool SaveCard(const cardsummary::CardSummary& card, const std::string& path, bool compressed, std::string& error)
{
    auto doc = std::make_unique<CQuietCardDoc>();
    if (!doc->OnNewDocument()) {
        error = "a new card cannot be made";
        return false;
    }
    // The saved file is closed again, so that the viewer can read it.
    doc->m_bRemember = FALSE;
    while (doc->GetSiteNumber() > 0)
        doc->RemoveSite(doc->GetSiteByIndex(doc->GetSiteNumber() - 1));
    for (const cardsummary::SiteSummary& site : card.sites)
        AddSite(*doc, site);
    for (const cardsummary::PageSummary& page : card.pages)
        AddPage(*doc, page);
    doc->SetSaveCompressedData(compressed ? TRUE : FALSE);
    if (!doc->OnSaveDocument(path.c_str())) {
        error = static_cast<LPCSTR>(doc->GetLastReport());
        error += doc->messages;
        return false;
    }
    return true;
}

}  // namespace frameworkcard

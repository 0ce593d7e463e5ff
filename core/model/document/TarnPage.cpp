#include "TarnPage.h"

#include <utility>

#include "ArchiveLimits.h"
#include "ClArchive.h"
#include "ClException.h"
#include "SiteRecords.h"
#include "SitesContours.h"
#include "StyleLibrary.h"
#include "TarnBackground.h"
#include "TarnDoc.h"
#include "TarnPropertyBag.h"
#include "TarnSite.h"

IMPLEMENT_SERIAL(CTarnPage, CObject, 0)
IMPLEMENT_SERIAL(CTarnPageList, CObject, 0)

namespace {

constexpr long kPageWidthId = 0x40001001;
constexpr long kPageHeightId = 0x40001002;
constexpr long kMarginLeftId = 0x40001003;
constexpr long kMarginRightId = 0x40001004;
constexpr long kMarginTopId = 0x40001005;
constexpr long kMarginBottomId = 0x40001006;
constexpr long kOverridePageSetupId = 0x40001007;
constexpr long kCenterlinesId = 0x40001008;

constexpr long kPosXId = 0x40001001;
constexpr long kPosYId = 0x40001002;
constexpr long kPrintId = 0x40001003;
constexpr long kSiteId = 0x40001004;
constexpr long kRotateAngleId = 0x40001005;
constexpr long kHFlipId = 0x40001006;
constexpr long kVFlipId = 0x40001007;

// Smallest stored page: a class index tag, an empty record list and a zero placement count.
constexpr ULONG kMinStoredPage = 2 + 4 + 4;
// Smallest stored placement: an empty record list.
constexpr ULONG kMinStoredPlacement = 4;

template <class T>
HRESULT SaveValue(IStream* stream, long id, const T& value)
{
    return __SaveProp(stream, id, &value, sizeof value);
}

struct RecordWriter {
    IStream* stream;
    HRESULT hr = S_OK;
    template <class T>
    RecordWriter& Put(long id, const T& value)
    {
        if (SUCCEEDED(hr))
            hr = SaveValue(stream, id, value);
        return *this;
    }
};

}  // namespace

// ---- page properties

HRESULT CTarnPage::CTarnPageProperties::OnPropSave(IStream* stream)
{
    RecordWriter w{stream};
    w.Put(kPageWidthId, m_width)
        .Put(kPageHeightId, m_height)
        .Put(kMarginLeftId, m_margins.left)
        .Put(kMarginTopId, m_margins.top)
        .Put(kMarginRightId, m_margins.right)
        .Put(kMarginBottomId, m_margins.bottom)
        .Put(kOverridePageSetupId, m_overridePageSetup)
        .Put(kCenterlinesId, m_centerlinesForAlignment);
    return w.hr;
}

HRESULT CTarnPage::CTarnPageProperties::OnPropLoad(CTarnPropertyBag* bag)
{
    if (!bag)
        return E_POINTER;
    bag->LoadPropVar(nullptr, kPageWidthId, m_width);
    bag->LoadPropVar(nullptr, kPageHeightId, m_height);
    bag->LoadPropVar(nullptr, kMarginLeftId, m_margins.left);
    bag->LoadPropVar(nullptr, kMarginTopId, m_margins.top);
    bag->LoadPropVar(nullptr, kMarginRightId, m_margins.right);
    bag->LoadPropVar(nullptr, kMarginBottomId, m_margins.bottom);
    bag->LoadPropVar(nullptr, kOverridePageSetupId, m_overridePageSetup);
    bag->LoadPropVar(nullptr, kCenterlinesId, m_centerlinesForAlignment);
    return S_OK;
}

void CTarnPage::CTarnPageProperties::Duplicate(const CPersistent* source)
{
    if (const auto* other = dynamic_cast<const CTarnPageProperties*>(source)) {
        m_width = other->m_width;
        m_height = other->m_height;
        m_margins = other->m_margins;
        m_overridePageSetup = other->m_overridePageSetup;
        m_centerlinesForAlignment = other->m_centerlinesForAlignment;
    }
}

bool CTarnPage::CTarnPageProperties::Equal(const CPersistent& source) const
{
    const auto* other = dynamic_cast<const CTarnPageProperties*>(&source);
    return other && m_width == other->m_width && m_height == other->m_height &&
           m_margins.left == other->m_margins.left && m_margins.top == other->m_margins.top &&
           m_margins.right == other->m_margins.right && m_margins.bottom == other->m_margins.bottom &&
           m_overridePageSetup == other->m_overridePageSetup &&
           m_centerlinesForAlignment == other->m_centerlinesForAlignment;
}

// ---- placements

HRESULT CTarnPage::CSitePosInfo::OnPropSave(IStream* stream)
{
    RecordWriter w{stream};
    w.Put(kPosXId, m_position.x)
        .Put(kPosYId, m_position.y)
        .Put(kPrintId, m_print)
        .Put(kSiteId, m_siteId)
        .Put(kRotateAngleId, m_rotateAngle)
        .Put(kHFlipId, m_hFlip)
        .Put(kVFlipId, m_vFlip);
    return w.hr;
}

HRESULT CTarnPage::CSitePosInfo::OnPropLoad(CTarnPropertyBag* bag)
{
    if (!bag)
        return E_POINTER;
    bag->LoadPropVar(nullptr, kPosXId, m_position.x);
    bag->LoadPropVar(nullptr, kPosYId, m_position.y);
    bag->LoadPropVar(nullptr, kPrintId, m_print);
    bag->LoadPropVar(nullptr, kSiteId, m_siteId);
    bag->LoadPropVar(nullptr, kRotateAngleId, m_rotateAngle);
    bag->LoadPropVar(nullptr, kHFlipId, m_hFlip);
    bag->LoadPropVar(nullptr, kVFlipId, m_vFlip);
    return S_OK;
}

void CTarnPage::CSitePosInfo::Duplicate(const CPersistent* source)
{
    if (const auto* other = dynamic_cast<const CSitePosInfo*>(source)) {
        m_siteId = other->m_siteId;
        m_position = other->m_position;
        m_print = other->m_print;
        m_rotateAngle = other->m_rotateAngle;
        m_hFlip = other->m_hFlip;
        m_vFlip = other->m_vFlip;
    }
}

void CTarnPage::CSitePosInfo::SetStyle(const CSitePosStyle* style)
{
    if (!style)
        return;
    m_position = style->m_Pos;
    m_print = style->m_bPrint;
    m_rotateAngle = style->m_dRotateAngle;
    m_hFlip = style->m_bHFlip;
    m_vFlip = style->m_bVFlip;
}

CTarnSite* CTarnPage::CSitePosInfo::GetSite() const
{
    CTarnDoc* document = m_master ? m_master->GetMaster() : nullptr;
    return document ? document->GetSite(m_siteId) : nullptr;
}

bool CTarnPage::CSitePosInfo::Equal(const CPersistent& source) const
{
    const auto* other = dynamic_cast<const CSitePosInfo*>(&source);
    return other && m_siteId == other->m_siteId && m_position.x == other->m_position.x &&
           m_position.y == other->m_position.y && m_print == other->m_print &&
           m_rotateAngle == other->m_rotateAngle && m_hFlip == other->m_hFlip && m_vFlip == other->m_vFlip;
}

// ---- page

CTarnPage::CTarnPage() = default;

CTarnPage::CTarnPage(CTarnDoc* document) : m_master(document) {}

CTarnPage::~CTarnPage() { delete m_properties; }

CTarnPage::CTarnPageProperties* CTarnPage::CreateProperties() { return new CTarnPageProperties; }

CTarnPage::CSitePosInfo* CTarnPage::CreateSitePosInfo() { return new CSitePosInfo; }

void CTarnPage::InitNew()
{
    if (!m_properties)
        m_properties = CreateProperties();
}

void CTarnPage::Serialize(CArchive& ar)
{
    if (!m_properties)
        m_properties = CreateProperties();
    SerializeProperties(ar);
    SerializeSites(ar);
}

void CTarnPage::SerializeProperties(CArchive& ar) { m_properties->Serialize(ar); }

void CTarnPage::SerializeSites(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << static_cast<DWORD>(GetSitesCount());
        for (int i = 0; i < GetSitesCount(); ++i)
            m_placements[i]->Serialize(ar);
        return;
    }
    const DWORD count = ReadCheckedCount(ar, kMinStoredPlacement);
    for (DWORD i = 0; i < count; ++i) {
        CSitePosInfo* placement = CreateSitePosInfo();
        try {
            placement->Serialize(ar);
        } catch (...) {
            delete placement;
            throw;
        }
        placement->SetMaster(this);
        m_placements.Add(placement);
    }
}

void CTarnPage::Duplicate(CTarnPage* source)
{
    if (!source || source == this)
        return;
    InitNew();
    if (source->m_properties)
        m_properties->Duplicate(source->m_properties);
    m_placements.RemoveAll();
    for (int i = 0; i < source->GetSitesCount(); ++i) {
        CSitePosInfo* placement = CreateSitePosInfo();
        placement->SetMaster(this);
        placement->Duplicate(source->GetSitePosInfo(i));
        m_placements.Add(placement);
    }
}

BOOL CTarnPage::IsSiteOnPage(int siteId)
{
    // A placement whose site is gone places no site.
    for (int i = 0; i < GetSitesCount(); ++i) {
        const CTarnSite* site = m_placements[i]->GetSite();
        if (site && site->GetID() == siteId)
            return TRUE;
    }
    return FALSE;
}

void CTarnPage::SetStyle(int pageStyleId)
{
    CTarnStyleLib* library = CTarnStyleLib::Instance();
    CTarnPageStyle* style = library ? library->GetPageStyleByID(pageStyleId) : nullptr;
    if (!style)
        return;
    InitNew();
    m_properties->m_width = style->m_Size.cx;
    m_properties->m_height = style->m_Size.cy;
    m_properties->m_margins =
        CRectF(style->m_Margins.left, style->m_Margins.top, style->m_Margins.right, style->m_Margins.bottom);
    m_properties->m_overridePageSetup = style->m_bOverridePageSetup ? 1 : 0;
    m_properties->m_centerlinesForAlignment = style->m_bCenterlinesForAlignment;
    for (int i = 0; i < style->m_SitePositions.GetSize(); ++i) {
        const auto* position = static_cast<const CSitePosStyle*>(style->m_SitePositions[i]);
        CTarnSite* site = m_master && position->m_pSiteStyle ? m_master->GetSiteByStyleID(position->m_pSiteStyle->m_nID)
                                                             : nullptr;
        // A position whose site style has no site in the document places nothing.
        if (!site)
            continue;
        CSitePosInfo* placement = CreateSitePosInfo();
        placement->SetMaster(this);
        placement->SetStyle(position);
        placement->m_siteId = site->GetID();
        if (CTarnBackground* background = site->GetBackground())
            background->GetParams()->m_printOutline = m_properties->m_overridePageSetup ? 0 : 1;
        m_placements.Add(placement);
    }
}

void CTarnPage::GetPageSetupData(CPageSetupData* setup) const
{
    if (!setup || !m_properties)
        return;
    setup->m_width = m_properties->m_width;
    setup->m_height = m_properties->m_height;
    setup->m_margins[0] = m_properties->m_margins.left;
    setup->m_margins[1] = m_properties->m_margins.top;
    setup->m_margins[2] = m_properties->m_margins.right;
    setup->m_margins[3] = m_properties->m_margins.bottom;
}

void CTarnPage::SetPageSetupData(const CPageSetupData* setup)
{
    if (!setup)
        return;
    InitNew();
    m_properties->m_width = setup->m_width;
    m_properties->m_height = setup->m_height;
    m_properties->m_margins = CRectF(setup->m_margins[0], setup->m_margins[1], setup->m_margins[2], setup->m_margins[3]);
}

CTarnPage::CSitePosInfo* CTarnPage::GetSitePosInfo(int index) const
{
    return index >= 0 && index < m_placements.GetSize() ? m_placements[index] : nullptr;
}

void CTarnPage::AddSiteInfo(int siteId, tagPointF position, int)
{
    for (int i = GetSitesCount() - 1; i >= 0; --i) {
        if (m_placements[i]->m_siteId == siteId) {
            m_placements[i]->m_position = position;
            return;
        }
    }
    CSitePosInfo* placement = CreateSitePosInfo();
    placement->SetMaster(this);
    placement->m_siteId = siteId;
    placement->m_position = position;
    m_placements.Add(placement);
}

int CTarnPage::RemoveSiteInfo(int siteId)
{
    for (int i = GetSitesCount() - 1; i >= 0; --i) {
        if (m_placements[i]->m_siteId == siteId) {
            m_placements.RemoveAt(i);
            return 1;
        }
    }
    return 0;
}

BOOL CTarnPage::IsPlacementMarked(int index, int mark) const
{
    if (!mark)
        return FALSE;
    const int mode = m_properties ? m_properties->m_centerlinesForAlignment : 1;
    switch (mode) {
    case 0:
    case 2:
        return FALSE;
    case 1:
        return TRUE;
    case 3:
        return (index % 2) == 1;
    case 4:
        return index == 0 || index == GetSitesCount() - 1;
    default:
        return TRUE;
    }
}

int CTarnPage::FillSiteContours(CSitesContours* contours, int mark)
{
    if (!contours)
        return 0;
    contours->Clear();
    const CRectF margins = m_properties ? m_properties->m_margins : CRectF(1, 1, 1, 1);
    for (int i = 0; i < GetSitesCount(); ++i) {
        const CSitePosInfo* placement = m_placements[i];
        CTarnSite* site = m_master ? m_master->GetSite(placement->m_siteId) : nullptr;
        if (!site)
            continue;
        SiteContour contour = {};
        contour.position = CPointF(margins.left + placement->m_position.x, margins.top + placement->m_position.y);
        contour.count = site->GetContourLines(contour.segments, IsPlacementMarked(i, mark));
        if (contour.segments)
            contours->Add(contour);
    }
    return GetSitesCount();
}

// ---- page list

void CTarnPageList::SetMaster(CTarnDoc* document)
{
    m_master = document;
    for (int i = m_pages.GetSize() - 1; i >= 0; --i)
        m_pages[i]->SetMaster(document);
}

void CTarnPageList::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << static_cast<DWORD>(m_pages.GetSize());
        for (int i = 0; i < m_pages.GetSize(); ++i)
            WriteObjectWithClass(ar, m_pages[i]);
        return;
    }
    const DWORD count = ReadCheckedCount(ar, kMinStoredPage);
    for (DWORD i = 0; i < count; ++i) {
        CObject* object = nullptr;
        ReadObjectWithClass(ar, object);
        CTarnPage* page = dynamic_cast<CTarnPage*>(object);
        if (!page) {
            delete object;
            AfxThrowArchiveException(CArchiveException::badClass);
        }
        page->SetMaster(m_master);
        m_pages.Add(page);
    }
}

void CTarnPageList::CopyFrom(const CTarnPageList& source)
{
    if (&source == this)
        return;
    m_pages.RemoveAll();
    for (int i = 0; i < source.GetSize(); ++i) {
        CTarnPage* original = source.GetAt(i);
        CTarnPage* page = static_cast<CTarnPage*>(original->GetRuntimeClass()->CreateObject());
        page->InitNew();
        page->Duplicate(original);
        page->SetMaster(m_master);
        m_pages.Add(page);
    }
}

#include "Styles.h"

#include <cmath>

#include "Registry.h"
#include "StyleLibrary.h"

namespace {

// Reads a DWORD-sized value into an int only when present.
void ReadInt(CRegistry* registry, const char* name, int& value)
{
    int read = value;
    if (registry->Read(name, read))
        value = read;
}

}  // namespace

// --- CTarnStyle ---------------------------------------------------------------------------------

CTarnStyleLib* CTarnStyle::GetStyleLib() const
{
    return m_pStyleLib ? m_pStyleLib : CTarnStyleLib::Instance();
}

BOOL CTarnStyle::Load(CRegistry* registry)
{
    ReadInt(registry, "ID", m_nID);
    registry->Read("Name", m_strName);
    return TRUE;
}

BOOL CTarnStyle::Store(CRegistry* registry)
{
    const BOOL id = registry->Write("ID", m_nID);
    const BOOL name = registry->Write("Name", static_cast<LPCSTR>(m_strName));
    return id && name;
}

bool CTarnStyle::Equal(const CPersistent& other) const
{
    const auto* style = dynamic_cast<const CTarnStyle*>(&other);
    return style && style->m_nID == m_nID && style->m_strName.Compare(m_strName) == 0;
}

void CTarnStyle::Duplicate(const CPersistent* source)
{
    if (const auto* style = dynamic_cast<const CTarnStyle*>(source)) {
        m_nID = style->m_nID;
        m_strName = style->m_strName;
    }
}

// --- CTarnSiteStyle -----------------------------------------------------------------------------

BOOL CTarnSiteStyle::Load(CRegistry* registry)
{
    CTarnStyle::Load(registry);
    tagSizeF size = m_Size;
    if (registry->Read("Size", size))
        m_Size = size;
    ReadInt(registry, "IconID", m_nIconID);
    return TRUE;
}

BOOL CTarnSiteStyle::Store(CRegistry* registry)
{
    registry->Write("IconID", m_nIconID);
    return CTarnStyle::Store(registry) && registry->Write("Size", m_Size);
}

bool CTarnSiteStyle::Equal(const CPersistent& other) const
{
    const auto* style = dynamic_cast<const CTarnSiteStyle*>(&other);
    return style && CTarnStyle::Equal(other) && style->m_Size.cx == m_Size.cx && style->m_Size.cy == m_Size.cy &&
           style->m_nIconID == m_nIconID;
}

void CTarnSiteStyle::Duplicate(const CPersistent* source)
{
    CTarnStyle::Duplicate(source);
    if (const auto* style = dynamic_cast<const CTarnSiteStyle*>(source)) {
        m_Size = style->m_Size;
        m_nIconID = style->m_nIconID;
    }
}

CTarnSiteStyle* CTarnSiteStyle::Clone()
{
    CTarnStyleLib* library = GetStyleLib();
    CTarnSiteStyle* copy = library ? library->CreateSiteStyle() : new CTarnSiteStyle;
    if (copy)
        copy->Duplicate(this);
    return copy;
}

// --- CSitePosStyle ------------------------------------------------------------------------------

BOOL CSitePosStyle::Load(CRegistry* registry)
{
    int id = 0;
    ReadInt(registry, "SiteStyleID", id);
    CTarnStyleLib* library = m_pStyleLib ? m_pStyleLib : CTarnStyleLib::Instance();
    CTarnSiteStyle* style = library ? library->GetSiteStyleByID(id) : nullptr;
    if (style)
        m_pSiteStyle = style;
    if (!m_pSiteStyle)
        return FALSE;  // a placement of a style the library does not hold is dropped
    tagPointF pos = m_Pos;
    if (registry->Read("Pos", pos))
        m_Pos = pos;
    ReadInt(registry, "Print", m_bPrint);
    double angle = m_dRotateAngle;
    if (registry->Read("RotateAngle", angle))
        m_dRotateAngle = angle;
    ReadInt(registry, "HFlip", m_bHFlip);
    ReadInt(registry, "VFlip", m_bVFlip);
    return TRUE;
}

BOOL CSitePosStyle::Store(CRegistry* registry)
{
    return registry->Write("SiteStyleID", m_pSiteStyle ? m_pSiteStyle->m_nID : -1) && registry->Write("Pos", m_Pos) &&
           registry->Write("Print", m_bPrint) && registry->Write("RotateAngle", m_dRotateAngle) &&
           registry->Write("HFlip", m_bHFlip) && registry->Write("VFlip", m_bVFlip);
}

bool CSitePosStyle::Equal(const CPersistent& other) const
{
    const auto* pos = dynamic_cast<const CSitePosStyle*>(&other);
    if (!pos)
        return false;
    const bool sameStyle = (m_pSiteStyle && pos->m_pSiteStyle) ? m_pSiteStyle->Equal(*pos->m_pSiteStyle)
                                                               : m_pSiteStyle == pos->m_pSiteStyle;
    return sameStyle && std::fabs(m_Pos.x - pos->m_Pos.x) < 1e-10 && std::fabs(m_Pos.y - pos->m_Pos.y) < 1e-10 &&
           m_bPrint == pos->m_bPrint && m_dRotateAngle == pos->m_dRotateAngle && m_bHFlip == pos->m_bHFlip &&
           m_bVFlip == pos->m_bVFlip;
}

void CSitePosStyle::Duplicate(const CPersistent* source)
{
    if (const auto* pos = dynamic_cast<const CSitePosStyle*>(source)) {
        m_Pos = pos->m_Pos;
        m_bPrint = pos->m_bPrint;
        m_dRotateAngle = pos->m_dRotateAngle;
        m_bHFlip = pos->m_bHFlip;
        m_bVFlip = pos->m_bVFlip;
        m_pSiteStyle = pos->m_pSiteStyle;
        if (!m_pStyleLib)
            m_pStyleLib = pos->m_pStyleLib;
    }
}

// --- CTarnPageStyle -----------------------------------------------------------------------------

CSitePosStyle* CTarnPageStyle::CreateSiteInfo()
{
    CSitePosStyle* info = new CSitePosStyle;
    info->m_pStyleLib = GetStyleLib();
    return info;
}

BOOL CTarnPageStyle::Load(CRegistry* registry)
{
    CTarnStyle::Load(registry);
    tagSizeF size = m_Size;
    if (registry->Read("Size", size))
        m_Size = size;
    tagRectF margins = m_Margins;
    if (registry->Read("Margins", margins))
        m_Margins = margins;
    bool overrideSetup = m_bOverridePageSetup;
    if (registry->Read("OverridePageSetup", overrideSetup))
        m_bOverridePageSetup = overrideSetup;
    ReadInt(registry, "CenterlinesForAlignment", m_bCenterlinesForAlignment);
    LoadSubkeys(registry, m_SitePositions, "Site", static_cast<PersistentCreator>(&CTarnPageStyle::NewSiteInfo),
                false);
    return TRUE;
}

BOOL CTarnPageStyle::Store(CRegistry* registry)
{
    return CTarnStyle::Store(registry) && registry->Write("Size", m_Size) && registry->Write("Margins", m_Margins) &&
           registry->Write("OverridePageSetup", m_bOverridePageSetup) &&
           registry->Write("CenterlinesForAlignment", m_bCenterlinesForAlignment) &&
           StoreSubkeys(registry, m_SitePositions, "Site", false);
}

bool CTarnPageStyle::Equal(const CPersistent& other) const
{
    const auto* style = dynamic_cast<const CTarnPageStyle*>(&other);
    if (!style || !CTarnStyle::Equal(other) || style->m_Size.cx != m_Size.cx || style->m_Size.cy != m_Size.cy ||
        style->m_SitePositions.GetSize() != m_SitePositions.GetSize())
        return false;
    for (int i = 0; i < m_SitePositions.GetSize(); ++i)
        if (m_SitePositions[i] != style->m_SitePositions[i])
            return false;
    return true;
}

void CTarnPageStyle::Duplicate(const CPersistent* source)
{
    CTarnStyle::Duplicate(source);
    const auto* style = dynamic_cast<const CTarnPageStyle*>(source);
    if (!style || style == this)
        return;
    m_Size = style->m_Size;
    m_Margins = style->m_Margins;
    m_bOverridePageSetup = style->m_bOverridePageSetup;
    m_bCenterlinesForAlignment = style->m_bCenterlinesForAlignment;
    m_SitePositions.RemoveAll();
    for (int i = 0; i < style->m_SitePositions.GetSize(); ++i) {
        CSitePosStyle* copy = CreateSiteInfo();
        copy->Duplicate(style->m_SitePositions[i]);
        m_SitePositions.Add(copy);
    }
}

int CTarnPageStyle::GetSiteNumber(int siteStyleId)
{
    int count = 0;
    for (int i = 0; i < m_SitePositions.GetSize(); ++i) {
        const auto* pos = static_cast<CSitePosStyle*>(m_SitePositions[i]);
        if (pos->m_pSiteStyle && pos->m_pSiteStyle->m_nID == siteStyleId)
            ++count;
    }
    return count;
}

CSitePosStyle* CTarnPageStyle::GetSiteInfo(int siteStyleId, int n)
{
    CSitePosStyle* last = nullptr;
    int seen = 0;
    for (int i = 0; i < m_SitePositions.GetSize(); ++i) {
        auto* pos = static_cast<CSitePosStyle*>(m_SitePositions[i]);
        if (!pos->m_pSiteStyle || pos->m_pSiteStyle->m_nID != siteStyleId)
            continue;
        if (seen++ == n)
            return pos;
        last = pos;
    }
    return last;
}

// --- CTarnDocStyle ------------------------------------------------------------------------------

BOOL CTarnDocStyle::Load(CRegistry* registry)
{
    CTarnStyle::Load(registry);
    CTarnStyleLib* library = GetStyleLib();
    for (int n = 1;; ++n) {
        CString name;
        name.Format("PageStyleID%.4x", n);
        int id = 0;
        if (!registry->Read(name, id))
            break;
        if (CTarnPageStyle* style = library ? library->GetPageStyleByID(id) : nullptr)
            m_PageStyles.push_back(style);
    }
    for (int n = 1;; ++n) {
        CString name;
        name.Format("SiteStyleID%.4x", n);
        int id = 0;
        if (!registry->Read(name, id))
            break;
        if (CTarnSiteStyle* style = library ? library->GetSiteStyleByID(id) : nullptr)
            m_SiteStyles.push_back(style);
    }
    return TRUE;
}

BOOL CTarnDocStyle::Store(CRegistry* registry)
{
    for (size_t i = 0; i < m_SiteStyles.size(); ++i) {
        CString name;
        name.Format("SiteStyleID%.4x", static_cast<int>(i + 1));
        registry->Write(name, m_SiteStyles[i]->m_nID);
    }
    for (size_t i = 0; i < m_PageStyles.size(); ++i) {
        CString name;
        name.Format("PageStyleID%.4x", static_cast<int>(i + 1));
        registry->Write(name, m_PageStyles[i]->m_nID);
    }
    return CTarnStyle::Store(registry);
}

bool CTarnDocStyle::Equal(const CPersistent& other) const
{
    const auto* style = dynamic_cast<const CTarnDocStyle*>(&other);
    return style && CTarnStyle::Equal(other) && style->m_SiteStyles == m_SiteStyles &&
           style->m_PageStyles == m_PageStyles;
}

void CTarnDocStyle::Duplicate(const CPersistent* source)
{
    if (const auto* style = dynamic_cast<const CTarnDocStyle*>(source)) {
        if (style != this) {
            m_SiteStyles.insert(m_SiteStyles.end(), style->m_SiteStyles.begin(), style->m_SiteStyles.end());
            m_PageStyles.insert(m_PageStyles.end(), style->m_PageStyles.begin(), style->m_PageStyles.end());
        }
    }
    CTarnStyle::Duplicate(source);
}

CTarnDocStyle* CTarnDocStyle::Clone()
{
    CTarnStyleLib* library = GetStyleLib();
    CTarnDocStyle* copy = library ? library->CreateDocStyle() : new CTarnDocStyle;
    if (copy)
        copy->Duplicate(this);
    return copy;
}

// --- CTarnDocType -------------------------------------------------------------------------------

BOOL CTarnDocType::Load(CRegistry* registry)
{
    CTarnStyle::Load(registry);
    CTarnStyleLib* library = GetStyleLib();
    for (int n = 1;; ++n) {
        CString name;
        name.Format("DocStyleID%.4x", n);
        int id = 0;
        if (!registry->Read(name, id))
            break;
        if (CTarnDocStyle* style = library ? library->GetDocStyleByID(id) : nullptr)
            m_DocStyles.push_back(style);
    }
    return TRUE;
}

BOOL CTarnDocType::Store(CRegistry* registry)
{
    return CTarnStyle::Store(registry);
}

bool CTarnDocType::Equal(const CPersistent&) const
{
    return false;
}

void CTarnDocType::Duplicate(const CPersistent* source)
{
    CTarnStyle::Duplicate(source);
    if (const auto* type = dynamic_cast<const CTarnDocType*>(source))
        m_DocStyles = type->m_DocStyles;
}

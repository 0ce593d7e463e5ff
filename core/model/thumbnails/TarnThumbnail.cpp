#include "TarnThumbnail.h"

#include <cstring>

#include "ArchiveLimits.h"
#include "ClException.h"
#include "UnitText.h"
#include "Persistent.h"
#include "TarnBackground.h"
#include "TarnDoc.h"
#include "TarnSite.h"

namespace {
constexpr unsigned long kWidthId = 0x40000001;
constexpr unsigned long kHeightId = 0x40000002;

std::vector<unsigned char> ReadBlock(CArchive& ar, DWORD size)
{
    if (size > ArchiveBytesLeft(ar))
        AfxThrowArchiveException(CArchiveException::badSchema);
    std::vector<unsigned char> bytes(size);
    if (size && ar.Read(bytes.data(), size) != size)
        AfxThrowArchiveException(CArchiveException::endOfFile);
    return bytes;
}

bool DoubleOf(const std::map<unsigned long, std::vector<unsigned char>>& records, unsigned long id, double& value)
{
    const auto found = records.find(id);
    if (found == records.end() || found->second.empty())
        return false;
    unsigned char bytes[sizeof(double)] = {};
    std::memcpy(bytes, found->second.data(), std::min(found->second.size(), sizeof bytes));
    std::memcpy(&value, bytes, sizeof value);
    return true;
}
}  // namespace

void CTarnThumbnail::FillData(const CTarnDoc* document, int page)
{
    m_description = document ? document->GetPreviewPageDescription(page) : CString();
    // The rendered image needs the drawing canvas; without it the thumbnail keeps no image.
    m_image.clear();
}

void CTarnThumbnail::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        const DWORD length = static_cast<DWORD>(m_description.GetLength()) + 1;
        ar << length;
        ar.Write(static_cast<LPCSTR>(m_description), length);
        ar << static_cast<DWORD>(m_image.size());
        if (!m_image.empty())
            ar.Write(m_image.data(), static_cast<UINT>(m_image.size()));
        return;
    }
    DWORD length = 0;
    ar >> length;
    if (length > 0) {
        std::vector<unsigned char> text = ReadBlock(ar, length);
        text.push_back(0);
        m_description = reinterpret_cast<const char*>(text.data());
    }
    DWORD size = 0;
    ar >> size;
    m_image = size ? ReadBlock(ar, size) : std::vector<unsigned char>();
}

void CTarnThumbnail::SerializeEx(CArchive& ar)
{
    if (ar.IsStoring())
        OnSave(ar);
    else
        OnLoad(ar);
}

void CTarnThumbnail::OnSave(CArchive& ar) { ar << static_cast<DWORD>(0); }

void CTarnThumbnail::OnLoad(CArchive& ar)
{
    for (;;) {
        DWORD id = 0;
        ar >> id;
        if (id == 0)
            break;
        DWORD size = 0;
        ar >> size;
        m_extensions[id] = ReadBlock(ar, size);
    }
}

void CSiteSizeThumbnail::FillData(const CTarnDoc* document, int page)
{
    CTarnThumbnail::FillData(document, page);
    CTarnSite* site = document ? document->GetSiteByIndex(page) : nullptr;
    if (site) {
        const CRectF area = site->GetTotalArea(0, 1, 0);
        m_width = area.Width();
        m_height = area.Height();
    }
}

void CSiteSizeThumbnail::OnSave(CArchive& ar)
{
    ar << static_cast<DWORD>(kWidthId) << static_cast<DWORD>(sizeof(double)) << m_width;
    ar << static_cast<DWORD>(kHeightId) << static_cast<DWORD>(sizeof(double)) << m_height;
    CTarnThumbnail::OnSave(ar);
}

void CSiteSizeThumbnail::OnLoad(CArchive& ar)
{
    CTarnThumbnail::OnLoad(ar);
    double width = 0, height = 0;
    if (DoubleOf(m_extensions, kWidthId, width)) {
        m_width = width;
        if (DoubleOf(m_extensions, kHeightId, height)) {
            m_height = height;
            m_description = SizeInDefaultUnitText(m_width, m_height);
        }
    }
}

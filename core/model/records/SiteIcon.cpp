#include "SiteIcon.h"

#include <cstring>

#include "IconImage.h"
#include "Registry.h"
#include "TarnPropertyBag.h"

IMPLEMENT_SERIAL(CSiteIcon, CPersistent, VERSIONABLE_SCHEMA | 1)

CSiteIcon::CSiteIcon() = default;

CSiteIcon::~CSiteIcon()
{
    FreeBitmap();
}

void CSiteIcon::FreeBitmap()
{
    if (m_hBitmap)
        DeleteObject(m_hBitmap);
    m_hBitmap = nullptr;
}

DWORD CSiteIcon::CalculateCheckSum() const
{
    DWORD sum = 0;
    for (BYTE b : m_IconData)
        sum += b;
    return sum;
}

void CSiteIcon::TakeData(const void* data, ULONG size)
{
    FreeBitmap();
    const BYTE* bytes = static_cast<const BYTE*>(data);
    m_IconData.assign(bytes, bytes + size);
    m_nCheckSum = CalculateCheckSum();
}

BOOL CSiteIcon::SetData(const void* data, ULONG size)
{
    if (!data || size == 0)
        return FALSE;
    // Any picture the codecs read becomes a 16-colour .bmp whose top-left pixel gives the
    // transparent colour. Data they can't read is kept as it came: imaging failures are not
    // the caller's concern.
    DecodedImage image;
    if (!DecodeImageFile(data, size, image)) {
        TakeData(data, size);
        return TRUE;
    }
    const uint32_t corner = image.pixels[0];
    m_clTransColor = RGB((corner >> 16) & 0xFF, (corner >> 8) & 0xFF, corner & 0xFF);
    const std::vector<BYTE> bmp = EncodeSixteenColourBmp(image);
    TakeData(bmp.data(), static_cast<ULONG>(bmp.size()));
    return TRUE;
}

HBITMAP CSiteIcon::GetIcon()
{
    if (m_hBitmap || m_IconData.size() < sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER))
        return m_hBitmap;
    BITMAPFILEHEADER file;
    std::memcpy(&file, m_IconData.data(), sizeof file);
    if (file.bfType != 0x4D42 || file.bfOffBits >= m_IconData.size())
        return nullptr;
    const auto* info = reinterpret_cast<const BITMAPINFO*>(m_IconData.data() + sizeof(BITMAPFILEHEADER));
    // The bits must lie inside the data: a damaged image gives no bitmap rather than a read past it.
    const BITMAPINFOHEADER& header = info->bmiHeader;
    if (header.biWidth <= 0 || header.biHeight == 0 || header.biBitCount == 0 || header.biBitCount > 32 ||
        header.biCompression != BI_RGB)
        return nullptr;
    const unsigned long long stride = ((static_cast<unsigned long long>(header.biWidth) * header.biBitCount + 31) / 32) * 4;
    const unsigned long long rows = header.biHeight < 0 ? -static_cast<long long>(header.biHeight) : header.biHeight;
    if (stride * rows > m_IconData.size() - file.bfOffBits)
        return nullptr;
    HDC screen = GetDC(nullptr);
    m_hBitmap = CreateDIBitmap(screen, &info->bmiHeader, CBM_INIT, m_IconData.data() + file.bfOffBits, info,
                               DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return m_hBitmap;
}

BOOL CSiteIcon::Load(CRegistry* registry)
{
    if (!registry)
        return FALSE;
    registry->Read("ID", m_nID);
    BYTE* data = nullptr;
    UINT size = 0;
    if (registry->Read("IconData", &data, &size) && registry->GetLastType() == REG_BINARY && size)
        TakeData(data, size);
    delete[] data;
    unsigned long color = m_clTransColor;
    if (registry->Read("TransColor", color))
        m_clTransColor = color;
    return TRUE;
}

BOOL CSiteIcon::Store(CRegistry* registry)
{
    if (!registry)
        return FALSE;
    std::vector<BYTE> data = m_IconData;
    return registry->Write("ID", m_nID) &&
           registry->Write("IconData", data.empty() ? nullptr : data.data(), static_cast<UINT>(data.size())) &&
           registry->Write("TransColor", static_cast<unsigned long>(m_clTransColor));
}

HRESULT CSiteIcon::OnPropSave(IStream* stream)
{
    HRESULT hr = __SaveProp(stream, kSiteIconIdRecord, &m_nID, sizeof m_nID);
    if (SUCCEEDED(hr))
        hr = __SaveProp(stream, kSiteIconTransColorRecord, &m_clTransColor, sizeof m_clTransColor);
    if (SUCCEEDED(hr))
        hr = __SaveProp(stream, kSiteIconDataRecord, m_IconData.empty() ? nullptr : m_IconData.data(),
                        static_cast<ULONG>(m_IconData.size()));
    return hr;
}

HRESULT CSiteIcon::OnPropLoad(CTarnPropertyBag* bag)
{
    bag->LoadPropVar(nullptr, kSiteIconIdRecord, m_nID);
    bag->LoadPropVar(nullptr, kSiteIconTransColorRecord, m_clTransColor);
    const void* data = nullptr;
    ULONG size = 0;
    m_IconData.clear();
    FreeBitmap();
    if (bag->FindProperty(kSiteIconDataRecord, data, size) && size)
        TakeData(data, size);
    m_nCheckSum = CalculateCheckSum();
    return S_OK;
}

void CSiteIcon::Duplicate(const CPersistent* source)
{
    const auto* icon = dynamic_cast<const CSiteIcon*>(source);
    if (!icon || icon == this)
        return;
    FreeBitmap();
    m_nID = icon->m_nID;
    m_nCheckSum = icon->m_nCheckSum;
    m_IconData = icon->m_IconData;
    m_clTransColor = icon->m_clTransColor;
}

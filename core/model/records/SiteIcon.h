#pragma once
#include <windows.h>

#include <vector>

#include "ClArchive.h"
#include "Persistent.h"
#include "TarnApi.h"

// The small picture of a site: a complete .bmp file image with its transparent colour, kept by
// the style library and nested in site properties.
class TARN_API CSiteIcon : public CPersistent {
    DECLARE_SERIAL(CSiteIcon)
public:
    CSiteIcon();
    ~CSiteIcon() override;

    BOOL Load(CRegistry* registry) override;
    BOOL Store(CRegistry* registry) override;
    HRESULT OnPropSave(IStream* stream) override;
    HRESULT OnPropLoad(CTarnPropertyBag* bag) override;
    void Duplicate(const CPersistent* source) override;

    // The bitmap made from the data on first use; null without data or when the data is no
    // bitmap. The icon keeps it.
    virtual HBITMAP GetIcon();
    virtual COLORREF GetTransColor() { return m_clTransColor; }
    // Takes a picture file in memory (any format the system's codecs read) as a 16-colour .bmp
    // file image, its top-left pixel's colour becoming the transparent colour. FALSE for null
    // data or a size of 0.
    virtual BOOL SetData(const void* data, ULONG size);
    DWORD CalculateCheckSum() const;

    int m_nID = 0;
    DWORD m_nCheckSum = 0;
    std::vector<BYTE> m_IconData;
    COLORREF m_clTransColor = 0xFFFFFFFF;

private:
    void FreeBitmap();
    // Keeps a copy of the bytes as they are.
    void TakeData(const void* data, ULONG size);
    HBITMAP m_hBitmap = nullptr;
};

constexpr long kSiteIconIdRecord = 0x40010003;
constexpr long kSiteIconTransColorRecord = 0x40010002;
constexpr long kSiteIconDataRecord = 0x40010001;

#include "ExportSettings.h"
#include "TarnOptions.h"

namespace {
constexpr int kDepths[6] = {1, 4, 8, 16, 24, 32};
constexpr unsigned Bits(std::initializer_list<int> depths)
{
    unsigned mask = 0;
    for (int d : depths)
        for (int i = 0; i < 6; ++i)
            if (kDepths[i] == d)
                mask |= 1u << i;
    return mask;
}
}

const ExportFormat CExportSettings::kFormats[6] = {
    {12166, ".jpg", 10, Bits({8, 24}), true, false, false},
    {12169, ".gif", 2, Bits({1, 4, 8}), false, false, true},
    {12165, ".bmp", 6, Bits({1, 4, 8, 16, 24}), false, true, false},
    {12167, ".tif", 3, Bits({1, 4, 8, 24}), false, true, false},
    {12168, ".pcx", 1, Bits({1, 4, 8, 24}), false, true, false},
    {12171, ".png", 75, Bits({1, 4, 8, 24}), false, true, false},
};

const ExportResolution CExportSettings::kResolutions[6] = {
    {640, 480}, {800, 600}, {1024, 768}, {1152, 864}, {1280, 1024}, {1600, 1200}};

bool CExportSettings::AllowsDepth(const ExportFormat& format, int bitsPerPixel)
{
    for (int i = 0; i < 6; ++i)
        if (kDepths[i] == bitsPerPixel)
            return (format.depths >> i & 1) != 0;
    return false;
}

std::vector<int> CExportSettings::OfferedFormats() const
{
    std::vector<int> offered;
    for (int i = 0; i < 6; ++i) {
        const ExportFormat& f = kFormats[i];
        if ((f.rasterOnly && m_mode != kRaster) || (f.needsGifOption && !m_supportGif))
            continue;
        offered.push_back(i);
    }
    return offered;
}

void CExportSettings::SelectFormat(int index)
{
    m_formatIndex = index >= 0 && index < 6 ? index : 0;
    if (!AllowsDepth(Format(), m_bitsPerPixel))
        m_bitsPerPixel = 8;
}

void CExportSettings::SetCustomResolution(int width, int height)
{
    for (int i = 0; i < 6; ++i) {
        if (width != 0 && height != 0 && kResolutions[i].width == width && kResolutions[i].height == height) {
            m_resolutionIndex = i;
            return;
        }
    }
    m_custom = {width, height};
    m_resolutionIndex = kCustomResolution;
}

void CExportSettings::SelectResolution(int index)
{
    m_resolutionIndex = index >= 0 && index <= kCustomResolution ? index : 0;
    if (m_resolutionIndex != kCustomResolution)
        m_custom = kResolutions[m_resolutionIndex];
}

ExportResolution CExportSettings::Resolution() const
{
    return m_resolutionIndex == kCustomResolution ? m_custom : kResolutions[m_resolutionIndex];
}

void CExportSettings::Load(const CTarnOptions& options)
{
    m_bitsPerPixel = options.m_nDefBPP;
    m_quality = options.m_nDefExportQuality;
    m_folder = options.m_strExportDirectory;
    m_useHeader = options.m_bUseHeader != 0;
    m_useFooter = options.m_bUseFooter != 0;
    m_allPages = options.m_bExportAllPages != 0;
    m_navigation = true;
    m_supportGif = options.m_bSupportGif != 0;
    m_custom = {options.m_nDefaultExportWidth, options.m_nDefaultExportHeight};
    m_resolutionIndex = options.m_nResolutionForExport >= 0 && options.m_nResolutionForExport <= kCustomResolution
                            ? options.m_nResolutionForExport
                            : 0;
    int index = 0;
    for (int i = 0; i < 6; ++i)
        if (kFormats[i].imagingFormat == options.m_nDefExportType)
            index = i;
    m_formatIndex = index;
}

void CExportSettings::Store(CTarnOptions& options) const
{
    options.m_nDefBPP = m_bitsPerPixel;
    options.m_nDefExportType = Format().imagingFormat;
    options.m_nDefExportQuality = m_quality;
    options.m_strExportDirectory = m_folder;
    options.m_bUseHeader = m_useHeader;
    options.m_bUseFooter = m_useFooter;
    options.m_bExportAllPages = m_allPages;
    options.m_bPlacePageNumber = m_navigation;
    options.m_nResolutionForExport = m_resolutionIndex;
    options.m_nDefaultExportWidth = m_custom.width;
    options.m_nDefaultExportHeight = m_custom.height;
}

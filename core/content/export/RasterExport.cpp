#include "RasterExport.h"
#include "ExportGeometry.h"

CRasterExport::CRasterExport(const CExportSettings& settings, const CString& base, std::vector<ExportSite> sites,
                             ISiteImageRenderer& renderer, IExportPrompts& prompts)
    : m_settings(settings), m_base(base), m_sites(std::move(sites)), m_renderer(renderer), m_prompts(prompts)
{
}

bool CRasterExport::ExportToRaster(int currentSiteId)
{
    try {
        for (size_t i = 0; i < m_sites.size(); ++i) {
            if (m_settings.m_allPages || m_sites[i].site == currentSiteId)
                SaveOneSiteToFile(static_cast<int>(i), m_sites[i], 0, 0);
        }
    } catch (CCancelExportException* e) {
        e->Delete();
        return false;
    }
    return true;
}

CString CRasterExport::WriteSiteImage(int imageNumber, int site, int width, int height)
{
    for (const ExportSite& s : m_sites)
        if (s.site == site)
            return SaveOneSiteToFile(imageNumber, s, width, height);
    return ExportGeometry::ImageFileName(m_base, imageNumber, m_settings.Format().extension);
}

CString CRasterExport::SaveOneSiteToFile(int imageNumber, const ExportSite& site, int width, int height)
{
    const CString name = ExportGeometry::ImageFileName(m_base, imageNumber, m_settings.Format().extension);
    if (!m_saveFailed)
        SaveToFile(m_settings.m_folder + name, site, width, height);
    return name;
}

void CRasterExport::SaveToFile(const CString& path, const ExportSite& site, int width, int height)
{
    if (GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES) {
        const int answer = m_prompts.AskOverwrite(path);
        if (answer == IDCANCEL)
            throw new CCancelExportException;
        if (answer == IDNO)
            return;
    }
    const ExportResolution resolution = m_settings.Resolution();
    const ExportGeometry::RenderSize size =
        width != 0 || height != 0
            ? ExportGeometry::ExactSize(site.width, site.height, width, height)
            : ExportGeometry::FitIntoResolution(site.width, site.height, resolution.width, resolution.height);
    if (!m_renderer.SaveSiteImage(site.site, size.width, size.height, size.zoom, path, m_settings.Format(),
                                  m_settings.m_bitsPerPixel, ExportGeometry::QualityFactor(m_settings.m_quality))) {
        m_prompts.ReportSaveFailed(path);
        m_saveFailed = true;
    }
}

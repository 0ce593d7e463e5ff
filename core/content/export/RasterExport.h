#pragma once
// Raster export of a card's sites: one image file per site, named base_FrameNN plus the format's
// extension, fitted into the chosen resolution (or at an exact size for HTML pages), with the
// overwrite question and the failed-save rule.
#include <vector>
#include "ExportSettings.h"
#include "HtmlExport.h"

struct ExportSite
{
    int site;          // the site's id
    double width;      // the site rectangle's size in document units
    double height;
};

// Draws a site into a canvas of the given size and zoom and saves the bitmap (the document's
// drawing and the imaging library's save); false when the save failed.
class TARN_API ISiteImageRenderer
{
public:
    virtual ~ISiteImageRenderer() = default;
    virtual bool SaveSiteImage(int site, int width, int height, double zoom, const CString& path,
                               const ExportFormat& format, int bitsPerPixel, int qualityFactor) = 0;
};

class TARN_API CRasterExport : public IHtmlImageWriter
{
public:
    CRasterExport(const CExportSettings& settings, const CString& base, std::vector<ExportSite> sites,
                  ISiteImageRenderer& renderer, IExportPrompts& prompts);

    // Every site in order, or only the current one; false when the user cancelled.
    bool ExportToRaster(int currentSiteId);
    // Saves one site (width and height 0: fitted into the resolution) and answers the file's name
    // without folder. Throws CCancelExportException when the user cancels.
    CString SaveOneSiteToFile(int imageNumber, const ExportSite& site, int width, int height);
    CString WriteSiteImage(int imageNumber, int site, int width, int height) override;
    bool SaveFailed() const { return m_saveFailed; }

private:
    void SaveToFile(const CString& path, const ExportSite& site, int width, int height);

    const CExportSettings& m_settings;
    CString m_base;
    std::vector<ExportSite> m_sites;
    ISiteImageRenderer& m_renderer;
    IExportPrompts& m_prompts;
    bool m_saveFailed = false;
};

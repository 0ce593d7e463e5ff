#pragma once
// The options of an export (what the export dialog shows and keeps): format, depth, quality,
// folder, texts, page choices and resolution, read from and stored into the options.
#include <vector>
#include <classlib.h>
#include "TarnApi.h"

class CTarnOptions;

struct ExportFormat
{
    UINT label;             // string id of the format's name
    const char* extension;
    int imagingFormat;      // the imaging library's file format number
    unsigned depths;        // bit i set: the i-th of 1, 4, 8, 16, 24, 32 bits per pixel is allowed
    bool hasQuality;
    bool rasterOnly;        // offered in raster mode only
    bool needsGifOption;    // offered when the option "SupportGif" is on
};

struct ExportResolution
{
    int width;
    int height;
};

class TARN_API CExportSettings
{
public:
    enum Mode { kRaster = 0, kHtml = 1 };
    static const ExportFormat kFormats[6];
    static const ExportResolution kResolutions[6];   // the custom entry follows them
    enum { kCustomResolution = 6 };

    explicit CExportSettings(Mode mode = kRaster) : m_mode(mode) {}

    // The options' values; a format number that the table lacks selects the first format, and the
    // page navigation starts on each time.
    void Load(const CTarnOptions& options);
    void Store(CTarnOptions& options) const;

    // The table's indices of the formats offered in this mode.
    std::vector<int> OfferedFormats() const;
    // Selects a format; a depth that it does not allow falls back to 8 bits.
    void SelectFormat(int index);
    const ExportFormat& Format() const { return kFormats[m_formatIndex]; }
    static bool AllowsDepth(const ExportFormat& format, int bitsPerPixel);

    // Typed resolution: an entry of the table when both numbers equal it, else the custom entry.
    void SetCustomResolution(int width, int height);
    void SelectResolution(int index);
    ExportResolution Resolution() const;

    Mode m_mode;
    int m_formatIndex = 0;
    int m_bitsPerPixel = 24;
    int m_quality = 80;
    CString m_folder;
    CString m_title, m_header, m_footer;
    bool m_useHeader = false;
    bool m_useFooter = false;
    bool m_allPages = true;
    bool m_navigation = true;
    bool m_supportGif = false;
    int m_resolutionIndex = 0;
    ExportResolution m_custom = {640, 480};
};

#pragma once
// Writes the HTML pages of an export into the export folder, one file per page.
#include <vector>
#include "HtmlPageWriter.h"

// The questions and messages of an export (the export dialog shows them).
class TARN_API IExportPrompts
{
public:
    virtual ~IExportPrompts() = default;
    // The file exists: IDYES or IDNO replace it (for a page) or skip it (for an image), IDCANCEL
    // ends the export.
    virtual int AskOverwrite(const CString& path) = 0;
    // A page file could not be written; the export ends.
    virtual void ReportPageFileError(const CString& path) = 0;
    // An image could not be saved (message 10007); later images of the export are not saved.
    virtual void ReportSaveFailed(const CString& path) = 0;
};

// Every page's text with CRLF line ends; false when the user cancelled or a page file could not
// be written (files already written stay).
TARN_API bool ExportHtmlPages(const std::vector<std::vector<HtmlSiteEntry>>& pages, const CString& folder,
                              const HtmlExportOptions& options, IHtmlImageWriter& images, IExportPrompts& prompts);

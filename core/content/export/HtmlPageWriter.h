#pragma once
// HTML export of pages: a borderless table whose cells reproduce the layout of a page's sites,
// each site rendered to an image at its cell's size, with header, footer and page navigation.
#include <string>
#include <vector>
#include <classlib.h>
#include "TarnApi.h"

struct HtmlSiteEntry
{
    int site;          // the caller's reference to the site
    CString name;      // shown as the image's alternative text
    double left, top, right, bottom;
};

struct HtmlExportOptions
{
    CString base;          // the document file's name without folder and extension
    CString title;
    CString generator;     // the application's name
    CString header, footer;
    bool useHeader = false;
    bool useFooter = false;
    bool navigation = false;   // page links, written when all pages are exported and there are 2 or more
    bool allPages = false;
    int targetWidth = 0;       // pixels: the resolution's width less two scroll arrows
};

// Renders one site to an image file and answers the file's name (without folder). May throw
// CCancelExportException.
class TARN_API IHtmlImageWriter
{
public:
    virtual ~IHtmlImageWriter() = default;
    virtual CString WriteSiteImage(int imageNumber, int site, int width, int height) = 0;
};

// Thrown when the user cancels an overwrite question: the whole export ends.
class TARN_API CCancelExportException : public CException
{
public:
    CCancelExportException() = default;
};

// Text with the characters that HTML gives a meaning escaped (&, <, >, ").
TARN_API std::string HtmlEscape(const char* text);

// The navigation lines for page p of n, in groups of five.
TARN_API std::string PagesNavigation(const HtmlExportOptions& options, int page, int pageCount);

// The page's text with "\n" line ends; imageNumber counts the images of the whole export.
TARN_API std::string BuildHtmlPage(const std::vector<HtmlSiteEntry>& entries, const HtmlExportOptions& options,
                                   int page, int pageCount, int& imageNumber, IHtmlImageWriter& images);

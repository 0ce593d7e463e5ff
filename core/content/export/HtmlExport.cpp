#include "HtmlExport.h"
#include "ExportGeometry.h"

namespace {

bool WriteTextFile(const CString& path, const std::string& text)
{
    std::string bytes;
    bytes.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\n')
            bytes += '\r';
        bytes += c;
    }
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size();
    return CloseHandle(file) && ok;
}

} // namespace

bool ExportHtmlPages(const std::vector<std::vector<HtmlSiteEntry>>& pages, const CString& folder,
                     const HtmlExportOptions& options, IHtmlImageWriter& images, IExportPrompts& prompts)
{
    int imageNumber = 0;
    const int count = static_cast<int>(pages.size());
    for (int page = 0; page < count; ++page) {
        const CString path = folder + ExportGeometry::PageFileName(options.base, page);
        if (GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES && prompts.AskOverwrite(path) == IDCANCEL)
            return false;
        std::string text;
        try {
            text = BuildHtmlPage(pages[page], options, page, count, imageNumber, images);
        } catch (CCancelExportException* e) {
            e->Delete();
            return false;
        }
        if (!WriteTextFile(path, text)) {
            prompts.ReportPageFileError(path);
            return false;
        }
    }
    return true;
}

// Exports pages described in a text file as HTML, rendering each site as a plain 24-bit BMP of its
// cell's size, for check_html_export.py. Description lines (fields separated by tabs):
//   option<TAB>name<TAB>value     base, title, generator, header, footer, useHeader, useFooter,
//                                 navigation, allPages, targetWidth
//   page
//   site<TAB>id<TAB>name<TAB>left<TAB>top<TAB>right<TAB>bottom
// Arguments: description file, export folder (ending with a backslash), answer to overwrite
// questions (yes, no or cancel).
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>
#include "ExportGeometry.h"
#include "HtmlExport.h"

namespace {

std::vector<std::string> Split(const std::string& line)
{
    std::vector<std::string> fields;
    size_t start = 0;
    for (size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
        fields.push_back(line.substr(start, tab - start));
    fields.push_back(line.substr(start));
    return fields;
}

bool WriteBmp(const CString& path, int width, int height, int site)
{
    const int stride = (width * 3 + 3) & ~3;
    const DWORD pixels = static_cast<DWORD>(stride) * static_cast<DWORD>(height);
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + pixels;
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    std::FILE* out = std::fopen(path, "wb");
    if (!out)
        return false;
    std::fwrite(&file, sizeof file, 1, out);
    std::fwrite(&info, sizeof info, 1, out);
    std::vector<unsigned char> row(stride, static_cast<unsigned char>(40 * site));
    for (int y = 0; y < height; ++y)
        std::fwrite(row.data(), 1, row.size(), out);
    return std::fclose(out) == 0;
}

struct BmpImages : IHtmlImageWriter
{
    CString folder, base;
    int answer = IDYES;
    CString WriteSiteImage(int number, int site, int width, int height) override
    {
        const CString name = ExportGeometry::ImageFileName(base, number, ".bmp");
        const CString path = folder + name;
        if (GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES) {
            std::printf("IMAGE EXISTS %s\n", static_cast<LPCSTR>(name));
            if (answer == IDCANCEL)
                throw new CCancelExportException;
            if (answer == IDNO)
                return name;
        }
        WriteBmp(path, width, height, site);
        return name;
    }
};

struct Prompts : IExportPrompts
{
    int answer = IDYES;
    int AskOverwrite(const CString& path) override
    {
        std::printf("PAGE EXISTS %s\n", static_cast<LPCSTR>(path));
        return answer;
    }
    void ReportPageFileError(const CString& path) override { std::printf("PAGE ERROR %s\n", static_cast<LPCSTR>(path)); }
    void ReportSaveFailed(const CString& path) override { std::printf("SAVE FAILED %s\n", static_cast<LPCSTR>(path)); }
};

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4)
        return 2;
    HtmlExportOptions options;
    std::vector<std::vector<HtmlSiteEntry>> pages;
    std::ifstream in(argv[1], std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        const std::vector<std::string> f = Split(line);
        if (f[0] == "page") {
            pages.emplace_back();
        } else if (f[0] == "site" && f.size() == 7 && !pages.empty()) {
            pages.back().push_back({std::atoi(f[1].c_str()), f[2].c_str(), std::strtod(f[3].c_str(), nullptr),
                                    std::strtod(f[4].c_str(), nullptr), std::strtod(f[5].c_str(), nullptr),
                                    std::strtod(f[6].c_str(), nullptr)});
        } else if (f[0] == "option" && f.size() == 3) {
            const std::string& name = f[1];
            const char* value = f[2].c_str();
            if (name == "base") options.base = value;
            else if (name == "title") options.title = value;
            else if (name == "generator") options.generator = value;
            else if (name == "header") options.header = value;
            else if (name == "footer") options.footer = value;
            else if (name == "useHeader") options.useHeader = f[2] == "1";
            else if (name == "useFooter") options.useFooter = f[2] == "1";
            else if (name == "navigation") options.navigation = f[2] == "1";
            else if (name == "allPages") options.allPages = f[2] == "1";
            else if (name == "targetWidth") options.targetWidth = std::atoi(value);
        }
    }
    const std::string answerText = argv[3];
    const int answer = answerText == "no" ? IDNO : answerText == "cancel" ? IDCANCEL : IDYES;
    BmpImages images;
    images.folder = argv[2];
    images.base = options.base;
    images.answer = answer;
    Prompts prompts;
    prompts.answer = answer;
    const bool done = ExportHtmlPages(pages, argv[2], options, images, prompts);
    std::printf("DONE %d\n", done ? 1 : 0);
    return 0;
}

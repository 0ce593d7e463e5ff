#include "HtmlPageWriter.h"
#include <algorithm>
#include <cmath>
#include <cstdio>
#include "ExportGeometry.h"

namespace {

constexpr double kSameEdge = 1e-10;

struct Cell
{
    bool used = false;
    int width = 0;
    int height = 0;
};

void AddOnce(std::vector<double>& edges, double value)
{
    if (std::find(edges.begin(), edges.end(), value) == edges.end())
        edges.push_back(value);
}

bool Same(double a, double b)
{
    return std::fabs(a - b) <= kSameEdge;
}

std::string Number(int n)
{
    char text[16];
    std::snprintf(text, sizeof text, "%d", n);
    return text;
}

std::string SizeAttributes(int width, int height)
{
    std::string out;
    if (width != 0)
        out += " width=\"" + Number(width) + "\"";
    if (height != 0)
        out += " height=\"" + Number(height) + "\"";
    return out;
}

std::string Link(const HtmlExportOptions& options, int page, const std::string& text)
{
    return "<a href=\"" + HtmlEscape(ExportGeometry::PageFileName(options.base, page)) + "\">" + text + "</a>";
}

} // namespace

std::string HtmlEscape(const char* text)
{
    std::string out;
    for (const char* c = text; c && *c; ++c) {
        switch (*c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += *c; break;
        }
    }
    return out;
}

std::string PagesNavigation(const HtmlExportOptions& options, int page, int pageCount)
{
    const int group = page / 5, start = 5 * group;
    const int end = group == pageCount / 5 ? start + pageCount % 5 : start + 5;
    std::string out = "\n";
    if (group > 0)
        out += Link(options, start - 1, "&lt;&lt;") + "\n";
    for (int i = start; i < end; ++i)
        out += (i == page ? Number(i + 1) : Link(options, i, Number(i + 1))) + "\n";
    if (pageCount / 5 >= group + 1 && end != pageCount)
        out += Link(options, end, "&gt;&gt;") + "\n";
    return out;
}

std::string BuildHtmlPage(const std::vector<HtmlSiteEntry>& entries, const HtmlExportOptions& options, int page,
                          int pageCount, int& imageNumber, IHtmlImageWriter& images)
{
    std::vector<double> xs, ys;
    for (const HtmlSiteEntry& e : entries) {
        AddOnce(xs, e.left);
        AddOnce(xs, e.right);
        AddOnce(ys, e.top);
        AddOnce(ys, e.bottom);
    }
    std::sort(xs.begin(), xs.end());
    std::sort(ys.begin(), ys.end());

    const bool navigation = options.navigation && options.allPages && pageCount >= 2;
    std::string out = "<html>\n\n<head>\n<title>" + HtmlEscape(options.title) + "</title>\n";
    out += "<meta name=\"GENERATOR\" content=\"" + HtmlEscape(options.generator) + "\">\n\n</head>\n\n";
    out += "<body leftmargin=\"0\" topmargin=\"0\" marginheight=\"0\" marginwidth=\"0\">\n\n<center>\n\n";
    if (options.useHeader && !options.header.IsEmpty())
        out += "<h3 align=\"center\">" + HtmlEscape(options.header) + "</h3>\n\n";
    if (navigation)
        out += PagesNavigation(options, page, pageCount);
    out += "<table border=\"0\" cellspacing=\"0\" cellpadding=\"0\" align=\"center\">\n";

    const size_t columns = xs.size(), rows = ys.size();
    std::vector<Cell> grid(columns * rows);
    const double scale = columns ? options.targetWidth / xs.back() : 0;
    for (size_t j = 0; j < rows; ++j) {
        for (size_t k = 0; k < columns; ++k) {
            Cell& cell = grid[j * columns + k];
            cell.width = k + 1 < columns ? static_cast<int>(std::floor((xs[k + 1] - xs[k]) * scale + 0.5)) : 0;
            cell.height = j + 1 < rows ? static_cast<int>(std::floor((ys[j + 1] - ys[j]) * scale + 0.5)) : 0;
        }
    }
    for (size_t j = 0; j < rows; ++j) {
        out += "<tr>\n";
        for (size_t k = 0; k < columns; ++k) {
            Cell& cell = grid[j * columns + k];
            if (cell.used)
                continue;
            const HtmlSiteEntry* site = nullptr;
            for (const HtmlSiteEntry& e : entries) {
                if (Same(e.left, xs[k]) && Same(e.top, ys[j])) {
                    site = &e;
                    break;
                }
            }
            size_t k2 = columns, j2 = rows;
            if (site) {
                for (size_t jj = 0; jj < rows && j2 == rows; ++jj)
                    for (size_t kk = 0; kk < columns && j2 == rows; ++kk)
                        if (Same(xs[kk], site->right) && Same(ys[jj], site->bottom)) {
                            k2 = kk;
                            j2 = jj;
                        }
            }
            if (!site || k2 <= k || j2 <= j) {
                out += "  <td" + SizeAttributes(cell.width, cell.height) + "></td>\n";
                cell.used = true;
                continue;
            }
            int width = 0, height = 0;
            for (size_t kk = k; kk < k2; ++kk)
                width += grid[j * columns + kk].width;
            for (size_t jj = j; jj < j2; ++jj)
                height += grid[jj * columns + k].height;
            const CString file = images.WriteSiteImage(imageNumber++, site->site, width, height);
            out += "  <td" + SizeAttributes(width, height);
            if (j2 - j != 1)
                out += " rowspan=\"" + Number(static_cast<int>(j2 - j)) + "\"";
            if (k2 - k != 1)
                out += " colspan=\"" + Number(static_cast<int>(k2 - k)) + "\"";
            out += "><img src=\"" + HtmlEscape(file) + "\" alt=\"" + HtmlEscape(site->name) + "\"></td>\n";
            for (size_t jj = j; jj < j2; ++jj)
                for (size_t kk = k; kk < k2; ++kk)
                    grid[jj * columns + kk].used = true;
        }
        out += "</tr>\n";
    }
    out += "</table>\n\n";
    if (navigation)
        out += PagesNavigation(options, page, pageCount);
    if (options.useFooter && !options.footer.IsEmpty())
        out += "<h3 align=\"center\">" + HtmlEscape(options.footer) + "</h3>\n\n";
    out += "</center>\n</body>\n</html>\n";
    return out;
}

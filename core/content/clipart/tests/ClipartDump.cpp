// Prints what the library reader makes of clip-art libraries, in the form that the Python reader
// of the tests prints: open result, name, the tree depth first, and keyword look-ups with paths.
// Input: a manifest file whose lines are "path<TAB>query<TAB>query...". A query is a keyword, or
// an expression when it starts with "?".
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>
#include "DatFile.h"

namespace {

constexpr int kNodeLimit = 5000;
constexpr int kDepthLimit = 128;

void PrintNode(const CItemType& node, int depth)
{
    std::printf("%*s%d %ld %d %d %s", depth * 2, "", node.getLevel(), node.getID(), node.getIndex(),
                node.isVisible() ? 1 : 0, static_cast<LPCSTR>(node.getName()));
    if (const CImageAttribs* a = node.getAttribs())
        std::printf(" [%s %lu %lu %lu %lu]", static_cast<LPCSTR>(a->m_label), static_cast<unsigned long>(a->m_time),
                    static_cast<unsigned long>(a->m_date), static_cast<unsigned long>(a->m_size),
                    static_cast<unsigned long>(a->m_attr));
    std::printf("\n");
}

void Walk(const CDatFile& file, CItemType* first, int depth, int& budget)
{
    std::unique_ptr<CItemType> node(first);
    while (node && budget > 0) {
        --budget;
        PrintNode(*node, depth);
        CItemType* child = nullptr;
        if (depth + 1 < kDepthLimit && file.GetChildItem(node.get(), child))
            Walk(file, child, depth + 1, budget);
        CItemType* next = nullptr;
        if (!file.GetNextSiblingItem(node.get(), next))
            next = nullptr;
        node.reset(next);
    }
}

void PrintIds(const CDatFile& file, const char* label, const std::string& query, unsigned long* ids, unsigned count)
{
    std::printf("%s %s:", label, query.c_str());
    for (unsigned i = 0; i < count; ++i)
        std::printf(" %lu", ids[i]);
    std::printf("\n");
    for (unsigned i = 0; i < count; ++i)
        std::printf("PATH %lu %s\n", ids[i], static_cast<LPCSTR>(file.GetImagePath(ids[i])));
}

// Expressions travel escaped in the manifest: "\\t", "\\n" and "\\\\" stand for a tab, a line feed and
// a backslash.
std::string Unescape(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            const char c = text[++i];
            out += c == 't' ? '\t' : c == 'n' ? '\n' : c;
        } else {
            out += text[i];
        }
    }
    return out;
}

void Dump(const std::vector<std::string>& fields)
{
    CDatFile file;
    if (!file.Open(fields[0].c_str())) {
        std::printf("OPEN 0 %lu\n", GetLastError() == ERROR_INVALID_DATA ? 13ul : 0ul);
        return;
    }
    std::printf("OPEN 1\nNAME %s NEW %d\n", file.GetProductName(), file.IsNewFormatFile() ? 1 : 0);
    CItemType* root = nullptr;
    int budget = kNodeLimit;
    if (file.GetRootItem(root))
        Walk(file, root, 0, budget);
    for (size_t q = 1; q < fields.size(); ++q) {
        unsigned long* ids = nullptr;
        if (!fields[q].empty() && fields[q][0] == '?') {
            CString expression(Unescape(fields[q].substr(1)).c_str());
            const unsigned count = file.FindImagesByExpression(expression, ids);
            if (!ids)
                std::printf("EXPR %s: ERROR\n", fields[q].c_str() + 1);
            else
                PrintIds(file, "EXPR", fields[q].substr(1), ids, count);
        } else {
            int count = file.FindImages(fields[q].c_str(), ids);
            PrintIds(file, "FIND", fields[q], ids, static_cast<unsigned>(count));
        }
        delete[] ids;
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: clipart_dump manifest\n");
        return 2;
    }
    std::ifstream manifest(argv[1], std::ios::binary);
    std::string line;
    while (std::getline(manifest, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::vector<std::string> fields;
        size_t start = 0;
        for (size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
            fields.push_back(line.substr(start, tab - start));
        fields.push_back(line.substr(start));
        std::printf("== %s\n", fields[0].c_str());
        Dump(fields);
    }
    return 0;
}

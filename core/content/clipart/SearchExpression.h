#pragma once
// Keyword search expressions over a clip-art library: keywords joined by OR ("+", "OR", or
// nothing), AND ("," or "AND") and EXCEPT ("~", "EXCEPT" or "NOT"), with parentheses. AND and
// EXCEPT bind tighter than OR, and chains of one binding strength run left to right. Every
// expression keeps its own parsing state, so several threads may search at once.
#include <string>
#include <vector>

class CDatFile;

class CSearchExpression
{
public:
    enum Token { tokOr = 0, tokAnd = 1, tokExcept = 2, tokKeyword = 4, tokOpen = 5, tokClose = 6, tokEnd = 7 };

    explicit CSearchExpression(const CDatFile& library) : m_library(library) {}

    // Parses and evaluates the text; false on a syntax error.
    bool Evaluate(const char* text);
    // The image ids selected, in the order of their lists, duplicates kept.
    const std::vector<unsigned long>& Result() const { return m_result; }

private:
    using Ids = std::vector<unsigned long>;

    Token NextToken();
    Token ReadToken();
    bool Expression(Ids& out);
    bool Term(Ids& out);
    bool Factor(Ids& out);
    void Advance() { m_token = NextToken(); }

    const CDatFile& m_library;
    const char* m_text = nullptr;
    size_t m_pos = 0;
    Token m_token = tokEnd;
    Token m_previous = tokEnd;
    bool m_pendingKeyword = false;
    int m_depth = 0;
    int m_nesting = 0;
    std::string m_keyword;
    Ids m_result;
};

// Set operations on image-id lists that keep the left list's order and duplicates.
namespace ImageIdSets {
std::vector<unsigned long> Union(const std::vector<unsigned long>& left, const std::vector<unsigned long>& right);
std::vector<unsigned long> Intersection(const std::vector<unsigned long>& left, const std::vector<unsigned long>& right);
std::vector<unsigned long> Difference(const std::vector<unsigned long>& left, const std::vector<unsigned long>& right);
}

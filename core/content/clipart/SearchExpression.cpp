#include "SearchExpression.h"
#include <cctype>
#include <cstring>
#include "DatFile.h"

namespace {

// Parentheses nest at most this deep: deeper text is treated as malformed, not as a stack risk.
constexpr int kMaxNesting = 256;

bool IsBlank(char c)
{
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

bool EndsWord(char c)
{
    return c == '\0' || IsBlank(c) || std::strchr("(),~+", c) != nullptr;
}

bool SameWord(const std::string& word, const char* name)
{
    return _stricmp(word.c_str(), name) == 0;
}

} // namespace

CSearchExpression::Token CSearchExpression::NextToken()
{
    const Token token = ReadToken();
    m_previous = token;
    return token;
}

CSearchExpression::Token CSearchExpression::ReadToken()
{
    if (m_pendingKeyword) {
        m_pendingKeyword = false;
        return tokKeyword;
    }
    while (IsBlank(m_text[m_pos]))
        ++m_pos;
    const char c = m_text[m_pos];
    switch (c) {
    case '\0':
        return tokEnd;
    case '(':
        // A keyword directly before "(" is joined to the group by OR; the "(" is read next time.
        if (m_previous == tokKeyword)
            return tokOr;
        ++m_pos;
        ++m_depth;
        return tokOpen;
    case ')':
        ++m_pos;
        --m_depth;
        return tokClose;
    case '+':
        ++m_pos;
        return tokOr;
    case ',':
        ++m_pos;
        return tokAnd;
    case '~':
        ++m_pos;
        return tokExcept;
    default:
        break;
    }
    m_keyword.clear();
    if (c == '"') {
        const char* close = std::strchr(m_text + m_pos + 1, '"');
        const size_t end = close ? static_cast<size_t>(close - m_text) : std::strlen(m_text);
        m_keyword.assign(m_text + m_pos + 1, end - m_pos - 1);
        m_pos = close ? end + 1 : end;
    } else {
        const size_t start = m_pos;
        while (!EndsWord(m_text[m_pos]))
            ++m_pos;
        m_keyword.assign(m_text + start, m_pos - start);
    }
    // Operator words stay operators when quoted.
    if (SameWord(m_keyword, "AND"))
        return tokAnd;
    if (SameWord(m_keyword, "OR"))
        return tokOr;
    if (SameWord(m_keyword, "EXCEPT") || SameWord(m_keyword, "NOT"))
        return tokExcept;
    // Two keywords side by side are joined by OR: report OR now and the keyword next time.
    if (m_previous == tokKeyword) {
        m_pendingKeyword = true;
        return tokOr;
    }
    return tokKeyword;
}

bool CSearchExpression::Evaluate(const char* text)
{
    m_text = text ? text : "";
    m_pos = 0;
    m_previous = tokEnd;
    m_pendingKeyword = false;
    m_depth = 0;
    m_nesting = 0;
    m_result.clear();
    Advance();
    if (m_token == tokEnd)
        return true;  // no operand at all: nothing found, and nothing wrong
    Ids result;
    if (!Expression(result) || m_depth != 0)
        return false;
    // Text after a complete expression, such as a keyword after ")", is not read.
    m_result = std::move(result);
    return true;
}

bool CSearchExpression::Expression(Ids& out)
{
    if (!Term(out))
        return false;
    while (m_token == tokOr) {
        Advance();
        Ids right;
        if (!Term(right))
            return false;
        out = ImageIdSets::Union(out, right);
    }
    return true;
}

bool CSearchExpression::Term(Ids& out)
{
    if (!Factor(out))
        return false;
    while (m_token == tokAnd || m_token == tokExcept) {
        const Token op = m_token;
        Advance();
        Ids right;
        if (!Factor(right))
            return false;
        out = op == tokAnd ? ImageIdSets::Intersection(out, right) : ImageIdSets::Difference(out, right);
    }
    return true;
}

bool CSearchExpression::Factor(Ids& out)
{
    if (m_token == tokKeyword) {
        unsigned long* ids = nullptr;
        const int count = m_library.FindImages(m_keyword.c_str(), ids);
        out.assign(ids, ids + (count > 0 ? count : 0));
        delete[] ids;
        Advance();
        return true;
    }
    if (m_token != tokOpen || ++m_nesting > kMaxNesting)
        return false;  // an operator or ")" where an operand belongs, or a missing operand
    Advance();
    if (!Expression(out) || m_token != tokClose)
        return false;
    --m_nesting;
    Advance();
    return true;
}

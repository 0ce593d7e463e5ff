#include "ExpressionEvaluator.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

enum class Tok { Number, Plus, Minus, Times, Divide, Open, Close, End };

struct Token {
    Tok kind;
    double value;
};

// Too many tokens is refused rather than evaluated: nobody types that into a length field.
constexpr size_t kMaxTokens = 1000;

bool Tokenize(const char* text, std::vector<Token>& tokens)
{
    for (const char* p = text; *p;) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f') {
            ++p;
            continue;
        }
        if (c >= '0' && c <= '9') {
            std::string number;
            while ((*p >= '0' && *p <= '9') || *p == '.' || *p == ',') {
                number += (*p == ',') ? '.' : *p;
                ++p;
            }
            tokens.push_back({Tok::Number, std::atof(number.c_str())});
        } else {
            switch (c) {
            case '+': tokens.push_back({Tok::Plus, 0}); break;
            case '-': tokens.push_back({Tok::Minus, 0}); break;
            case '*': tokens.push_back({Tok::Times, 0}); break;
            case '/': tokens.push_back({Tok::Divide, 0}); break;
            case '(': tokens.push_back({Tok::Open, 0}); break;
            case ')': tokens.push_back({Tok::Close, 0}); break;
            default:
                if (c < 33 || c > 126)
                    return true;  // anything unprintable ends the expression
                break;            // printable noise such as a stray letter is skipped
            }
            ++p;
        }
        if (tokens.size() > kMaxTokens)
            return false;
    }
    return true;
}

// Grammar symbols of the LL(1) parser; actions run as soon as they are popped, which is the
// postfix order of the expression.
enum class Sym { E, E1, T, T1, F, Match, Add, Subtract, Negate, Multiply, Divide, Push };

struct Frame {
    Sym sym;
    Tok expected;  // for Match
};

}  // namespace

double EvaluateExpression(const char* text)
{
    if (!text || !*text)
        return -HUGE_VAL;
    std::vector<Token> tokens;
    if (!Tokenize(text, tokens))
        return -HUGE_VAL;
    while (!tokens.empty() && tokens.back().kind != Tok::Number && tokens.back().kind != Tok::Close)
        tokens.pop_back();
    tokens.push_back({Tok::End, 0});

    std::vector<double> values;
    auto binary = [&values](Sym op) {
        if (values.size() < 2)
            return false;
        const double b = values.back();
        values.pop_back();
        double& a = values.back();
        switch (op) {
        case Sym::Add: a += b; break;
        case Sym::Subtract: a -= b; break;
        case Sym::Multiply: a *= b; break;
        default: a = (b == 0.0) ? 0.0 : a / b; break;
        }
        return true;
    };

    // S -> E E' end
    std::vector<Frame> stack{{Sym::Match, Tok::End}, {Sym::E1, Tok::End}, {Sym::E, Tok::End}};
    size_t pos = 0;
    double lastNumber = 0;
    while (!stack.empty()) {
        const Frame top = stack.back();
        stack.pop_back();
        const Tok look = tokens[pos].kind;
        switch (top.sym) {
        case Sym::Match:
            if (look != top.expected)
                return -HUGE_VAL;
            lastNumber = tokens[pos].value;
            ++pos;
            break;
        case Sym::E:  // E -> T T'
            stack.push_back({Sym::T1, Tok::End});
            stack.push_back({Sym::T, Tok::End});
            break;
        case Sym::E1:  // E' -> + E <add> E' | - E <subtract> E' | empty
            if (look == Tok::Plus || look == Tok::Minus) {
                stack.push_back({Sym::E1, Tok::End});
                stack.push_back({look == Tok::Plus ? Sym::Add : Sym::Subtract, Tok::End});
                stack.push_back({Sym::E, Tok::End});
                stack.push_back({Sym::Match, look});
            } else if (look != Tok::Close && look != Tok::End) {
                return -HUGE_VAL;
            }
            break;
        case Sym::T:  // T -> - F <negate> | F
            if (look == Tok::Minus) {
                stack.push_back({Sym::Negate, Tok::End});
                stack.push_back({Sym::F, Tok::End});
                stack.push_back({Sym::Match, Tok::Minus});
            } else {
                stack.push_back({Sym::F, Tok::End});
            }
            break;
        case Sym::T1:  // T' -> * T <multiply> T' | / T <divide> T' | empty
            if (look == Tok::Times || look == Tok::Divide) {
                stack.push_back({Sym::T1, Tok::End});
                stack.push_back({look == Tok::Times ? Sym::Multiply : Sym::Divide, Tok::End});
                stack.push_back({Sym::T, Tok::End});
                stack.push_back({Sym::Match, look});
            } else if (look != Tok::Plus && look != Tok::Minus && look != Tok::Close && look != Tok::End) {
                return -HUGE_VAL;
            }
            break;
        case Sym::F:  // F -> ( E E' ) | number <push>
            if (look == Tok::Open) {
                stack.push_back({Sym::Match, Tok::Close});
                stack.push_back({Sym::E1, Tok::End});
                stack.push_back({Sym::E, Tok::End});
                stack.push_back({Sym::Match, Tok::Open});
            } else if (look == Tok::Number) {
                stack.push_back({Sym::Push, Tok::End});
                stack.push_back({Sym::Match, Tok::Number});
            } else {
                return -HUGE_VAL;
            }
            break;
        case Sym::Push:
            values.push_back(lastNumber);
            break;
        case Sym::Negate:
            if (values.empty())
                return -HUGE_VAL;
            values.back() = -values.back();
            break;
        default:
            if (!binary(top.sym))
                return -HUGE_VAL;
            break;
        }
    }
    return values.size() == 1 ? values.back() : -HUGE_VAL;
}

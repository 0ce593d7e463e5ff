// dat-bench: opening a large clip-art library, looking keywords up and evaluating expressions.
// Arguments: the library, then a file of lines "keyword<TAB>..." (the keywords to look up) and
// "?expression" (the expressions to time). Prints milliseconds per operation and the result
// counts; dat_bench.py runs it beside Python's set operations on the same ids.
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>
#include "DatFile.h"

namespace {

double Milliseconds(std::chrono::steady_clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    std::vector<std::string> keywords, expressions;
    std::ifstream in(argv[2], std::ios::binary);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        (line.size() > 1 && line[0] == '?' ? expressions : keywords).push_back(line[0] == '?' ? line.substr(1) : line);
    }
    using Clock = std::chrono::steady_clock;
    auto start = Clock::now();
    CDatFile file;
    if (!file.Open(argv[1]))
        return 1;
    std::printf("open %.3f\n", Milliseconds(Clock::now() - start));

    start = Clock::now();
    long total = 0;
    for (const std::string& keyword : keywords) {
        unsigned long* ids = nullptr;
        total += file.FindImages(keyword.c_str(), ids);
        delete[] ids;
    }
    std::printf("lookup %.4f %zu %ld\n", Milliseconds(Clock::now() - start) / keywords.size(), keywords.size(), total);

    for (size_t e = 0; e < expressions.size(); ++e) {
        const int rounds = 5;
        unsigned count = 0;
        start = Clock::now();
        for (int r = 0; r < rounds; ++r) {
            CString text(expressions[e].c_str());
            unsigned long* ids = nullptr;
            count = file.FindImagesByExpression(text, ids);
            delete[] ids;
        }
        std::printf("expr%zu %.3f %u\n", e, Milliseconds(Clock::now() - start) / rounds, count);
    }
    return 0;
}

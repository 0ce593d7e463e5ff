// The case and answer files of the engine's probe programs (run by the Python model checks).
#pragma once

#include <cstdio>

// Opens argv[1] for reading and argv[2] for writing; false, with a usage line, when either fails.
inline bool OpenProbeFiles(int argc, char** argv, const char* program, FILE*& in, FILE*& out) {
    in = argc == 3 ? std::fopen(argv[1], "r") : nullptr;
    out = in ? std::fopen(argv[2], "wb") : nullptr;
    if (in && out) return true;
    std::fprintf(stderr, "usage: %s cases.txt out.bin\n", program);
    return false;
}

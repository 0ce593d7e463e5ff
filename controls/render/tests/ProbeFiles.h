// The case and answer files of the engine's probe programs (run by the Python model checks).
#pragma once

#include <cstdio>
#include <vector>

#include "render/SegmentDesc.h"

// Opens argv[1] for reading and argv[2] for writing; false, with a usage line, when either fails.
inline bool OpenProbeFiles(int argc, char** argv, const char* program, FILE*& in, FILE*& out) {
    in = argc == 3 ? std::fopen(argv[1], "r") : nullptr;
    out = in ? std::fopen(argv[2], "wb") : nullptr;
    if (in && out) return true;
    std::fprintf(stderr, "usage: %s cases.txt out.bin\n", program);
    return false;
}

// Appends a value's bytes to an answer.
template <class T>
void AppendBytes(std::vector<char>& bytes, const T& value) {
    const char* p = reinterpret_cast<const char*>(&value);
    bytes.insert(bytes.end(), p, p + sizeof value);
}

// Appends a segment record as seven doubles: its kind and its three points.
inline void AppendRecord(std::vector<char>& bytes, const SegmentDesc& s) {
    const double values[7] = {double(s.kind), s.pt1.x, s.pt1.y, s.pt2.x, s.pt2.y, s.pt3.x, s.pt3.y};
    AppendBytes(bytes, values);
}

// Writes one case's answer: three int32 of the caller's, the byte count, then the bytes.
inline void WriteAnswer(FILE* out, int first, int second, int third, const std::vector<char>& bytes) {
    const int header[4] = {first, second, third, int(bytes.size())};
    std::fwrite(header, sizeof header, 1, out);
    std::fwrite(bytes.data(), 1, bytes.size(), out);
}

// Runs the Boolean operations of a text file for the Python check against shapely.
// Each case: a line "op hint arrays1 arrays2", then for every array of the first and then the second
// operand a line with its record count followed by that many lines "kind x0 y0 x1 y1 x2 y2". Each
// case writes int32 success, array count, attempts and byte count, then per output array an int32
// record count and its records as seven doubles (kind and the three points).
#include <cstdio>
#include <cstring>
#include <vector>

#include "render/PathBoolean.h"
#include "../ProbeFiles.h"

namespace {

bool ReadOperand(FILE* in, int arrays, std::vector<std::vector<SegmentDesc>>& out) {
    out.assign(arrays, {});
    for (auto& records : out) {
        int count;
        if (std::fscanf(in, "%d", &count) != 1 || count < 0) return false;
        records.resize(count);
        for (SegmentDesc& s : records) {
            int kind;
            if (std::fscanf(in, "%d %lf %lf %lf %lf %lf %lf", &kind, &s.pt1.x, &s.pt1.y, &s.pt2.x, &s.pt2.y, &s.pt3.x,
                            &s.pt3.y) != 7)
                return false;
            s.kind = static_cast<unsigned char>(kind);
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    FILE *in, *out;
    if (!OpenProbeFiles(argc, argv, "boolean-probe", in, out)) return 2;
    int op, hint, arrays1, arrays2;
    while (std::fscanf(in, "%d %d %d %d", &op, &hint, &arrays1, &arrays2) == 4) {
        std::vector<std::vector<SegmentDesc>> first, second;
        if (!ReadOperand(in, arrays1, first) || !ReadOperand(in, arrays2, second)) return 3;
        std::vector<SegmentDesc*> pointers1, pointers2;
        std::vector<int> counts1, counts2;
        for (auto& a : first) pointers1.push_back(a.data()), counts1.push_back(int(a.size()));
        for (auto& a : second) pointers2.push_back(a.data()), counts2.push_back(int(a.size()));
        SegmentDesc** arraysOut = nullptr;
        SegmentDesc* buffer = nullptr;
        int* countsOut = nullptr;
        int arrayCount = 0;
        BooleanRunReport report;
        const int ok = PathBooleanOperation(pointers1.data(), counts1.data(), arrays1, pointers2.data(), counts2.data(),
                                            arrays2, &arraysOut, &buffer, &countsOut, &arrayCount, op, hint, 0, &report);
        std::vector<char> bytes;
        for (int a = 0; ok && a < arrayCount; ++a) {
            AppendBytes(bytes, countsOut[a]);
            for (int i = 0; i < countsOut[a]; ++i) AppendRecord(bytes, arraysOut[a][i]);
        }
        WriteAnswer(out, ok, ok ? arrayCount : 0, report.attempts, bytes);
        delete[] arraysOut;
        delete[] buffer;
        delete[] countsOut;
    }
    std::fclose(in);
    std::fclose(out);
    return 0;
}

#include "EngineOutlineUnion.h"

#include "render/PathBoolean.h"

#include <new>

bool EngineOutlineUnion(const SegmentArray& glyph, const std::vector<SegmentArray>& bars, SegmentArray& result) {
    if (glyph.empty() || bars.empty()) return false;
    try {
        // The engine snaps and cleans its operands in place: it works on copies.
        SegmentArray first = glyph;
        std::vector<SegmentArray> second = bars;
        SegmentDesc* firstArrays[] = {first.data()};
        int firstCounts[] = {static_cast<int>(first.size())};
        std::vector<SegmentDesc*> secondArrays;
        std::vector<int> secondCounts;
        for (SegmentArray& bar : second) {
            secondArrays.push_back(bar.data());
            secondCounts.push_back(static_cast<int>(bar.size()));
        }
        SegmentDesc** arrays = nullptr;
        SegmentDesc* buffer = nullptr;
        int* counts = nullptr;
        int count = 0;
        // Union into one array (hint 4): the glyph stays one outline with its bars joined.
        if (!PathBooleanOperation(firstArrays, firstCounts, 1, secondArrays.data(), secondCounts.data(),
                                  static_cast<int>(secondArrays.size()), &arrays, &buffer, &counts, &count,
                                  BooleanUnion, BooleanHintOneArray, 0))
            return false;
        SegmentArray joined;
        for (int i = 0; i < count; ++i) joined.insert(joined.end(), arrays[i], arrays[i] + counts[i]);
        delete[] arrays;
        delete[] buffer;
        delete[] counts;
        result.swap(joined);
        return !result.empty();
    } catch (const std::bad_alloc&) {
        return false;
    }
}

#include "FontTable.h"

#include <cstring>

#include "render/EngineState.h"

namespace {

bool SameFace(const LOGFONTA& a, const LOGFONTA& b) {
    // Face names from files are not trusted to be terminated.
    return std::strncmp(a.lfFaceName, b.lfFaceName, LF_FACESIZE) == 0;
}

bool SameStyle(const LOGFONTA& a, const LOGFONTA& b) {
    return a.lfWeight == b.lfWeight && a.lfItalic == b.lfItalic && a.lfUnderline == b.lfUnderline &&
           a.lfStrikeOut == b.lfStrikeOut && a.lfCharSet == b.lfCharSet;
}

}  // namespace

int FontTable::FindOrAdd(const LOGFONTA& logFont) {
    CriticalSectionHolder hold(CacheLock());
    LOGFONTA wanted = logFont;
    wanted.lfFaceName[LF_FACESIZE - 1] = 0;
    for (size_t i = 0; i < entries_.size(); ++i) {
        const LOGFONTA& have = entries_[i].logFont;
        if (SameFace(have, wanted) && SameStyle(have, wanted)) return static_cast<int>(i);
    }
    FontEntry entry{};
    entry.logFont = wanted;
    if (!entry.Init()) return -1;
    entries_.push_back(entry);
    return static_cast<int>(entries_.size() - 1);
}

const FontEntry* FontTable::Entry(int index) const {
    CriticalSectionHolder hold(CacheLock());
    if (index < 0 || static_cast<size_t>(index) >= entries_.size()) return nullptr;
    return &entries_[static_cast<size_t>(index)];
}

int FontTable::Count() const {
    CriticalSectionHolder hold(CacheLock());
    return static_cast<int>(entries_.size());
}

FontTable& FontTable::Shared() {
    static FontTable table;
    return table;
}

int FindOrAddFont(const LOGFONTA* logFont, const FontEntry** out) {
    if (!logFont) return -1;
    FontTable& table = FontTable::Shared();
    const int index = table.FindOrAdd(*logFont);
    if (out && index != -1) *out = table.Entry(index);
    return index;
}

#pragma once
// The process-wide table of distinct fonts that characters refer to by index. Entries are never
// removed or moved, so an index, and a reference to its entry, stay valid for the process's life.
// The table is used by the user-interface and preview threads and works under the cache lock.
#include <deque>

#include "FontEntry.h"

class FontTable {
public:
    // Index of the first entry with the same face (case-sensitive), weight, italic, underline,
    // strike-out and character set; height and the other fields are not compared. A new entry is
    // made when none matches; -1 when that font cannot be made (nothing is added then).
    int FindOrAdd(const LOGFONTA& logFont);

    // The entry at index, or null for an index the table does not hold.
    const FontEntry* Entry(int index) const;
    int Count() const;

    // The table of the process.
    static FontTable& Shared();

private:
    std::deque<FontEntry> entries_;
};

// The C-style entry of the table: the index, and when out is given and the result is not -1,
// the entry itself.
int FindOrAddFont(const LOGFONTA* logFont, const FontEntry** out);

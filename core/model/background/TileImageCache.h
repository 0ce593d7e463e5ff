#pragma once
// Rendered tiled sheets kept per zoom value, so that repainting at a known zoom is one copy. The
// least recently used sheet makes room for a new zoom.
#include <vector>

#include "TarnApi.h"

struct IUnknown;

class TARN_API CTileImageCache {
public:
    static constexpr int kCapacity = 4;

    CTileImageCache() = default;
    ~CTileImageCache() { Clear(); }
    CTileImageCache(const CTileImageCache&) = delete;
    CTileImageCache& operator=(const CTileImageCache&) = delete;

    // The sheet rendered at exactly this zoom, without a new reference; null when none.
    IUnknown* Lookup(double zoom);
    // Keeps sheet (takes over the caller's reference).
    void Insert(double zoom, IUnknown* sheet);
    void Clear();
    int GetCount() const { return static_cast<int>(m_entries.size()); }

private:
    struct Entry {
        double zoom;
        int lastUse;
        IUnknown* sheet;
    };
    std::vector<Entry> m_entries;
    int m_useCounter = 0;
};

#include "TileImageCache.h"

#include <windows.h>
#include <objbase.h>

#include <cstdlib>

IUnknown* CTileImageCache::Lookup(double zoom)
{
    ++m_useCounter;
    IUnknown* found = nullptr;
    for (Entry& entry : m_entries) {
        if (entry.zoom == zoom) {
            entry.lastUse = m_useCounter;
            found = entry.sheet;
        }
    }
    return found;
}

void CTileImageCache::Insert(double zoom, IUnknown* sheet)
{
    if (static_cast<int>(m_entries.size()) < kCapacity) {
        m_entries.push_back(Entry{zoom, m_useCounter, sheet});
        return;
    }
    size_t oldest = 0;
    for (size_t i = 1; i < m_entries.size(); ++i) {
        if (std::abs(m_entries[i].lastUse - m_useCounter) > std::abs(m_entries[oldest].lastUse - m_useCounter))
            oldest = i;
    }
    if (m_entries[oldest].sheet)
        m_entries[oldest].sheet->Release();
    m_entries[oldest] = Entry{zoom, m_useCounter, sheet};
}

void CTileImageCache::Clear()
{
    for (Entry& entry : m_entries) {
        if (entry.sheet)
            entry.sheet->Release();
    }
    m_entries.clear();
}

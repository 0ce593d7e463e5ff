#include "tarn/HeapArray.h"

#include <cstring>
#include <new>

CHeapArray::CHeapArray() : capacity_(0), count_(0), items_(nullptr), heap_(GetProcessHeap()) {}

CHeapArray::~CHeapArray() { Clear(); }

bool CHeapArray::SetCount(int n, int step) {
    if (n < 0) return false;
    if (n > capacity_) {
        int newCapacity = capacity_ + (step > 0 ? step : 1);
        if (newCapacity < n) newCapacity = n;
        const SIZE_T bytes = static_cast<SIZE_T>(newCapacity) * sizeof(CHeapArrayItem);
        void* block = items_ ? HeapReAlloc(heap_, HEAP_ZERO_MEMORY, items_, bytes)
                             : HeapAlloc(heap_, HEAP_ZERO_MEMORY, bytes);
        if (!block) return false;
        items_ = static_cast<CHeapArrayItem*>(block);
        capacity_ = newCapacity;
    }
    count_ = n;
    return true;
}

bool CHeapArray::AllocItems(int i, int n) {
    if (i < 0 || i >= count_ || n < 0) return false;
    CHeapArrayItem& item = items_[i];
    if (!item.segments || item.segmentCount == 0 || item.segmentCount < n) {
        SegmentDesc* buffer = new (std::nothrow) SegmentDesc[n > 0 ? n : 1];
        if (!buffer) return false;
        delete[] item.segments;
        item.segments = buffer;
    }
    item.segmentCount = n;
    return true;
}

bool CHeapArray::CopyItem(int dst, const CHeapArrayItem& src) {
    if (dst < 0 || dst >= count_) return false;
    CHeapArrayItem& item = items_[dst];
    SegmentDesc* buffer = nullptr;
    if (src.segments && src.segmentCount > 0) {
        buffer = new (std::nothrow) SegmentDesc[src.segmentCount];
        if (!buffer) return false;
        std::memcpy(buffer, src.segments, sizeof(SegmentDesc) * src.segmentCount);
    }
    item.segmentCount = src.segmentCount;
    item.segments = buffer;
    item.pathBounds = src.pathBounds;
    item.strokeBounds = src.strokeBounds;
    return true;
}

bool CHeapArray::Append(const CHeapArray& other) {
    const int first = count_;
    const int n = other.count_;  // read first: other may be this array
    if (!Grow(n)) return false;
    for (int i = 0; i < n; ++i)
        if (!CopyItem(first + i, other.items_[i])) return false;
    return true;
}

bool CHeapArray::Assign(const CHeapArray& other) {
    if (&other == this) return true;
    if (!SetCount(other.count_, 1)) return false;
    for (int i = 0; i < other.count_; ++i)
        if (!CopyItem(i, other.items_[i])) return false;
    return true;
}

BOOL CHeapArray::Clear() {
    BOOL freed = FALSE;
    if (items_) {
        // Every item that holds a buffer is freed, also one behind an item without a buffer
        // (stopping at the first gap would leak the rest).
        for (int i = 0; i < capacity_; ++i) delete[] items_[i].segments;
        freed = HeapFree(heap_, 0, items_);
    }
    items_ = nullptr;
    capacity_ = 0;
    count_ = 0;
    return freed;
}

CHeapArrayView::CHeapArrayView(const CHeapArray& array)
    : size_(array.Count()), pointers_(nullptr), counts_(nullptr) {
    if (size_ == 0) return;
    pointers_ = new (std::nothrow) SegmentDesc*[size_];
    counts_ = new (std::nothrow) int[size_];
    if (!pointers_ || !counts_) {
        delete[] pointers_;
        delete[] counts_;
        pointers_ = nullptr;
        counts_ = nullptr;
        return;
    }
    for (int i = 0; i < size_; ++i) {
        pointers_[i] = array[i].segments;
        counts_[i] = array[i].segmentCount;
    }
}

CHeapArrayView::~CHeapArrayView() {
    delete[] pointers_;
    delete[] counts_;
}

void CHeapArrayView::Get(SegmentDesc*** pointers, int** counts) const {
    if (pointers) *pointers = pointers_;
    if (counts) *counts = counts_;
}

#pragma once
// Growable list of sub-paths kept on the process heap. Each item owns a buffer of segment records;
// buffers are reused when large enough so that refilling a path of the same shape allocates nothing.
#include <windows.h>

#include "TarnControls.h"

struct CHeapArrayItem {
    int segmentCount;
    SegmentDesc* segments;
    tagRectF pathBounds;
    tagRectF strokeBounds;
};

class CHeapArray {
public:
    CHeapArray();
    ~CHeapArray();
    CHeapArray(const CHeapArray&) = delete;
    CHeapArray& operator=(const CHeapArray&) = delete;

    // Each returns false when memory ran out; the array is then left as it was.
    bool SetCount(int n, int step);
    bool Grow(int k) { return SetCount(count_ + k, 1); }
    bool AllocItems(int i, int n);
    bool CopyItem(int dst, const CHeapArrayItem& src);
    bool Append(const CHeapArray& other);
    bool Assign(const CHeapArray& other);
    bool IsNotEmpty() const { return count_ != 0; }
    BOOL Clear();

    int Capacity() const { return capacity_; }
    int Count() const { return count_; }
    CHeapArrayItem* Items() { return items_; }
    const CHeapArrayItem* Items() const { return items_; }
    CHeapArrayItem& operator[](int i) { return items_[i]; }
    const CHeapArrayItem& operator[](int i) const { return items_[i]; }

private:
    int capacity_;
    int count_;
    CHeapArrayItem* items_;
    HANDLE heap_;
};

// Separate lists of segment pointers and counts for calls that take them apart.
class CHeapArrayView {
public:
    explicit CHeapArrayView(const CHeapArray& array);
    ~CHeapArrayView();
    CHeapArrayView(const CHeapArrayView&) = delete;
    CHeapArrayView& operator=(const CHeapArrayView&) = delete;

    void Get(SegmentDesc*** pointers, int** counts) const;
    bool IsValid() const { return pointers_ != nullptr || size_ == 0; }

private:
    int size_;
    SegmentDesc** pointers_;
    int* counts_;
};

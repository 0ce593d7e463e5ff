#include "DirtyRectList.h"

bool RectsMeet(const RECT& a, const RECT& b) {
    RECT common;
    return IntersectRect(&common, &a, &b) != FALSE;
}

long long RectArea(const RECT& r) {
    if (r.right <= r.left || r.bottom <= r.top) return 0;
    return static_cast<long long>(r.right - r.left) * (r.bottom - r.top);
}

void CDirtyRectList::Add(const RECT& r) {
    if (IsRectEmpty(&r)) return;

    long long smallestGrowth = 0x40000000;
    int best = -1;
    bool met = false;
    for (int i = 0; i < count_; ++i) {
        RECT joined;
        UnionRect(&joined, &rects_[i], &r);
        const long long growth = RectArea(joined) - RectArea(rects_[i]);
        if (growth < smallestGrowth) {
            smallestGrowth = growth;
            best = i;
        }
        if (RectsMeet(rects_[i], r)) {
            met = true;
            break;
        }
    }
    if (!met && (count_ == 0 || (count_ < kCapacity && smallestGrowth >= RectArea(r)))) {
        Append(r);
        return;
    }
    if (best < 0) best = 0;  // every growth beyond the start value: still merge rather than overflow

    RECT grown;
    UnionRect(&grown, &rects_[best], &r);
    RemoveAt(best);
    // Joining may make the grown rectangle meet others it did not meet before: repeat until none does.
    for (bool joined = true; joined;) {
        joined = false;
        for (int i = 0; i < count_; ++i) {
            if (RectsMeet(rects_[i], grown)) {
                UnionRect(&grown, &grown, &rects_[i]);
                RemoveAt(i);
                joined = true;
                break;
            }
        }
    }
    Append(grown);
}

void CDirtyRectList::Reset(const RECT& r) {
    count_ = 0;
    Append(r);
}

void CDirtyRectList::KeepInside(const RECT& area) {
    int kept = 0;
    for (int i = 0; i < count_; ++i) {
        RECT clipped;
        if (IntersectRect(&clipped, &rects_[i], &area)) rects_[kept++] = clipped;
    }
    count_ = kept;
}

void CDirtyRectList::RemoveAt(int index) {
    for (int i = index + 1; i < count_; ++i) rects_[i - 1] = rects_[i];
    --count_;
}

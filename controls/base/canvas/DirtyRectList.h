#pragma once
// The canvas's short list of areas waiting to be redrawn. It never holds more than ten rectangles:
// a new area either joins the list or is merged into the stored one that grows least, so a paint
// never walks an unbounded list.
#include <windows.h>

class CDirtyRectList {
public:
    static constexpr int kCapacity = 10;

    int Count() const { return count_; }
    const RECT& At(int index) const { return rects_[index]; }
    void Clear() { count_ = 0; }

    // Adds r, already clipped to the visible area by the caller; an empty r changes nothing.
    void Add(const RECT& r);
    // Replaces the list with one rectangle.
    void Reset(const RECT& r);
    // Drops rectangles that do not meet area and clips the rest to it, keeping their order.
    void KeepInside(const RECT& area);

private:
    void RemoveAt(int index);
    void Append(const RECT& r) { rects_[count_++] = r; }

    RECT rects_[kCapacity] = {};
    int count_ = 0;
};

// Non-empty intersection, as GDI counts it (touching edges do not meet).
bool RectsMeet(const RECT& a, const RECT& b);
long long RectArea(const RECT& r);

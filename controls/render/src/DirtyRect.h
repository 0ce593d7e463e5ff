#pragma once
// The rectangle of the pixels a pass has painted, grown stretch by stretch; it becomes the pass's
// coverage node rectangle.
#include <algorithm>

class DirtyRect {
public:
    // Pixels [x0, x1) of row y.
    void Add(int y, int x0, int x1)
    {
        left_ = std::min(left_, x0);
        right_ = std::max(right_, x1);
        top_ = std::min(top_, y);
        bottom_ = std::max(bottom_, y + 1);
    }

    bool painted() const { return left_ < right_; }
    int left() const { return left_; }
    int top() const { return top_; }
    int right() const { return right_; }
    int bottom() const { return bottom_; }

private:
    int left_ = 0x7FFFFFFF, top_ = 0x7FFFFFFF, right_ = -0x7FFFFFFF, bottom_ = -0x7FFFFFFF;
};

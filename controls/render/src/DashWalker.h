#pragma once
// Dash state of an outline. Patterns are counted in steps of the walk, not in pixels: every
// flattening step of a curve and every one-pixel step of a line is one unit. The pattern starts
// afresh with every sub-path, with its first element and the on/off of its head.
#include <cstdint>

#include "render/FillInfo.h"

class DashState {
public:
    // pattern null: always drawn.
    explicit DashState(const DashPattern* pattern = nullptr)
    {
        if (!pattern) return;
        const int elements = static_cast<int>(pattern->head & 0xFFFF);
        if (elements < 1 || elements > 6) return;
        pattern_ = pattern;
        elements_ = elements;
        headOn_ = (pattern->head & 0x80000000u) != 0;
        total_ = 0;
        for (int i = 0; i < elements_; ++i) total_ += Length(i);
        Restart();
    }

    bool dashed() const { return pattern_ != nullptr; }
    bool on() const { return on_; }

    void Restart()
    {
        if (!pattern_) return;
        element_ = 0;
        on_ = headOn_;
        remaining_ = Length(0);
    }

    // One unit of the pattern; the point that ends the step takes the state after it.
    void Step()
    {
        if (!pattern_) return;
        if (--remaining_ <= 0) NextElement();
    }

    // Many units at once, as for stretches that are walked without being drawn.
    void Advance(long long units)
    {
        if (!pattern_ || units <= 0) return;
        if (units >= remaining_) {
            units -= remaining_;
            NextElement();
            units %= total_;   // a whole pattern brings back the same state
            while (units >= remaining_) {
                units -= remaining_;
                NextElement();
            }
        }
        remaining_ -= static_cast<int>(units);
    }

private:
    int Length(int i) const { return pattern_->lengths[i] > 0 ? pattern_->lengths[i] : 1; }

    void NextElement()
    {
        if (++element_ == elements_) {
            element_ = 0;
            on_ = headOn_;
        } else {
            on_ = !on_;
        }
        remaining_ = Length(element_);
    }

    const DashPattern* pattern_ = nullptr;
    int elements_ = 0;
    int element_ = 0;
    int remaining_ = 0;
    long long total_ = 1;
    bool headOn_ = true;
    bool on_ = true;
};

#pragma once
// One laid-out line of a text object.
#include <cstdint>

enum TextLineEnd : int32_t {
    kLineEndsText = 0,     // the characters ran out
    kLineWrapped = 2,      // broken at the frame
    kLineEndsAtFeed = 3,   // ended by a line feed
};

struct TextLine {
    int32_t first = 0;     // index of the first character
    int32_t last = 0;      // index of the last character
    int32_t endKind = kLineEndsText;
    int32_t reserved = 0;
    double top = 0;        // inches down from the top of the text block
    double bottom = 0;
};
static_assert(sizeof(TextLine) == 32, "line records are 32 bytes");

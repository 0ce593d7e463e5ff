#pragma once
// Lives while the driver draws one drawing tile by tile: the tiles share the flattening steps of
// the drawing's curves, and nothing of them is kept once the drawing is done.
class SplitDrawingScope {
public:
    SplitDrawingScope();
    ~SplitDrawingScope();
    SplitDrawingScope(const SplitDrawingScope&) = delete;
    SplitDrawingScope& operator=(const SplitDrawingScope&) = delete;
};

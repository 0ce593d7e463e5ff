#pragma once
// Process-wide state of the rendering engine: its two locks, the tables built once at start-up and
// the processor answer. Built by static initialisation before any drawing call.
#include <windows.h>

// 1 when the processor has the MMX extension (asked once through CPUID), else 0.
int IsMmxAvailable();

// The rendering lock serialises the tile renderer and its shared buffers. The cache lock guards
// the controls' smart caches and is always taken before the rendering lock, never while holding it.
CRITICAL_SECTION* RenderingLock();
CRITICAL_SECTION* CacheLock();

// Scoped holder of a critical section.
class CriticalSectionHolder {
public:
    explicit CriticalSectionHolder(CRITICAL_SECTION* section) : section_(section) { EnterCriticalSection(section_); }
    ~CriticalSectionHolder() { LeaveCriticalSection(section_); }
    CriticalSectionHolder(const CriticalSectionHolder&) = delete;
    CriticalSectionHolder& operator=(const CriticalSectionHolder&) = delete;
private:
    CRITICAL_SECTION* section_;
};

// Ordered-dither offsets of the gradient fill: 4 rows of 4, in a 32-byte aligned block.
const int (*GradientDitherOffsets())[4];

// Raised-cosine ramp of the gradient fill: entry i is (1 - cos(i * pi / 256)) / 2, i = 0 .. 511.
const double* CosineRamp();

// Owned test bitmaps with guard bytes around the pixels, so tests see any write outside a bitmap.
#pragma once

#include <cstdint>
#include <vector>

#include "render/RasterBits.h"

class TestRaster {
public:
    static constexpr int kGuard = 64;
    static constexpr uint8_t kGuardByte = 0xA5;

    TestRaster(int width, int height, int bitsPerPixel, uint8_t fill = 0)
        : stride_(((width * bitsPerPixel + 31) / 32) * 4 + 4),  // padded rows, as DIBs have
          storage_(size_t(stride_) * height + 2 * kGuard, kGuardByte) {
        view_.bits = storage_.data() + kGuard;
        view_.width = width;
        view_.height = height;
        view_.bitsPerPixel = bitsPerPixel;
        view_.bytesPerLine = stride_;
        const int used = (width * bitsPerPixel + 7) / 8;
        for (int y = 0; y < height; ++y)
            for (int i = 0; i < used; ++i) view_.Row(y)[i] = fill;
    }

    const RasterBits& View() const { return view_; }
    uint8_t* Pixel(int x, int y) { return view_.Row(y) + x * (view_.bitsPerPixel / 8); }
    const uint8_t* Pixel(int x, int y) const { return view_.Row(y) + x * (view_.bitsPerPixel / 8); }

    // Bytes outside the pixels (guards and row padding) still hold the guard value.
    bool OutsideUntouched() const {
        const int used = (view_.width * view_.bitsPerPixel + 7) / 8;
        for (int i = 0; i < kGuard; ++i)
            if (storage_[i] != kGuardByte || storage_[storage_.size() - 1 - i] != kGuardByte) return false;
        for (int y = 0; y < view_.height; ++y)
            for (int i = used; i < stride_; ++i)
                if (view_.Row(y)[i] != kGuardByte) return false;
        return true;
    }
    std::vector<uint8_t> Bytes() const { return storage_; }

private:
    int stride_;
    std::vector<uint8_t> storage_;
    RasterBits view_;
};

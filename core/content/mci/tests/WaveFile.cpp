#include "WaveFile.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

bool WriteToneWave(const std::string& path, double seconds, double hz, int rate)
{
    const uint32_t samples = static_cast<uint32_t>(std::lround(seconds * rate));
    std::vector<int16_t> pcm(samples);
    for (uint32_t i = 0; i < samples; ++i)
        pcm[i] = static_cast<int16_t>(std::lround(12000.0 * std::sin(2 * 3.14159265358979323846 * hz * i / rate)));
    const uint32_t dataBytes = samples * 2;
    uint8_t header[44];
    auto put32 = [&](int at, uint32_t v) { std::memcpy(header + at, &v, 4); };
    auto put16 = [&](int at, uint16_t v) { std::memcpy(header + at, &v, 2); };
    std::memcpy(header, "RIFF", 4);
    put32(4, 36 + dataBytes);
    std::memcpy(header + 8, "WAVEfmt ", 8);
    put32(16, 16);
    put16(20, 1);
    put16(22, 1);
    put32(24, static_cast<uint32_t>(rate));
    put32(28, static_cast<uint32_t>(rate) * 2);
    put16(32, 2);
    put16(34, 16);
    std::memcpy(header + 36, "data", 4);
    put32(40, dataBytes);
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const bool ok = std::fwrite(header, 1, sizeof header, file) == sizeof header &&
                    std::fwrite(pcm.data(), 2, pcm.size(), file) == pcm.size();
    return std::fclose(file) == 0 && ok;
}

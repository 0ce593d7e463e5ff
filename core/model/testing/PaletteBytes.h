#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// Palette file images built byte by byte: magic, two spare bytes, name, count, colours.
inline void PutArchiveString(std::vector<unsigned char>& out, const std::string& text)
{
    if (text.size() < 0xFF) {
        out.push_back(static_cast<unsigned char>(text.size()));
    } else {
        out.push_back(0xFF);
        out.push_back(static_cast<unsigned char>(text.size() & 0xFF));
        out.push_back(static_cast<unsigned char>(text.size() >> 8));
    }
    out.insert(out.end(), text.begin(), text.end());
}

inline void PutU32(std::vector<unsigned char>& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

inline std::vector<unsigned char> PaletteFileBytes(const std::string& magic, const std::string& name,
                                                   const std::vector<std::pair<uint32_t, std::string>>& colors)
{
    std::vector<unsigned char> out;
    PutArchiveString(out, magic);
    out.push_back(0x12);
    out.push_back(0x34);
    PutArchiveString(out, name);
    PutU32(out, static_cast<uint32_t>(colors.size()));
    for (const auto& c : colors) {
        PutU32(out, c.first);
        PutArchiveString(out, c.second);
    }
    return out;
}

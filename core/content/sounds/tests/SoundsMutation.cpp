#include "SoundsMutation.h"

#include <cstring>

#include "SoundsStreamFormat.h"

namespace soundsmutation {

std::vector<uint8_t> SeedStream()
{
    soundsformat::Writer out;
    const uint8_t tone[24] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24};
    out.U32(2);
    size_t shared = 0;
    for (int list = 0; list < 2; ++list) {
        out.U32(1);
        out.U32(0);
        out.U32(2);
        out.U32(static_cast<uint32_t>(1 - list));
        out.U32(static_cast<uint32_t>(list * 3 + 1));
        out.U32(2);
        for (int item = 0; item < 2; ++item) {
            out.U32(1);
            out.F64(0.5);
            out.F64(1.0);
            out.F64(0.25);
            out.F64(2.0);
            out.U32(2);
            out.Text("tone");
            out.Text("wav");
            if (list == 1 && item == 1) {
                out.U32(soundsformat::kSharedData);
                out.U32(static_cast<uint32_t>(shared));
            } else {
                if (list == 0 && item == 0)
                    shared = out.Position();
                out.U32(sizeof tone - static_cast<uint32_t>(item));
                out.Bytes(tone, sizeof tone - static_cast<size_t>(item));
            }
        }
    }
    return out.Content();
}

std::vector<uint8_t> Mutate(const std::vector<uint8_t>& seed, std::mt19937& random)
{
    std::vector<uint8_t> bytes = seed;
    const uint32_t edges[] = {0, 1, 2, 3, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFE, 0xFFFFFFFF, 0x10000, 24, 28};
    const int changes = 1 + static_cast<int>(random() % 4);
    for (int c = 0; c < changes && !bytes.empty(); ++c) {
        const size_t at = random() % bytes.size();
        switch (random() % 5) {
        case 0:
            bytes[at] ^= static_cast<uint8_t>(1u << (random() % 8));
            break;
        case 1:
            bytes[at] = static_cast<uint8_t>(random());
            break;
        case 2: {
            // An edge value over a 32-bit field, aligned as the fields mostly are.
            const size_t field = at & ~size_t(3);
            const uint32_t value = edges[random() % (sizeof edges / sizeof edges[0])];
            if (field + 4 <= bytes.size())
                std::memcpy(&bytes[field], &value, 4);
            break;
        }
        case 3:
            bytes.resize(at);
            break;
        default: {
            const size_t length = 1 + random() % 16;
            const size_t end = at + length < bytes.size() ? at + length : bytes.size();
            std::vector<uint8_t> piece(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                                       bytes.begin() + static_cast<std::ptrdiff_t>(end));
            bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(at), piece.begin(), piece.end());
            break;
        }
        }
    }
    return bytes;
}

}  // namespace soundsmutation

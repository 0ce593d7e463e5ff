// The frame codec on its own: exact bytes of the simplest frames, round trips, and damaged frames.
#include <gtest/gtest.h>
#include <cstring>
#include <zlib.h>
#include "ZFrame.h"

using zframe::FrameError;
using Bytes = std::vector<std::uint8_t>;

namespace {

Bytes Pattern(std::size_t size, unsigned seed) {
    Bytes out(size);
    std::uint32_t state = 0x9E3779B9u * (seed + 1);
    for (std::size_t i = 0; i < size; ++i) {
        if (seed % 2) {
            state = state * 1664525u + 1013904223u;
            out[i] = static_cast<std::uint8_t>(state >> 24);
        } else {
            out[i] = static_cast<std::uint8_t>("fold lines "[i % 11]);
        }
    }
    return out;
}

std::uint32_t U32(const Bytes& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

}  // namespace

TEST(FrameFormat, EmptyImageIsTheSixteenByteFrame) {
    Bytes frame;
    ASSERT_EQ(FrameError::None, zframe::EncodeFrame(nullptr, 0, frame));
    const Bytes expected = {'N', 'R', 'A', 'T', 0, 0, 0, 0, 0, 0, 0, 0, 0x72, 0xFA, 0x09, 0xD2};
    EXPECT_EQ(expected, frame);
    Bytes image = {1, 2, 3};
    ASSERT_EQ(FrameError::None, zframe::DecodeFrame(frame.data(), frame.size(), image));
    EXPECT_TRUE(image.empty());
}

TEST(FrameFormat, CrcRunsOnFromTheSeed) {
    const char text[] = "123456789";
    EXPECT_EQ(zframe::kCrcSeed, zframe::FrameCrc(text, 0));
    // Continuing zlib's CRC from the seed, not starting it afresh.
    EXPECT_EQ(crc32(0xD209FA72u, reinterpret_cast<const Bytef*>(text), 9), zframe::FrameCrc(text, 9));
    EXPECT_NE(crc32(0, reinterpret_cast<const Bytef*>(text), 9), zframe::FrameCrc(text, 9));
}

TEST(FrameFormat, HeaderFieldsDescribeTheZlibPayload) {
    const Bytes content = Pattern(5000, 0);
    Bytes frame;
    ASSERT_EQ(FrameError::None, zframe::EncodeFrame(content.data(), content.size(), frame));
    ASSERT_GE(frame.size(), 16u);
    EXPECT_EQ(0, std::memcmp(frame.data(), "NRAT", 4));
    EXPECT_EQ(content.size(), U32(frame, 4));
    EXPECT_EQ(frame.size() - 16, U32(frame, 8));
    EXPECT_EQ(zframe::FrameCrc(frame.data() + 16, frame.size() - 16), U32(frame, 12));
    // The payload is an ordinary zlib stream at level 9.
    Bytes plain(content.size());
    uLongf length = plain.size();
    ASSERT_EQ(Z_OK, uncompress(plain.data(), &length, frame.data() + 16, frame.size() - 16));
    EXPECT_EQ(content, plain);
    Bytes level9(compressBound(content.size()));
    uLongf level9Length = level9.size();
    ASSERT_EQ(Z_OK, compress2(level9.data(), &level9Length, content.data(), content.size(), 9));
    EXPECT_EQ(Bytes(level9.begin(), level9.begin() + level9Length), Bytes(frame.begin() + 16, frame.end()));
}

TEST(FrameFormat, RoundTripsEverySize) {
    const std::size_t sizes[] = {1, 2, 3, 4, 5, 15, 16, 17, 20, 255, 4096, 65537, 1 << 20};
    for (std::size_t size : sizes) {
        for (unsigned seed : {0u, 1u}) {
            SCOPED_TRACE("size " + std::to_string(size) + " seed " + std::to_string(seed));
            const Bytes content = Pattern(size, seed);
            Bytes frame, image;
            ASSERT_EQ(FrameError::None, zframe::EncodeFrame(content.data(), content.size(), frame));
            ASSERT_EQ(FrameError::None, zframe::DecodeFrame(frame.data(), frame.size(), image));
            EXPECT_EQ(content, image);
        }
    }
}

TEST(FrameDamage, EveryFlippedByteIsRefused) {
    const Bytes content = Pattern(300, 0);
    Bytes frame;
    ASSERT_EQ(FrameError::None, zframe::EncodeFrame(content.data(), content.size(), frame));
    for (std::size_t at = 0; at < frame.size(); ++at) {
        for (std::uint8_t mask : {0x01, 0x80}) {
            Bytes damaged = frame;
            damaged[at] ^= mask;
            Bytes image = {42};
            FrameError error = zframe::DecodeFrame(damaged.data(), damaged.size(), image);
            EXPECT_NE(FrameError::None, error) << "flipped byte " << at;
            EXPECT_EQ(Bytes{42}, image) << "output touched after failure at byte " << at;
        }
    }
}

TEST(FrameDamage, EveryTruncationIsRefused) {
    const Bytes content = Pattern(1000, 1);
    Bytes frame;
    ASSERT_EQ(FrameError::None, zframe::EncodeFrame(content.data(), content.size(), frame));
    for (std::size_t length = 0; length < frame.size(); ++length) {
        Bytes image;
        EXPECT_NE(FrameError::None, zframe::DecodeFrame(frame.data(), length, image)) << "cut at " << length;
    }
}

TEST(FrameDamage, HeaderClaimsAreCheckedBeforeAllocating) {
    Bytes frame;
    const Bytes content = Pattern(100, 0);
    ASSERT_EQ(FrameError::None, zframe::EncodeFrame(content.data(), content.size(), frame));
    struct Case {
        const char* what;
        std::size_t offset;
        std::uint32_t value;
        FrameError expected;
    } cases[] = {
        {"compressed size beyond the data", 8, static_cast<std::uint32_t>(frame.size() - 15), FrameError::Truncated},
        {"compressed size of 4 GiB", 8, 0xFFFFFFFFu, FrameError::Truncated},
        {"uncompressed size of 4 GiB", 4, 0xFFFFFFFFu, FrameError::ImplausibleSize},
        {"uncompressed size one short", 4, 99, FrameError::InflateFailed},
        {"uncompressed size one more", 4, 101, FrameError::InflateFailed},
        {"wrong CRC", 12, 0, FrameError::CrcMismatch},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Bytes damaged = frame;
        for (int i = 0; i < 4; ++i) damaged[c.offset + i] = static_cast<std::uint8_t>(c.value >> (8 * i));
        Bytes image;
        EXPECT_EQ(c.expected, zframe::DecodeFrame(damaged.data(), damaged.size(), image));
        EXPECT_STRNE("", zframe::FrameErrorText(c.expected));
    }
}

TEST(FrameDamage, NotAFrame) {
    const Bytes plain = {'N', 'R', 'A', 'X', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    Bytes image;
    EXPECT_FALSE(zframe::HasFrameMagic(plain.data(), plain.size()));
    EXPECT_FALSE(zframe::HasFrameMagic("NRA", 3));
    EXPECT_EQ(FrameError::BadMagic, zframe::DecodeFrame(plain.data(), plain.size(), image));
}

#include "ZFrame.h"
#include <cstring>
#include <new>
#include <stdexcept>
#include <zlib.h>

namespace zframe {

namespace {

std::uint32_t ReadU32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

void WriteU32(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
    p[2] = static_cast<std::uint8_t>(v >> 16);
    p[3] = static_cast<std::uint8_t>(v >> 24);
}

// Deflate never expands more than about 1032:1; a size claim beyond that cannot be genuine and
// would only make us allocate for a damaged header.
constexpr std::uint64_t kMaxInflateRatio = 1032;
constexpr std::uint64_t kInflateSlack = 1024;

}  // namespace

bool HasFrameMagic(const void* data, std::size_t length) {
    return length >= 4 && std::memcmp(data, kMagic, 4) == 0;
}

std::uint32_t FrameCrc(const void* data, std::size_t length) {
    uLong crc = kCrcSeed;
    const auto* bytes = static_cast<const Bytef*>(data);
    // crc32 takes a uInt length; feed large blocks in chunks.
    while (length > 0) {
        uInt chunk = length > 0x40000000u ? 0x40000000u : static_cast<uInt>(length);
        crc = crc32(crc, bytes, chunk);
        bytes += chunk;
        length -= chunk;
    }
    return static_cast<std::uint32_t>(crc);
}

FrameError ReadHeader(const void* data, std::size_t length, std::uint64_t available, FrameHeader& header) {
    if (length < kHeaderSize || available < kHeaderSize) return FrameError::Truncated;
    const auto* p = static_cast<const std::uint8_t*>(data);
    if (!HasFrameMagic(p, length)) return FrameError::BadMagic;
    header.uncompressedSize = ReadU32(p + 4);
    header.compressedSize = ReadU32(p + 8);
    header.crc = ReadU32(p + 12);
    if (header.compressedSize > available - kHeaderSize) return FrameError::Truncated;
    if (header.uncompressedSize > 0 && header.compressedSize == 0) return FrameError::InflateFailed;
    if (header.uncompressedSize > header.compressedSize * kMaxInflateRatio + kInflateSlack)
        return FrameError::ImplausibleSize;
    return FrameError::None;
}

FrameError DecodePayload(const FrameHeader& header, const void* compressed, void* image) {
    if (FrameCrc(compressed, header.compressedSize) != header.crc) return FrameError::CrcMismatch;
    if (header.uncompressedSize == 0) return FrameError::None;
    uLongf produced = header.uncompressedSize;
    int status = uncompress(static_cast<Bytef*>(image), &produced, static_cast<const Bytef*>(compressed),
                            header.compressedSize);
    if (status != Z_OK || produced != header.uncompressedSize) return FrameError::InflateFailed;
    return FrameError::None;
}

FrameError DecodePayload(const FrameHeader& header, const void* compressed, std::vector<std::uint8_t>& image) {
    std::vector<std::uint8_t> out;
    try {
        out.resize(header.uncompressedSize);
    } catch (const std::bad_alloc&) {
        return FrameError::OutOfMemory;
    } catch (const std::length_error&) {
        return FrameError::OutOfMemory;
    }
    FrameError error = DecodePayload(header, compressed, static_cast<void*>(out.data()));
    if (error == FrameError::None) image.swap(out);
    return error;
}

FrameError DecodeFrame(const void* frame, std::size_t length, std::vector<std::uint8_t>& image) {
    FrameHeader header;
    FrameError error = ReadHeader(frame, length, length, header);
    if (error != FrameError::None) return error;
    return DecodePayload(header, static_cast<const std::uint8_t*>(frame) + kHeaderSize, image);
}

void WriteHeader(const FrameHeader& header, std::uint8_t out[kHeaderSize]) {
    std::memcpy(out, kMagic, 4);
    WriteU32(out + 4, header.uncompressedSize);
    WriteU32(out + 8, header.compressedSize);
    WriteU32(out + 12, header.crc);
}

FrameError EncodeFrame(const void* data, std::size_t length, std::vector<std::uint8_t>& frame) {
    if (length > 0xFFFFFFFFu) return FrameError::CompressFailed;
    FrameHeader header;
    header.uncompressedSize = static_cast<std::uint32_t>(length);
    std::vector<std::uint8_t> out;
    uLongf produced = 0;
    if (length > 0) {
        uLong bound = compressBound(static_cast<uLong>(length));
        try {
            out.resize(kHeaderSize + bound);
        } catch (const std::bad_alloc&) {
            return FrameError::OutOfMemory;
        } catch (const std::length_error&) {
            return FrameError::OutOfMemory;
        }
        produced = bound;
        int status = compress2(out.data() + kHeaderSize, &produced, static_cast<const Bytef*>(data),
                               static_cast<uLong>(length), 9);
        if (status == Z_MEM_ERROR) return FrameError::OutOfMemory;
        if (status != Z_OK) return FrameError::CompressFailed;
        out.resize(kHeaderSize + produced);
    } else {
        out.resize(kHeaderSize);
    }
    header.compressedSize = static_cast<std::uint32_t>(produced);
    header.crc = FrameCrc(out.data() + kHeaderSize, produced);
    WriteHeader(header, out.data());
    frame.swap(out);
    return FrameError::None;
}

const char* FrameErrorText(FrameError error) {
    switch (error) {
    case FrameError::None: return "no error";
    case FrameError::Truncated: return "the frame is shorter than its header claims";
    case FrameError::BadMagic: return "the frame does not start with NRAT";
    case FrameError::CrcMismatch: return "the compressed bytes do not match the frame's CRC";
    case FrameError::InflateFailed: return "the compressed bytes do not expand to the stored size";
    case FrameError::ImplausibleSize: return "the stored uncompressed size is impossible for the compressed size";
    case FrameError::OutOfMemory: return "out of memory";
    case FrameError::CompressFailed: return "compression failed";
    }
    return "unknown frame error";
}

}  // namespace zframe

#pragma once
// The compressed-stream frame, free of COM so that the viewer can read card streams without the server.
//
//   offset  size  field
//   0       4     "NRAT"
//   4       4     uncompressed size U
//   8       4     compressed size C
//   12      4     CRC-32 of the C compressed bytes, run on from the seed 0xD209FA72
//   16      C     zlib data (compress2 level 9, with zlib header and Adler-32 trailer)
//
// All integers are little-endian. A compressed stream holds exactly one frame from offset 0.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace zframe {

constexpr std::size_t kHeaderSize = 16;
constexpr std::uint32_t kCrcSeed = 0xD209FA72u;
constexpr unsigned char kMagic[4] = {'N', 'R', 'A', 'T'};

enum class FrameError {
    None,
    Truncated,        // fewer bytes than the header or the compressed size asks for
    BadMagic,         // not "NRAT"
    CrcMismatch,      // the compressed bytes do not match the stored CRC
    InflateFailed,    // zlib refused the data, or it did not expand to exactly U bytes
    ImplausibleSize,  // U is more than zlib could ever have produced from C bytes
    OutOfMemory,
    CompressFailed,   // zlib refused to compress (never expected with a sized buffer)
};

struct FrameHeader {
    std::uint32_t uncompressedSize = 0;
    std::uint32_t compressedSize = 0;
    std::uint32_t crc = 0;
};

// True when the bytes start with the frame magic (the stream is compressed, not plain).
bool HasFrameMagic(const void* data, std::size_t length);

// The frame's CRC of compressed bytes (the seed itself for none).
std::uint32_t FrameCrc(const void* data, std::size_t length);

// Reads the 16-byte header. available is the number of bytes the whole frame source holds
// (header included); a compressed size beyond it is refused before anything is allocated.
FrameError ReadHeader(const void* data, std::size_t length, std::uint64_t available, FrameHeader& header);

// Checks the CRC of the compressed bytes and inflates them into image, which holds U bytes.
FrameError DecodePayload(const FrameHeader& header, const void* compressed, void* image);
// The same into a vector resized to exactly U bytes.
FrameError DecodePayload(const FrameHeader& header, const void* compressed, std::vector<std::uint8_t>& image);

// Decodes a whole frame held in memory.
FrameError DecodeFrame(const void* frame, std::size_t length, std::vector<std::uint8_t>& image);

// Encodes length bytes as a complete frame (header and zlib data) into frame.
// Nothing is written to frame unless compression succeeded.
FrameError EncodeFrame(const void* data, std::size_t length, std::vector<std::uint8_t>& frame);

// Writes the 16 header bytes for the given sizes and CRC.
void WriteHeader(const FrameHeader& header, std::uint8_t out[kHeaderSize]);

const char* FrameErrorText(FrameError error);

}  // namespace zframe

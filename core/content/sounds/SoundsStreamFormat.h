#pragma once
// The byte layout of a card's "Sounds" stream: little-endian 32-bit numbers, 64-bit doubles and
// texts with a 32-bit length in front. The reader checks every count, length and offset against
// the bytes it was given before anything is built from them.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace soundsformat {

constexpr uint32_t kSharedData = 0xFFFFFFFFu;

// Builds a stream in memory; positions are offsets from its start.
class Writer
{
public:
    void U32(uint32_t value);
    void F64(double value);
    void Text(const std::string& text);
    void Bytes(const uint8_t* data, size_t size);
    size_t Position() const { return m_bytes.size(); }
    const std::vector<uint8_t>& Content() const { return m_bytes; }

private:
    std::vector<uint8_t> m_bytes;
};

// One item record as stored; its data is a span of the stream (shared data already followed).
struct ItemRecord
{
    bool hasProperties = false;
    double pauseAfter = 0, delayBefore = 0, pauseBetween = 0, duration = 0;
    uint32_t playCount = 1;
    std::string name, extension;
    bool hasName = false, hasExtension = false;
    size_t dataOffset = 0;  // where the data bytes start in the stream
    size_t dataSize = 0;
};

struct ListHeader
{
    bool hasHeader = false;
    uint32_t repeatForever = 0, loopCount = 1, sourceType = 2;
    int32_t siteId = 0;
};

// Receives the records of a stream in order.
class Sink
{
public:
    virtual void Lists(uint32_t count) = 0;
    virtual void List(const ListHeader& header, uint32_t itemCount) = 0;
    virtual void Item(const ItemRecord& item) = 0;

protected:
    ~Sink() = default;
};

// Walks a whole stream, handing its records to the sink (none: only checks it). False when a
// count, length or offset does not fit the bytes, a shared offset names anything but an earlier
// stored data length, or a timing value is not a finite number of seconds from 0 up; the sink
// may then have seen part of the stream, so callers check first and build after. Bytes after
// the last list are not read. Nothing is allocated beyond a table of 4 bytes per stored data.
bool Parse(const uint8_t* data, size_t size, Sink* sink);

// The four data sums: byte i is added to sum i mod 4, with 32-bit wrap-around.
void DataSums(const uint8_t* data, size_t size, uint32_t sums[4]);

}  // namespace soundsformat

#include "SoundsStreamFormat.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace soundsformat {

void Writer::U32(uint32_t value)
{
    const uint8_t bytes[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                              static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
    m_bytes.insert(m_bytes.end(), bytes, bytes + 4);
}

void Writer::F64(double value)
{
    uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    U32(static_cast<uint32_t>(bits));
    U32(static_cast<uint32_t>(bits >> 32));
}

void Writer::Text(const std::string& text)
{
    U32(static_cast<uint32_t>(text.size()));
    Bytes(reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

void Writer::Bytes(const uint8_t* data, size_t size)
{
    if (size)
        m_bytes.insert(m_bytes.end(), data, data + size);
}

namespace {

class Cursor
{
public:
    Cursor(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}

    size_t Position() const { return m_position; }
    size_t Left() const { return m_size - m_position; }

    bool U32(uint32_t& value)
    {
        if (Left() < 4)
            return false;
        const uint8_t* p = m_data + m_position;
        value = p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
        m_position += 4;
        return true;
    }

    bool Seconds(double& value)
    {
        uint32_t low = 0, high = 0;
        if (!U32(low) || !U32(high))
            return false;
        const uint64_t bits = (static_cast<uint64_t>(high) << 32) | low;
        std::memcpy(&value, &bits, sizeof value);
        return std::isfinite(value) && value >= 0;
    }

    bool Text(std::string& text)
    {
        uint32_t length = 0;
        if (!U32(length) || length > Left())
            return false;
        text.assign(reinterpret_cast<const char*>(m_data + m_position), length);
        m_position += length;
        return true;
    }

    bool Skip(size_t count)
    {
        if (count > Left())
            return false;
        m_position += count;
        return true;
    }

    uint32_t U32At(size_t position) const
    {
        const uint8_t* p = m_data + position;
        return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
    }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_position = 0;
};

// The positions of the data lengths read so far that hold real data; ascending.
using LengthFields = std::vector<uint32_t>;

bool ReadItem(Cursor& in, LengthFields& lengths, ItemRecord& item)
{
    uint32_t present = 0;
    if (!in.U32(present))
        return false;
    item.hasProperties = present != 0;
    if (item.hasProperties) {
        if (!in.Seconds(item.pauseAfter) || !in.Seconds(item.delayBefore) || !in.Seconds(item.pauseBetween) ||
            !in.Seconds(item.duration) || !in.U32(item.playCount) || !in.Text(item.name) || !in.Text(item.extension))
            return false;
        item.hasName = item.hasExtension = true;
    }
    const size_t lengthField = in.Position();
    uint32_t length = 0;
    if (!in.U32(length))
        return false;
    if (length != kSharedData) {
        item.dataOffset = in.Position();
        item.dataSize = length;
        if (!in.Skip(length))
            return false;
        lengths.push_back(static_cast<uint32_t>(lengthField));
        return true;
    }
    uint32_t offset = 0;
    if (!in.U32(offset) || !std::binary_search(lengths.begin(), lengths.end(), offset))
        return false;
    item.dataOffset = static_cast<size_t>(offset) + 4;
    item.dataSize = in.U32At(offset);
    return true;
}

bool ReadList(Cursor& in, LengthFields& lengths, Sink* sink)
{
    ListHeader header;
    uint32_t present = 0;
    if (!in.U32(present))
        return false;
    header.hasHeader = present != 0;
    if (header.hasHeader) {
        uint32_t site = 0;
        if (!in.U32(header.repeatForever) || !in.U32(header.loopCount) || !in.U32(header.sourceType) || !in.U32(site))
            return false;
        header.siteId = static_cast<int32_t>(site);
    }
    uint32_t count = 0;
    if (!in.U32(count))
        return false;
    if (sink)
        sink->List(header, count);
    // Every item takes at least 8 bytes: a count the bytes cannot hold ends at the stream's end.
    for (uint32_t i = 0; i < count; ++i) {
        ItemRecord item;
        if (!ReadItem(in, lengths, item))
            return false;
        if (sink)
            sink->Item(item);
    }
    return true;
}

}  // namespace

bool Parse(const uint8_t* data, size_t size, Sink* sink)
{
    // Offsets are 32-bit: a longer stream cannot be addressed.
    if (size >= kSharedData)
        return false;
    Cursor in(data, size);
    LengthFields lengths;
    uint32_t count = 0;
    if (!in.U32(count))
        return false;
    if (sink)
        sink->Lists(count);
    for (uint32_t i = 0; i < count; ++i) {
        if (!ReadList(in, lengths, sink))
            return false;
    }
    // The stream ends after the last list; whatever follows is not read.
    return true;
}

void DataSums(const uint8_t* data, size_t size, uint32_t sums[4])
{
    sums[0] = sums[1] = sums[2] = sums[3] = 0;
    for (size_t i = 0; i < size; ++i)
        sums[i & 3] += data[i];
}

}  // namespace soundsformat

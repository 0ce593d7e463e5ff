#include "ZImage.h"

bool ZImage::Reserve(std::size_t capacity) {
    if (capacity <= m_capacity && m_data) return true;
    std::size_t grown = m_capacity + m_capacity / 2;
    if (grown < capacity) grown = capacity;
    if (grown < 64) grown = 64;
    void* block = std::realloc(m_data, grown);
    if (!block && grown > capacity) {
        grown = capacity ? capacity : 1;
        block = std::realloc(m_data, grown);
    }
    if (!block) return false;
    m_data = static_cast<std::uint8_t*>(block);
    m_capacity = grown;
    return true;
}

bool ZImage::Allocate(std::size_t size) {
    Clear();
    // Even an empty image owns a block: that tells an empty stream from one that failed to load.
    if (!Reserve(size ? size : 1)) return false;
    m_size = size;
    return true;
}

bool ZImage::Resize(std::size_t size) {
    if (!m_data && !Reserve(size ? size : 1)) return false;
    if (size > m_size) {
        if (!Reserve(size)) return false;
        std::memset(m_data + m_size, 0, size - m_size);
    }
    m_size = size;
    return true;
}

bool ZImage::WriteAt(std::size_t offset, const void* bytes, std::size_t length) {
    if (length == 0) return true;
    if (offset > SIZE_MAX - length) return false;
    std::size_t end = offset + length;
    if (end > m_size) {
        if (!Reserve(end)) return false;
        // Bytes between the old end and the write position (after a shrinking SetSize) read as zero.
        if (offset > m_size) std::memset(m_data + m_size, 0, offset - m_size);
        m_size = end;
    }
    std::memcpy(m_data + offset, bytes, length);
    return true;
}

void ZImage::Clear() {
    std::free(m_data);
    m_data = nullptr;
    m_size = 0;
    m_capacity = 0;
}

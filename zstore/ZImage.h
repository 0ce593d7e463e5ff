#pragma once
// The uncompressed content of a compressed stream: a byte block that grows geometrically, so that
// many small writes cost amortised constant time, and never fills bytes it is about to overwrite.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

class ZImage {
public:
    ZImage() = default;
    ~ZImage() { std::free(m_data); }
    ZImage(const ZImage&) = delete;
    ZImage& operator=(const ZImage&) = delete;

    std::uint8_t* Data() { return m_data; }
    const std::uint8_t* Data() const { return m_data; }
    std::size_t Size() const { return m_size; }

    bool HasBlock() const { return m_data != nullptr; }
    // Replaces the content by size bytes of undefined value, to be filled by the caller.
    bool Allocate(std::size_t size);
    // Sets the size; new bytes between the old end and the new one read as zero.
    bool Resize(std::size_t size);
    // Copies length bytes at offset, growing the image when they reach past its end.
    bool WriteAt(std::size_t offset, const void* bytes, std::size_t length);
    void Clear();

private:
    bool Reserve(std::size_t capacity);

    std::uint8_t* m_data = nullptr;
    std::size_t m_size = 0;
    std::size_t m_capacity = 0;
};

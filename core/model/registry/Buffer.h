#pragma once
#include <cstddef>

// An owned block of elements with its count, handed between the registry and its callers.
template <class T>
class CBuffer {
public:
    CBuffer() = default;
    CBuffer(const CBuffer&) = delete;
    CBuffer& operator=(const CBuffer&) = delete;
    ~CBuffer() { Free(); }

    // Takes ownership of a block made with new T[count].
    void Attach(T* data, unsigned int count)
    {
        Free();
        m_data = data;
        m_count = count;
    }
    T* Detach()
    {
        T* data = m_data;
        m_data = nullptr;
        m_count = 0;
        return data;
    }
    void Free()
    {
        delete[] m_data;
        m_data = nullptr;
        m_count = 0;
    }

    T* GetData() const { return m_data; }
    unsigned int GetSize() const { return m_count; }
    bool IsEmpty() const { return m_count == 0; }

private:
    T* m_data = nullptr;
    unsigned int m_count = 0;
};

#include "ResString.h"

bool CResString::Load(UINT id)
{
    const size_t before = m_buffer.size();
    if (m_buffer.empty())
        m_buffer.assign(kStep, '\0');
    for (;;) {
        const int length = LoadStringA(m_module, id, m_buffer.data(), Capacity());
        // LoadStringA cuts a long text at capacity - 1 characters, so a text of that length may have been
        // cut: grow and load again.
        if (length < Capacity() - 1)
            return length > 0;
        if (Capacity() + kStep > kLimit)
            break;
        m_buffer.assign(m_buffer.size() + kStep, '\0');
    }
    m_buffer.assign(before, '\0');
    return false;
}

int LoadAppString(UINT id, char* buffer, int size)
{
    return LoadStringA(GetModuleHandleA(nullptr), id, buffer, size);
}

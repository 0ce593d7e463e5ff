#pragma once
#include <windows.h>

#include <vector>

// A text from the program's string table, in a buffer that grows to hold it.
class CResString
{
public:
    explicit CResString(HMODULE module = GetModuleHandleA(nullptr)) : m_module(module) {}

    // Loads the string; true when a non-empty text was loaded whole. A text that does not fit in
    // 32767 bytes leaves the buffer empty and answers false.
    bool Load(UINT id);
    const char* Text() const { return m_buffer.empty() ? "" : m_buffer.data(); }
    int Capacity() const { return static_cast<int>(m_buffer.size()); }

private:
    static const int kStep = 512;
    static const int kLimit = 0x7FFF;

    HMODULE m_module;
    std::vector<char> m_buffer;
};

// LoadStringA on the program's own module.
int LoadAppString(UINT id, char* buffer, int size);

#pragma once
// File names in the system's wide form, for the structured-storage calls that take only that.
#include <windows.h>

#include <vector>

inline std::vector<WCHAR> WideText(LPCSTR text)
{
    const int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    std::vector<WCHAR> wide(length > 0 ? static_cast<size_t>(length) : 1u, L'\0');
    if (length > 0)
        MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), length);
    return wide;
}

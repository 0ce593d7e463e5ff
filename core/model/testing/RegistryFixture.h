#pragma once
#include <windows.h>

#include <string>

// Raw registry access for tests: keys under a hive, values put and read without the framework.
namespace regtest {

inline void DeleteTree(HKEY root, const std::string& path)
{
    RegDeleteTreeA(root, path.c_str());
    RegDeleteKeyA(root, path.c_str());
}

inline HKEY Create(HKEY root, const std::string& path)
{
    HKEY key = nullptr;
    RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    return key;
}

inline void PutDword(HKEY root, const std::string& path, const char* name, DWORD value)
{
    HKEY key = Create(root, path);
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
}

inline void PutText(HKEY root, const std::string& path, const char* name, const std::string& value)
{
    HKEY key = Create(root, path);
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
}

inline void PutBinary(HKEY root, const std::string& path, const char* name, const void* data, DWORD size)
{
    HKEY key = Create(root, path);
    RegSetValueExA(key, name, 0, REG_BINARY, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}

inline bool Exists(HKEY root, const std::string& path, const char* name)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    const bool found = RegQueryValueExA(key, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    RegCloseKey(key);
    return found;
}

inline bool KeyExists(HKEY root, const std::string& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

inline DWORD Dword(HKEY root, const std::string& path, const char* name)
{
    DWORD value = 0xDEADBEEF, size = sizeof value;
    RegGetValueA(root, path.c_str(), name, RRF_RT_REG_DWORD, nullptr, &value, &size);
    return value;
}

inline std::string Text(HKEY root, const std::string& path, const char* name)
{
    char text[1024] = {};
    DWORD size = sizeof text;
    if (RegGetValueA(root, path.c_str(), name, RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS)
        return "<missing>";
    return text;
}

}  // namespace regtest

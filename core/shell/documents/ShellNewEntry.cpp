#include "ShellNewEntry.h"

bool MayRegisterShellNew(const CString& currentOwner, const CString& fileTypeId)
{
    return currentOwner.IsEmpty() || currentOwner == fileTypeId;
}

ShellNewEntry MakeShellNewEntry(const CString& extension, const CString& fileTypeId, const CString& appName)
{
    ShellNewEntry entry;
    entry.key.Format("%s\\%s\\ShellNew", static_cast<LPCSTR>(extension), static_cast<LPCSTR>(fileTypeId));
    entry.fileName.Format("%s%s", static_cast<LPCSTR>(appName), static_cast<LPCSTR>(extension));
    return entry;
}

bool RegisterShellNew(const CString& extension, const CString& fileTypeId, const CString& appName)
{
    if (extension.IsEmpty() || fileTypeId.IsEmpty()) return false;
    CString owner;
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CLASSES_ROOT, extension, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        char value[256] = "";
        DWORD size = sizeof value;
        DWORD type = 0;
        if (::RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) == ERROR_SUCCESS &&
            type == REG_SZ)
            owner = CString(value, static_cast<int>(strnlen(value, sizeof value)));
        ::RegCloseKey(key);
    }
    if (!MayRegisterShellNew(owner, fileTypeId)) return false;

    CString nullFileKey;
    nullFileKey.Format("%s\\ShellNew", static_cast<LPCSTR>(extension));
    if (::RegOpenKeyExA(HKEY_CLASSES_ROOT, nullFileKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        ::RegDeleteValueA(key, "NullFile");
        ::RegCloseKey(key);
    }
    const ShellNewEntry entry = MakeShellNewEntry(extension, fileTypeId, appName);
    if (::RegCreateKeyExA(HKEY_CLASSES_ROOT, entry.key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    const LONG written = ::RegSetValueExA(key, "FileName", 0, REG_SZ, reinterpret_cast<const BYTE*>(static_cast<LPCSTR>(entry.fileName)),
                                          static_cast<DWORD>(entry.fileName.GetLength() + 1));
    ::RegCloseKey(key);
    return written == ERROR_SUCCESS;
}

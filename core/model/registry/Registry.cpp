#include "Registry.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "ClArchive.h"
#include "ClCollections.h"
#include "ClException.h"
#include "ClMemFile.h"
#include "ClOleStreamFile.h"
#include "RegistrySerialization.h"
#include "geometry/NumericHelpers.h"

namespace {

constexpr DWORD kStringLimit = 200;       // bytes, terminator included
constexpr DWORD kKeyNameChars = 261;
constexpr int kDoubleDecimals = 8;

CString PartName(LPCSTR name, LPCSTR suffix) { return CString(name) + suffix; }

}  // namespace

CRegistry::CRegistry(BOOL bLocalMachine, BOOL bReadOnly)
    : m_root(bLocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER),
      m_currentKey(m_root),
      m_readOnly(bReadOnly)
{
}

CRegistry::~CRegistry()
{
    // Keys left open by an unbalanced Open or CreateKey are closed as well, not only the current one.
    if (!IsRoot(m_currentKey))
        RegCloseKey(m_currentKey);
    for (HKEY key : m_keyStack) {
        if (!IsRoot(key))
            RegCloseKey(key);
    }
}

bool CRegistry::IsRoot(HKEY key) const { return key == HKEY_LOCAL_MACHINE || key == HKEY_CURRENT_USER; }

void CRegistry::PushCurrent(HKEY key)
{
    m_keyStack.push_back(m_currentKey);
    m_currentKey = key;
}

BOOL CRegistry::Open(LPCSTR name)
{
    m_lastOpenedName = name;
    HKEY key = nullptr;
    m_lastResult = RegOpenKeyExA(m_currentKey, name, 0, m_readOnly ? KEY_READ : KEY_ALL_ACCESS, &key);
    if (m_lastResult != ERROR_SUCCESS)
        return FALSE;
    PushCurrent(key);
    return TRUE;
}

BOOL CRegistry::CreateKey(LPCSTR name)
{
    if (m_readOnly)
        return FALSE;
    HKEY key = nullptr;
    DWORD disposition = 0;
    m_lastResult = RegCreateKeyExA(m_currentKey, name, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                                   &key, &disposition);
    if (m_lastResult != ERROR_SUCCESS)
        return FALSE;
    PushCurrent(key);
    return TRUE;
}

BOOL CRegistry::Close()
{
    // Without a matching Open the current key is the hive's root, which is never closed.
    if (m_keyStack.empty())
        return FALSE;
    m_lastResult = RegCloseKey(m_currentKey);
    m_currentKey = m_keyStack.back();
    m_keyStack.pop_back();
    return m_lastResult == ERROR_SUCCESS;
}

BOOL CRegistry::VerifyKey(LPCSTR name)
{
    HKEY key = nullptr;
    m_lastResult = RegOpenKeyExA(m_currentKey, name, 0, KEY_READ, &key);
    if (m_lastResult != ERROR_SUCCESS)
        return FALSE;
    RegCloseKey(key);
    return TRUE;
}

BOOL CRegistry::VerifyValue(LPCSTR name)
{
    DWORD size = 0;
    return QueryValue(name, nullptr, &size);
}

BOOL CRegistry::DeleteValue(LPCSTR name)
{
    if (m_readOnly)
        return FALSE;
    m_lastResult = RegDeleteValueA(m_currentKey, name);
    return m_lastResult == ERROR_SUCCESS;
}

LONG CRegistry::DeleteTree(HKEY parent, LPCSTR name)
{
    HKEY key = nullptr;
    LONG result = RegOpenKeyExA(parent, name, 0, KEY_ALL_ACCESS, &key);
    if (result != ERROR_SUCCESS)
        return result;
    char child[kKeyNameChars];
    for (;;) {
        DWORD length = kKeyNameChars;
        result = RegEnumKeyExA(key, 0, child, &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        if (result == ERROR_SUCCESS)
            result = DeleteTree(key, child);
        if (result != ERROR_SUCCESS) {
            RegCloseKey(key);
            return result;
        }
    }
    RegCloseKey(key);
    return RegDeleteKeyA(parent, name);
}

BOOL CRegistry::DeleteKey(LPCSTR name)
{
    if (m_readOnly)
        return FALSE;
    m_lastResult = RegDeleteKeyA(m_currentKey, name);
    if (m_lastResult != ERROR_SUCCESS)
        m_lastResult = DeleteTree(m_currentKey, name);
    return m_lastResult == ERROR_SUCCESS;
}

CString CRegistry::EnumKey(unsigned long index)
{
    char name[kKeyNameChars] = {};
    DWORD length = kKeyNameChars;
    m_lastResult = RegEnumKeyExA(m_currentKey, index, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (m_lastResult != ERROR_SUCCESS)
        return CString();
    return CString(name, static_cast<int>(length));
}

unsigned long CRegistry::GetSubKeysCount()
{
    DWORD count = 0;
    m_lastResult = RegQueryInfoKeyA(m_currentKey, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr,
                                    nullptr, nullptr, nullptr, nullptr);
    return m_lastResult == ERROR_SUCCESS ? count : 0;
}

BOOL CRegistry::QueryValue(LPCSTR name, void* data, DWORD* size)
{
    DWORD type = REG_NONE;
    m_lastResult = RegQueryValueExA(m_currentKey, name, nullptr, &type, static_cast<BYTE*>(data), size);
    m_lastType = type;
    m_lastSize = *size;
    return m_lastResult == ERROR_SUCCESS;
}

BOOL CRegistry::SetValue(LPCSTR name, DWORD type, const void* data, DWORD size)
{
    if (m_readOnly)
        return FALSE;
    m_lastResult = RegSetValueExA(m_currentKey, name, 0, type, static_cast<const BYTE*>(data), size);
    m_lastType = type;
    m_lastSize = size;
    return m_lastResult == ERROR_SUCCESS;
}

// ---- plain values

BOOL CRegistry::Read(LPCSTR name, int& value)
{
    // A shorter value fills the low bytes only; nothing is taken over on failure.
    DWORD raw = 0, size = sizeof raw;
    if (!QueryValue(name, &raw, &size))
        return FALSE;
    value = static_cast<int>(raw);
    return TRUE;
}

BOOL CRegistry::Read(LPCSTR name, unsigned long& value)
{
    DWORD raw = 0, size = sizeof raw;
    if (!QueryValue(name, &raw, &size))
        return FALSE;
    value = raw;
    return TRUE;
}

BOOL CRegistry::Read(LPCSTR name, bool& value)
{
    DWORD raw = 0, size = sizeof raw;
    if (!QueryValue(name, &raw, &size))
        return FALSE;
    value = raw == 1;
    return TRUE;
}

BOOL CRegistry::Read(LPCSTR name, CString& value)
{
    char text[kStringLimit + 1] = {};
    DWORD size = kStringLimit;
    if (!QueryValue(name, text, &size))
        return FALSE;
    // A stored value need not carry its terminator.
    value = CString(text, static_cast<int>(strnlen(text, size)));
    return TRUE;
}

BOOL CRegistry::Read(LPCSTR name, double& value)
{
    CString text;
    if (!Read(name, text))
        return FALSE;
    value = std::atof(text);
    return TRUE;
}

BOOL CRegistry::Read(LPCSTR name, tagPointF& value)
{
    return Read(PartName(name, ".x"), value.x) && Read(PartName(name, ".y"), value.y);
}

BOOL CRegistry::Read(LPCSTR name, tagSizeF& value)
{
    return Read(PartName(name, ".cx"), value.cx) && Read(PartName(name, ".cy"), value.cy);
}

BOOL CRegistry::Read(LPCSTR name, tagRectF& value)
{
    return Read(PartName(name, ".top"), value.top) && Read(PartName(name, ".left"), value.left) &&
           Read(PartName(name, ".right"), value.right) && Read(PartName(name, ".bottom"), value.bottom);
}

BOOL CRegistry::Write(LPCSTR name, int value)
{
    const DWORD raw = static_cast<DWORD>(value);
    return SetValue(name, REG_DWORD, &raw, sizeof raw);
}

BOOL CRegistry::Write(LPCSTR name, unsigned long value)
{
    const DWORD raw = value;
    return SetValue(name, REG_DWORD, &raw, sizeof raw);
}

BOOL CRegistry::Write(LPCSTR name, bool value)
{
    const DWORD raw = value ? 1 : 0;
    return SetValue(name, REG_DWORD, &raw, sizeof raw);
}

BOOL CRegistry::Write(LPCSTR name, LPCSTR value)
{
    if (!value)
        value = "";
    return SetValue(name, REG_SZ, value, static_cast<DWORD>(std::strlen(value) + 1));
}

BOOL CRegistry::Write(LPCSTR name, const double& value)
{
    if (m_readOnly)
        return FALSE;
    // The text buffer of ftoa is copied before anything else can format a number.
    const CString text(ftoa(value, kDoubleDecimals));
    return Write(name, static_cast<LPCSTR>(text));
}

BOOL CRegistry::Write(LPCSTR name, const tagPointF& value)
{
    return Write(PartName(name, ".x"), value.x) && Write(PartName(name, ".y"), value.y);
}

BOOL CRegistry::Write(LPCSTR name, const tagSizeF& value)
{
    return Write(PartName(name, ".cx"), value.cx) && Write(PartName(name, ".cy"), value.cy);
}

BOOL CRegistry::Write(LPCSTR name, const tagRectF& value)
{
    return Write(PartName(name, ".top"), value.top) && Write(PartName(name, ".left"), value.left) &&
           Write(PartName(name, ".bottom"), value.bottom) && Write(PartName(name, ".right"), value.right);
}

// ---- raw bytes

BOOL CRegistry::Read(LPCSTR name, BYTE** data, UINT* size)
{
    if (!data || !size)
        return FALSE;
    *data = nullptr;
    CBuffer<unsigned char> bytes;
    if (!ReadBinaryUpTo(name, 0xFFFFFFFFu, bytes))
        return FALSE;
    *size = bytes.GetSize();
    *data = bytes.Detach();
    return TRUE;
}

BOOL CRegistry::Read(LPCSTR name, CBuffer<unsigned char>& value)
{
    CBuffer<unsigned char> bytes;
    if (!ReadBinaryUpTo(name, 0xFFFFFFFFu, bytes))
        return FALSE;
    const unsigned int count = bytes.GetSize();
    value.Attach(bytes.Detach(), count);
    return TRUE;
}

BOOL CRegistry::ReadBinaryUpTo(LPCSTR name, DWORD limit, CBuffer<unsigned char>& bytes)
{
    DWORD size = 0;
    if (!QueryValue(name, nullptr, &size))
        return FALSE;
    if (size > limit) {
        m_lastResult = ERROR_MORE_DATA;
        return FALSE;
    }
    if (size == 0) {
        bytes.Free();
        return TRUE;
    }
    unsigned char* block = new (std::nothrow) unsigned char[size];
    if (!block) {
        m_lastResult = ERROR_NOT_ENOUGH_MEMORY;
        return FALSE;
    }
    bytes.Attach(block, size);
    DWORD got = size;
    if (!QueryValue(name, block, &got)) {
        bytes.Free();
        return FALSE;
    }
    // The value may have shrunk between the two queries.
    if (got < size) {
        unsigned char* exact = new unsigned char[got ? got : 1];
        std::memcpy(exact, block, got);
        bytes.Attach(exact, got);
    }
    return TRUE;
}

BOOL CRegistry::Write(LPCSTR name, BYTE* data, UINT size)
{
    return SetValue(name, REG_BINARY, data, size);
}

BOOL CRegistry::Write(LPCSTR name, CBuffer<unsigned char>& value)
{
    return SetValue(name, REG_BINARY, value.GetData(), value.GetSize());
}

BOOL CRegistry::Read(LPCSTR name, RECT& value)
{
    CBuffer<unsigned char> bytes;
    if (!ReadBinaryUpTo(name, 0xFFFFFFFFu, bytes))
        return FALSE;
    if (bytes.GetSize() < 4 * sizeof(LONG))
        return FALSE;
    LONG parts[4];
    std::memcpy(parts, bytes.GetData(), sizeof parts);
    value.left = parts[0];
    value.top = parts[1];
    value.right = parts[2];
    value.bottom = parts[3];
    return TRUE;
}

BOOL CRegistry::Write(LPCSTR name, const RECT& value)
{
    const LONG parts[4] = {value.left, value.top, value.right, value.bottom};
    return SetValue(name, REG_BINARY, parts, sizeof parts);
}

// ---- values in the class library's archive form

BOOL CRegistry::Read(LPCSTR name, CObject& value) { return ReadSerialized(name, 0xFFFFFFFFu, value); }

BOOL CRegistry::Write(LPCSTR name, CObject& value) { return WriteSerialized(name, value); }


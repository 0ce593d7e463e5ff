#pragma once
// Owner of one BSTR.
#include <windows.h>
#include <oleauto.h>

class CComBSTR {
public:
    BSTR m_str = nullptr;

    CComBSTR() = default;
    CComBSTR(LPCOLESTR text) : m_str(text ? ::SysAllocString(text) : nullptr) {}
    CComBSTR(UINT length, LPCOLESTR text) : m_str(::SysAllocStringLen(text, length)) {}
    explicit CComBSTR(LPCSTR text);
    CComBSTR(const CComBSTR& other) : m_str(other.Copy()) {}
    CComBSTR(CComBSTR&& other) noexcept : m_str(other.m_str) { other.m_str = nullptr; }
    ~CComBSTR() { ::SysFreeString(m_str); }

    CComBSTR& operator=(const CComBSTR& other);
    CComBSTR& operator=(CComBSTR&& other) noexcept;
    CComBSTR& operator=(LPCOLESTR text);

    operator BSTR() const { return m_str; }
    BSTR* operator&() { Empty(); return &m_str; }
    bool operator!() const { return m_str == nullptr; }
    bool operator==(LPCOLESTR text) const;
    bool operator!=(LPCOLESTR text) const { return !(*this == text); }

    unsigned int Length() const { return ::SysStringLen(m_str); }
    void Empty() { ::SysFreeString(m_str); m_str = nullptr; }
    BSTR Copy() const { return m_str ? ::SysAllocStringLen(m_str, ::SysStringLen(m_str)) : nullptr; }
    HRESULT CopyTo(BSTR* out) const;
    void Attach(BSTR text) { if (text != m_str) { ::SysFreeString(m_str); m_str = text; } }
    BSTR Detach() { BSTR s = m_str; m_str = nullptr; return s; }
    HRESULT Append(LPCOLESTR text, UINT length);
    HRESULT Append(LPCOLESTR text);
    HRESULT Append(const CComBSTR& other) { return Append(other.m_str, other.Length()); }
    CComBSTR& operator+=(const CComBSTR& other) { Append(other); return *this; }
};

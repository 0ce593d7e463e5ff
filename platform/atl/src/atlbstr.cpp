#include "atlbstr.h"
#include <cwchar>
#include <memory>

CComBSTR::CComBSTR(LPCSTR text) {
    if (!text) return;
    int length = ::MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (length <= 0) return;
    m_str = ::SysAllocStringLen(nullptr, static_cast<UINT>(length - 1));
    if (m_str) ::MultiByteToWideChar(CP_ACP, 0, text, -1, m_str, length);
}

CComBSTR& CComBSTR::operator=(const CComBSTR& other) {
    if (this != std::addressof(other)) {
        BSTR copy = other.Copy();
        ::SysFreeString(m_str);
        m_str = copy;
    }
    return *this;
}

CComBSTR& CComBSTR::operator=(CComBSTR&& other) noexcept {
    if (this != std::addressof(other)) {
        ::SysFreeString(m_str);
        m_str = other.m_str;
        other.m_str = nullptr;
    }
    return *this;
}

CComBSTR& CComBSTR::operator=(LPCOLESTR text) {
    if (text != m_str) {
        BSTR copy = text ? ::SysAllocString(text) : nullptr;
        ::SysFreeString(m_str);
        m_str = copy;
    }
    return *this;
}

bool CComBSTR::operator==(LPCOLESTR text) const {
    // A null BSTR is the empty string.
    const wchar_t* mine = m_str ? m_str : L"";
    const wchar_t* theirs = text ? text : L"";
    if (!text) return Length() == 0;
    return std::wcslen(theirs) == Length() && std::wmemcmp(mine, theirs, Length()) == 0;
}

HRESULT CComBSTR::CopyTo(BSTR* out) const {
    if (!out) return E_POINTER;
    *out = Copy();
    return (m_str && !*out) ? E_OUTOFMEMORY : S_OK;
}

HRESULT CComBSTR::Append(LPCOLESTR text, UINT length) {
    if (length == 0) return S_OK;
    if (!text) return E_POINTER;
    UINT old = Length();
    BSTR joined = ::SysAllocStringLen(nullptr, old + length);
    if (!joined) return E_OUTOFMEMORY;
    if (old) std::wmemcpy(joined, m_str, old);
    std::wmemcpy(joined + old, text, length);
    ::SysFreeString(m_str);
    m_str = joined;
    return S_OK;
}

HRESULT CComBSTR::Append(LPCOLESTR text) {
    return text ? Append(text, static_cast<UINT>(std::wcslen(text))) : S_OK;
}

#include "atlregistrar.h"
#include <cwctype>
#include <memory>

namespace {

struct ScriptValue {
    enum Kind { String, ExpandString, Dword } kind = String;
    std::wstring text;
    DWORD number = 0;
};

struct ScriptKey {
    std::wstring name;
    bool forceRemove = false;
    bool noRemove = false;
    bool deleteKey = false;
    bool hasDefault = false;
    ScriptValue defaultValue;
    std::vector<std::pair<std::wstring, ScriptValue>> values;
    std::vector<ScriptKey> children;
};

struct ScriptHive {
    HKEY hive = nullptr;
    std::wstring name;
    std::vector<ScriptKey> keys;
};

struct Token {
    std::wstring text;
    bool quoted = false;
    int line = 0;
};

bool SameText(const std::wstring& a, const wchar_t* b) { return ::lstrcmpiW(a.c_str(), b) == 0; }

bool IsPunct(const Token& token, const wchar_t* punct) { return !token.quoted && token.text == punct; }

class ScriptReader {
public:
    ScriptReader(const std::wstring& script, const std::vector<RegistryReplacement>& replacements)
        : m_script(script), m_replacements(replacements) {}

    bool Read(std::vector<ScriptHive>& hives) {
        if (!Tokenise()) return false;
        while (m_next < m_tokens.size()) {
            const Token& hiveToken = m_tokens[m_next++];
            ScriptHive hive;
            hive.name = hiveToken.text;
            hive.hive = HiveByName(hiveToken);
            if (!hive.hive) return Fail(hiveToken.line, L"unknown registry root '" + hiveToken.text + L"'");
            if (!Expect(L"{", L"after " + hiveToken.text)) return false;
            if (!ReadKeys(hive.keys, nullptr)) return false;
            hives.push_back(std::move(hive));
        }
        return true;
    }

    const std::wstring& Error() const { return m_error; }

private:
    static HKEY HiveByName(const Token& token) {
        if (token.quoted) return nullptr;
        static const struct {
            const wchar_t* shortName;
            const wchar_t* longName;
            HKEY hive;
        } hives[] = {
            {L"HKCR", L"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
            {L"HKCU", L"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
            {L"HKLM", L"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
            {L"HKU", L"HKEY_USERS", HKEY_USERS},
        };
        for (const auto& h : hives) {
            if (SameText(token.text, h.shortName) || SameText(token.text, h.longName)) return h.hive;
        }
        return nullptr;
    }

    bool Fail(int line, const std::wstring& what) {
        m_error = L"registration script line " + std::to_wstring(line) + L": " + what;
        return false;
    }

    bool Replace(std::wstring& text, int line) {
        std::wstring out;
        for (size_t i = 0; i < text.size(); ++i) {
            if (text[i] != L'%') {
                out += text[i];
                continue;
            }
            size_t end = text.find(L'%', i + 1);
            if (end == std::wstring::npos) return Fail(line, L"unterminated %replacement% in '" + text + L"'");
            std::wstring name = text.substr(i + 1, end - i - 1);
            if (name.empty()) {
                out += L'%';
            } else {
                const RegistryReplacement* found = nullptr;
                for (const auto& r : m_replacements) {
                    if (SameText(r.name, name.c_str())) found = &r;
                }
                if (!found) return Fail(line, L"unknown replacement %" + name + L"%");
                out += found->value;
            }
            i = end;
        }
        text.swap(out);
        return true;
    }

    bool Tokenise() {
        int line = 1;
        size_t i = 0;
        const size_t n = m_script.size();
        while (i < n) {
            wchar_t c = m_script[i];
            if (c == L'\n') {
                ++line;
                ++i;
                continue;
            }
            if (std::iswspace(c) || c == 0xFEFF) {
                ++i;
                continue;
            }
            Token token;
            token.line = line;
            if (c == L'\'') {
                token.quoted = true;
                ++i;
                for (;;) {
                    if (i >= n) return Fail(token.line, L"unterminated quoted text");
                    if (m_script[i] == L'\'') {
                        // '' inside quotes is one quote character.
                        if (i + 1 < n && m_script[i + 1] == L'\'') {
                            token.text += L'\'';
                            i += 2;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    if (m_script[i] == L'\n') ++line;
                    token.text += m_script[i++];
                }
            } else {
                while (i < n && !std::iswspace(m_script[i]) && m_script[i] != L'\'') token.text += m_script[i++];
            }
            if (!Replace(token.text, token.line)) return false;
            m_tokens.push_back(std::move(token));
        }
        return true;
    }

    const Token* Peek() const { return m_next < m_tokens.size() ? &m_tokens[m_next] : nullptr; }

    int LastLine() const { return m_tokens.empty() ? 1 : m_tokens.back().line; }

    bool Expect(const wchar_t* punct, const std::wstring& where) {
        const Token* token = Peek();
        if (!token) return Fail(LastLine(), L"expected '" + std::wstring(punct) + L"' " + where + L", found the end");
        if (!IsPunct(*token, punct))
            return Fail(token->line, L"expected '" + std::wstring(punct) + L"' " + where + L", found '" + token->text + L"'");
        ++m_next;
        return true;
    }

    bool ReadValue(ScriptValue& value, const std::wstring& owner) {
        const Token* type = Peek();
        if (!type) return Fail(LastLine(), L"value type missing for '" + owner + L"'");
        ++m_next;
        const Token* data = Peek();
        if (!data) return Fail(type->line, L"value missing for '" + owner + L"'");
        ++m_next;
        if (!type->quoted && SameText(type->text, L"s")) {
            value.kind = ScriptValue::String;
        } else if (!type->quoted && SameText(type->text, L"e")) {
            value.kind = ScriptValue::ExpandString;
        } else if (!type->quoted && SameText(type->text, L"d")) {
            value.kind = ScriptValue::Dword;
            wchar_t* end = nullptr;
            unsigned long number = std::wcstoul(data->text.c_str(), &end, 0);
            if (data->text.empty() || (end && *end))
                return Fail(data->line, L"'" + data->text + L"' is not a number (value of '" + owner + L"')");
            value.number = static_cast<DWORD>(number);
            return true;
        } else {
            return Fail(type->line, L"unknown value type '" + type->text + L"' for '" + owner + L"' (s, e or d)");
        }
        if (!data->quoted) return Fail(data->line, L"text value of '" + owner + L"' must be quoted");
        value.text = data->text;
        return true;
    }

    bool ReadKeys(std::vector<ScriptKey>& keys, ScriptKey* owner) {
        for (;;) {
            const Token* token = Peek();
            if (!token) return Fail(LastLine(), L"missing '}'");
            if (IsPunct(*token, L"}")) {
                ++m_next;
                return true;
            }
            if (IsPunct(*token, L"{") || IsPunct(*token, L"="))
                return Fail(token->line, L"expected a key name, found '" + token->text + L"'");
            if (!token->quoted && SameText(token->text, L"val")) {
                if (!owner) return Fail(token->line, L"a named value needs a key to belong to");
                ++m_next;
                const Token* name = Peek();
                if (!name || IsPunct(*name, L"=") || IsPunct(*name, L"{") || IsPunct(*name, L"}"))
                    return Fail(token->line, L"value name missing after 'val'");
                ++m_next;
                if (!Expect(L"=", L"after value name '" + name->text + L"'")) return false;
                ScriptValue value;
                if (!ReadValue(value, name->text)) return false;
                owner->values.emplace_back(name->text, std::move(value));
                continue;
            }
            ScriptKey key;
            for (;;) {
                const Token* flag = Peek();
                if (!flag || flag->quoted) break;
                if (SameText(flag->text, L"ForceRemove"))
                    key.forceRemove = true;
                else if (SameText(flag->text, L"NoRemove"))
                    key.noRemove = true;
                else if (SameText(flag->text, L"Delete"))
                    key.deleteKey = true;
                else
                    break;
                ++m_next;
            }
            const Token* name = Peek();
            if (!name || IsPunct(*name, L"{") || IsPunct(*name, L"}") || IsPunct(*name, L"="))
                return Fail(name ? name->line : LastLine(), L"key name missing after its flags");
            if (name->text.empty()) return Fail(name->line, L"empty key name");
            if (name->text.find(L'\\') != std::wstring::npos)
                return Fail(name->line, L"key name '" + name->text + L"' holds a backslash");
            key.name = name->text;
            ++m_next;
            const Token* next = Peek();
            if (next && IsPunct(*next, L"=")) {
                ++m_next;
                key.hasDefault = true;
                if (!ReadValue(key.defaultValue, key.name)) return false;
                next = Peek();
            }
            if (next && IsPunct(*next, L"{")) {
                ++m_next;
                if (!ReadKeys(key.children, &key)) return false;
            }
            keys.push_back(std::move(key));
        }
    }

    const std::wstring& m_script;
    const std::vector<RegistryReplacement>& m_replacements;
    std::vector<Token> m_tokens;
    size_t m_next = 0;
    std::wstring m_error;
};

class KeyHandle {
public:
    KeyHandle() = default;
    ~KeyHandle() {
        if (m_key) ::RegCloseKey(m_key);
    }
    KeyHandle(const KeyHandle&) = delete;
    KeyHandle& operator=(const KeyHandle&) = delete;
    HKEY* Out() { return &m_key; }
    HKEY Get() const { return m_key; }

private:
    HKEY m_key = nullptr;
};

bool IsMissing(LONG status) { return status == ERROR_FILE_NOT_FOUND || status == ERROR_PATH_NOT_FOUND; }

class ScriptRunner {
public:
    HRESULT Register(HKEY parent, const std::vector<ScriptKey>& keys, const std::wstring& path) {
        for (const ScriptKey& key : keys) {
            std::wstring keyPath = path + L"\\" + key.name;
            if (key.deleteKey || key.forceRemove) {
                LONG status = ::RegDeleteTreeW(parent, key.name.c_str());
                if (status != ERROR_SUCCESS && !IsMissing(status)) return Fail(status, L"cannot remove " + keyPath);
                if (key.deleteKey) continue;
            }
            KeyHandle handle;
            LONG status = ::RegCreateKeyExW(parent, key.name.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr,
                                            handle.Out(), nullptr);
            if (status != ERROR_SUCCESS) return Fail(status, L"cannot create " + keyPath);
            if (key.hasDefault) {
                HRESULT hr = SetValue(handle.Get(), L"", key.defaultValue, keyPath);
                if (FAILED(hr)) return hr;
            }
            for (const auto& value : key.values) {
                HRESULT hr = SetValue(handle.Get(), value.first, value.second, keyPath);
                if (FAILED(hr)) return hr;
            }
            HRESULT hr = Register(handle.Get(), key.children, keyPath);
            if (FAILED(hr)) return hr;
        }
        return S_OK;
    }

    // Removes what registering wrote; keys that are gone already are no error.
    HRESULT Unregister(HKEY parent, const std::vector<ScriptKey>& keys, const std::wstring& path) {
        HRESULT result = S_OK;
        for (const ScriptKey& key : keys) {
            if (key.deleteKey) continue;
            std::wstring keyPath = path + L"\\" + key.name;
            if (key.forceRemove && !key.noRemove) {
                LONG status = ::RegDeleteTreeW(parent, key.name.c_str());
                if (status != ERROR_SUCCESS && !IsMissing(status) && SUCCEEDED(result))
                    result = Fail(status, L"cannot remove " + keyPath);
                continue;
            }
            bool empty = false;
            {
                KeyHandle handle;
                LONG status = ::RegOpenKeyExW(parent, key.name.c_str(), 0, KEY_READ | KEY_WRITE, handle.Out());
                if (IsMissing(status)) continue;
                if (status != ERROR_SUCCESS) {
                    if (SUCCEEDED(result)) result = Fail(status, L"cannot open " + keyPath);
                    continue;
                }
                HRESULT hr = Unregister(handle.Get(), key.children, keyPath);
                if (FAILED(hr) && SUCCEEDED(result)) result = hr;
                for (const auto& value : key.values) ::RegDeleteValueW(handle.Get(), value.first.c_str());
                DWORD subKeys = 0;
                if (::RegQueryInfoKeyW(handle.Get(), nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, nullptr,
                                       nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS)
                    empty = subKeys == 0;
            }
            // A kept key stays; another key goes once nothing else lives under it.
            if (!key.noRemove && empty) {
                LONG status = ::RegDeleteKeyW(parent, key.name.c_str());
                if (status != ERROR_SUCCESS && !IsMissing(status) && SUCCEEDED(result))
                    result = Fail(status, L"cannot remove " + keyPath);
            }
        }
        return result;
    }

    std::wstring error;

private:
    HRESULT Fail(LONG status, const std::wstring& what) {
        error = what + L" (error " + std::to_wstring(status) + L")";
        return HRESULT_FROM_WIN32(status);
    }

    HRESULT SetValue(HKEY key, const std::wstring& name, const ScriptValue& value, const std::wstring& keyPath) {
        LONG status;
        if (value.kind == ScriptValue::Dword) {
            status = ::RegSetValueExW(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value.number),
                                      sizeof(value.number));
        } else {
            status = ::RegSetValueExW(key, name.c_str(), 0,
                                      value.kind == ScriptValue::ExpandString ? REG_EXPAND_SZ : REG_SZ,
                                      reinterpret_cast<const BYTE*>(value.text.c_str()),
                                      static_cast<DWORD>((value.text.size() + 1) * sizeof(wchar_t)));
        }
        if (status != ERROR_SUCCESS)
            return Fail(status, L"cannot set value '" + name + L"' of " + keyPath);
        return S_OK;
    }
};

}  // namespace

void CRegistrar::AddReplacement(const std::wstring& name, const std::wstring& value) {
    for (auto& r : m_replacements) {
        if (::lstrcmpiW(r.name.c_str(), name.c_str()) == 0) {
            r.value = value;
            return;
        }
    }
    m_replacements.push_back({name, value});
}

HRESULT CRegistrar::Run(const std::wstring& script, bool registering) {
    m_lastError.clear();
    std::vector<ScriptHive> hives;
    ScriptReader reader(script, m_replacements);
    if (!reader.Read(hives)) {
        m_lastError = reader.Error();
        return REGDB_E_INVALIDVALUE;
    }
    ScriptRunner runner;
    HRESULT result = S_OK;
    for (const ScriptHive& hive : hives) {
        HRESULT hr = registering ? runner.Register(hive.hive, hive.keys, hive.name)
                                 : runner.Unregister(hive.hive, hive.keys, hive.name);
        if (FAILED(hr)) {
            m_lastError = runner.error;
            if (registering) return hr;
            if (SUCCEEDED(result)) result = hr;
        }
    }
    return result;
}

HRESULT CRegistrar::RunResource(HINSTANCE module, UINT id, LPCWSTR type, bool registering) {
    m_lastError.clear();
    HRSRC resource = ::FindResourceW(module, MAKEINTRESOURCEW(id), type);
    HGLOBAL loaded = resource ? ::LoadResource(module, resource) : nullptr;
    const char* bytes = loaded ? static_cast<const char*>(::LockResource(loaded)) : nullptr;
    if (!bytes) {
        m_lastError = L"registration script resource " + std::to_wstring(id) + L" not found";
        return HRESULT_FROM_WIN32(ERROR_RESOURCE_NAME_NOT_FOUND);
    }
    DWORD size = ::SizeofResource(module, resource);
    std::wstring script;
    if (size >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF && static_cast<unsigned char>(bytes[1]) == 0xFE) {
        script.assign(reinterpret_cast<const wchar_t*>(bytes + 2), (size - 2) / sizeof(wchar_t));
    } else if (size > 0) {
        int length = ::MultiByteToWideChar(CP_ACP, 0, bytes, static_cast<int>(size), nullptr, 0);
        script.resize(static_cast<size_t>(length));
        ::MultiByteToWideChar(CP_ACP, 0, bytes, static_cast<int>(size), &script[0], length);
    }
    // Resource compilers may pad the data with zeros.
    while (!script.empty() && script.back() == L'\0') script.pop_back();
    return Run(script, registering);
}

HRESULT CRegistrar::ResourceRegister(HINSTANCE module, UINT id, LPCWSTR type) {
    return RunResource(module, id, type, true);
}

HRESULT CRegistrar::ResourceUnregister(HINSTANCE module, UINT id, LPCWSTR type) {
    return RunResource(module, id, type, false);
}

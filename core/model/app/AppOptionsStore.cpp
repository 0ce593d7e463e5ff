#include "AppOptionsStore.h"

#include <cstring>

CAppOptions::~CAppOptions() = default;

namespace {
const char kControlsSection[] = "TarnControls";
const char kUnitValue[] = "MeasurementUnits";
// Read with their option fields, never through the section.
bool IsFieldBacked(const char* name) {
    return lstrcmpiA(name, "SupportGif") == 0 || lstrcmpiA(name, "SupportTif") == 0;
}
HKEY Root(int hive) { return hive ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER; }

class Key {
public:
    ~Key() {
        if (key_) RegCloseKey(key_);
    }
    bool Open(HKEY parent, const std::string& path, bool write) {
        if (write) {
            return RegCreateKeyExA(parent, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE,
                                   nullptr, &key_, nullptr) == ERROR_SUCCESS;
        }
        return RegOpenKeyExA(parent, path.c_str(), 0, KEY_READ, &key_) == ERROR_SUCCESS;
    }
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};
}  // namespace

bool CAppOptionsStore::NoCase::operator()(const std::string& a, const std::string& b) const {
    return lstrcmpiA(a.c_str(), b.c_str()) < 0;
}

CAppOptionsStore::CAppOptionsStore(const std::string& familyName, const std::string& engineName)
    : family_(familyName), engine_(engineName) {
    SetControlsInt("ParseMetafiles", 1, 0, 1);
    SetControlsInt("ParseLinGrad", 1, 0, 1);
    SetControlsInt("ParseCircGrad", 0, 0, 1);
    SetControlsInt("ParsePolygons", 1, 0, 1);
    SetControlsInt("SupportGif", 0, 1, 1);
    SetControlsInt("SupportTif", 0, 1, 1);
}

std::string CAppOptionsStore::KeyPath(const char* name) const {
    return "SOFTWARE\\" + family_ + "\\" + (name ? std::string(name) : engine_);
}

BOOL CAppOptionsStore::Initialize() { return TRUE; }
BOOL CAppOptionsStore::BeforeLoading() { return TRUE; }
BOOL CAppOptionsStore::LoadStyleLibrary() { return TRUE; }
BOOL CAppOptionsStore::LoadColorPalettes() { return TRUE; }
BOOL CAppOptionsStore::AfterLoading() { return TRUE; }
void CAppOptionsStore::BeforeStoring() {}
BOOL CAppOptionsStore::StoreStyleLibrary() { return TRUE; }
BOOL CAppOptionsStore::StoreColorPalettes() { return TRUE; }
void CAppOptionsStore::AfterStoring() {}

BOOL CAppOptionsStore::LoadOptions(int hive, const char* name) {
    Key key;
    // A key that does not exist yet leaves the defaults: a first start is not a failure.
    if (!key.Open(Root(hive), KeyPath(name), false)) return TRUE;
    const int level = name ? 1 : 0;

    char text[MAX_PATH];
    DWORD type = 0, size = sizeof(text);
    if (level == 1 && RegQueryValueExA(key.get(), kUnitValue, nullptr, &type, reinterpret_cast<BYTE*>(text), &size) ==
                          ERROR_SUCCESS &&
        type == REG_SZ && size > 0) {
        text[sizeof(text) - 1] = '\0';
        defaultUnit_.assign(text, strnlen(text, size));
    }

    Key section;
    if (!section.Open(key.get(), kControlsSection, false)) return TRUE;
    for (DWORD index = 0;; ++index) {
        char valueName[257];
        DWORD nameSize = sizeof(valueName);
        BYTE data[8192];
        DWORD dataSize = sizeof(data);
        const LONG result =
            RegEnumValueA(section.get(), index, valueName, &nameSize, nullptr, &type, data, &dataSize);
        if (result == ERROR_NO_MORE_ITEMS) break;
        if (result != ERROR_SUCCESS || IsFieldBacked(valueName)) continue;  // too long or not ours
        switch (type) {
        case REG_SZ:
        case REG_EXPAND_SZ:
            Put(valueName, KindText, data, strnlen(reinterpret_cast<char*>(data), dataSize), hive, level);
            break;
        case REG_DWORD:
            if (dataSize == sizeof(DWORD)) Put(valueName, KindInt, data, sizeof(DWORD), hive, level);
            break;
        case REG_BINARY:
            Put(valueName, KindBytes, data, dataSize, hive, level);
            break;
        default:
            break;
        }
    }
    return TRUE;
}

BOOL CAppOptionsStore::StoreOptions(int hive, const char* name) {
    Key key;
    if (!key.Open(Root(hive), KeyPath(name), true)) return FALSE;
    const int level = name ? 1 : 0;
    BOOL ok = TRUE;
    if (level == 1 && hive == 0 && !defaultUnit_.empty())
        ok &= RegSetValueExA(key.get(), kUnitValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(defaultUnit_.c_str()),
                             static_cast<DWORD>(defaultUnit_.size() + 1)) == ERROR_SUCCESS;

    const BYTE scope = static_cast<BYTE>(level | hive << 1);
    Key section;
    bool opened = false;
    for (const auto& entry : values_) {
        const Value& v = entry.second;
        if (v.scope != scope || IsFieldBacked(entry.first.c_str())) continue;
        if (!opened && !(opened = section.Open(key.get(), kControlsSection, true))) return FALSE;
        std::vector<BYTE> data = v.data;
        DWORD type = REG_BINARY;
        if (v.kind == KindText) {
            type = REG_SZ;
            data.push_back(0);
        } else if (v.kind == KindInt) {
            type = REG_DWORD;
        }
        ok &= RegSetValueExA(section.get(), entry.first.c_str(), 0, type, data.data(),
                             static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
    }
    return ok;
}

BOOL CAppOptionsStore::Put(const char* name, Kind kind, const BYTE* data, size_t size, int hive, int level) {
    if (!name || !*name || (size && !data)) return FALSE;
    Value& v = values_[name];
    v.kind = kind;
    v.scope = static_cast<BYTE>((level ? 1 : 0) | (hive ? 1 : 0) << 1);
    v.data.assign(data, data + size);
    return TRUE;
}

const CAppOptionsStore::Value* CAppOptionsStore::Find(const char* name, Kind kind) const {
    if (!name) return nullptr;
    auto it = values_.find(name);
    return it != values_.end() && it->second.kind == kind ? &it->second : nullptr;
}

BOOL CAppOptionsStore::GetControlsText(const char* name, std::string& text) const {
    const Value* v = Find(name, KindText);
    if (!v) return FALSE;
    text.assign(v->data.begin(), v->data.end());
    return TRUE;
}

BOOL CAppOptionsStore::GetControlsInt(const char* name, int* value) const {
    const Value* v = Find(name, KindInt);
    if (!v || !value || v->data.size() != sizeof(int)) return FALSE;
    std::memcpy(value, v->data.data(), sizeof(int));
    return TRUE;
}

BOOL CAppOptionsStore::GetControlsBlock(const char* name, std::vector<BYTE>& block) const {
    const Value* v = Find(name, KindBytes);
    if (!v) return FALSE;
    block = v->data;
    return TRUE;
}

BOOL CAppOptionsStore::SetControlsText(const char* name, const char* text, int hive, int level) {
    if (!text) return FALSE;
    return Put(name, KindText, reinterpret_cast<const BYTE*>(text), std::strlen(text), hive, level);
}

BOOL CAppOptionsStore::SetControlsInt(const char* name, int value, int hive, int level) {
    return Put(name, KindInt, reinterpret_cast<const BYTE*>(&value), sizeof(value), hive, level);
}

BOOL CAppOptionsStore::SetControlsBlock(const char* name, const BYTE* data, int length, int hive, int level) {
    // The stored form counts its bytes in 16 bits.
    if (length < 0 || length > 0xFFFF) return FALSE;
    return Put(name, KindBytes, data, static_cast<size_t>(length), hive, level);
}

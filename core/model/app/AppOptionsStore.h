#pragma once
// The library's own options: the drawing controls' values, kept per scope and moved between memory
// and the "TarnControls" section of the four option keys, and the unit the user chose.
// Keys are "SOFTWARE\<family>\<name>" under HKEY_LOCAL_MACHINE (hive 1) or HKEY_CURRENT_USER (0),
// the engine's name standing in for a null name.
#include <map>

#include "AppOptions.h"

class TARN_API CAppOptionsStore : public CAppOptions {
public:
    CAppOptionsStore(const std::string& familyName, const std::string& engineName);

    BOOL Initialize() override;
    BOOL BeforeLoading() override;
    BOOL LoadOptions(int hive, const char* name) override;
    BOOL LoadStyleLibrary() override;
    BOOL LoadColorPalettes() override;
    BOOL AfterLoading() override;
    void BeforeStoring() override;
    BOOL StoreOptions(int hive, const char* name) override;
    BOOL StoreStyleLibrary() override;
    BOOL StoreColorPalettes() override;
    void AfterStoring() override;

    BOOL GetControlsText(const char* name, std::string& text) const override;
    BOOL GetControlsInt(const char* name, int* value) const override;
    BOOL GetControlsBlock(const char* name, std::vector<BYTE>& block) const override;
    BOOL SetControlsText(const char* name, const char* text, int hive, int level) override;
    BOOL SetControlsInt(const char* name, int value, int hive, int level) override;
    BOOL SetControlsBlock(const char* name, const BYTE* data, int length, int hive, int level) override;

    std::string GetDefaultUnitName() const override { return defaultUnit_; }

    // The key path of a hive and name, as loading and storing use it.
    std::string KeyPath(const char* name) const;

private:
    enum Kind : BYTE { KindText = 0, KindInt = 1, KindBytes = 2 };
    struct Value {
        Kind kind;
        BYTE scope;  // level | hive << 1
        std::vector<BYTE> data;
    };
    struct NoCase {
        bool operator()(const std::string& a, const std::string& b) const;
    };
    BOOL Put(const char* name, Kind kind, const BYTE* data, size_t size, int hive, int level);
    const Value* Find(const char* name, Kind kind) const;

    std::string family_, engine_;
    std::map<std::string, Value, NoCase> values_;
    std::string defaultUnit_;
};

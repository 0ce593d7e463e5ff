#pragma once
// What the application object needs of its options: the load and store sequence over the four
// option keys (machine and user, engine and application level) and the drawing controls' own
// values, which the controls reach through ITarnApp. The application makes its options through
// the factory CTarnApp::CreateOptionsManager, so a derived application may supply its own.
#include <windows.h>

#include <string>
#include <vector>

#include "TarnApi.h"

class TARN_API CAppOptions {
public:
    virtual ~CAppOptions();

    virtual BOOL Initialize() = 0;
    virtual BOOL BeforeLoading() = 0;
    // hive 1: HKEY_LOCAL_MACHINE, 0: HKEY_CURRENT_USER; a null name is the engine key.
    virtual BOOL LoadOptions(int hive, const char* name) = 0;
    virtual BOOL LoadStyleLibrary() = 0;
    virtual BOOL LoadColorPalettes() = 0;
    virtual BOOL AfterLoading() = 0;
    virtual void BeforeStoring() = 0;
    virtual BOOL StoreOptions(int hive, const char* name) = 0;
    virtual BOOL StoreStyleLibrary() = 0;
    virtual BOOL StoreColorPalettes() = 0;
    virtual void AfterStoring() = 0;

    // Controls values: FALSE when the name is absent or holds another kind. The getters size their
    // output to the stored value, so no caller's buffer can be overrun.
    virtual BOOL GetControlsText(const char* name, std::string& text) const = 0;
    virtual BOOL GetControlsInt(const char* name, int* value) const = 0;
    virtual BOOL GetControlsBlock(const char* name, std::vector<BYTE>& block) const = 0;
    // level 1: application key, 0: engine key; hive as above.
    virtual BOOL SetControlsText(const char* name, const char* text, int hive, int level) = 0;
    virtual BOOL SetControlsInt(const char* name, int value, int hive, int level) = 0;
    virtual BOOL SetControlsBlock(const char* name, const BYTE* data, int length, int hive, int level) = 0;

    // Name of the unit lengths are shown in; empty for the table's first.
    virtual std::string GetDefaultUnitName() const = 0;
};

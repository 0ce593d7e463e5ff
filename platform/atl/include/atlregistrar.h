#pragma once
// Runs registration scripts: a tree of registry keys with values, in the usual script form
//     HKCR { Name.1 = s 'Text' { CLSID = s '{...}' }  NoRemove CLSID { ForceRemove {...} = s 'x' { val V = s 'y' } } }
// A script is parsed completely before the registry is touched, so a malformed one changes nothing
// and gives REGDB_E_INVALIDVALUE; a missing resource gives HRESULT_FROM_WIN32(ERROR_RESOURCE_NAME_NOT_FOUND).
#include <windows.h>
#include <string>
#include <vector>
#include "atlmodule.h"

class CRegistrar {
public:
    // %name% in the script is replaced by value (names compare without case); %% is a single %.
    void AddReplacement(const std::wstring& name, const std::wstring& value);
    void ClearReplacements() { m_replacements.clear(); }

    HRESULT StringRegister(const std::wstring& script) { return Run(script, true); }
    HRESULT StringUnregister(const std::wstring& script) { return Run(script, false); }
    HRESULT ResourceRegister(HINSTANCE module, UINT id, LPCWSTR type = L"REGISTRY");
    HRESULT ResourceUnregister(HINSTANCE module, UINT id, LPCWSTR type = L"REGISTRY");

    // Why the last call failed (script line and what was wrong, or the key that could not be written).
    const std::wstring& LastError() const { return m_lastError; }


private:
    HRESULT Run(const std::wstring& script, bool registering);
    HRESULT RunResource(HINSTANCE module, UINT id, LPCWSTR type, bool registering);

    std::vector<RegistryReplacement> m_replacements;
    std::wstring m_lastError;
};

// Registers and removes the type library held in a module's resources (TYPELIB index, 1 by default).
HRESULT AtlRegisterTypeLib(HINSTANCE module, UINT index = 1);
HRESULT AtlUnRegisterTypeLib(HINSTANCE module, UINT index = 1);

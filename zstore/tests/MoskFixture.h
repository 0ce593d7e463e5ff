#pragma once
// Shared helpers of the Mosk tests: the server loaded from its DLL (no registration needed),
// temporary compound files, and raw access to the donor's stored bytes.
#include <windows.h>
#include <objbase.h>
#include <cstdint>
#include <string>
#include <vector>
#include <atlbase.h>
#include <gtest/gtest.h>
#include "Mosk.h"

using Bytes = std::vector<std::uint8_t>;

constexpr DWORD kCreateRW = STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE;
constexpr DWORD kOpenRW = STGM_READWRITE | STGM_SHARE_EXCLUSIVE;
constexpr DWORD kOpenRead = STGM_READ | STGM_SHARE_EXCLUSIVE;

// Mosk.dll loaded beside the test program, its objects made through its own class factories.
class MoskServer {
public:
    MoskServer();
    ~MoskServer();
    CComPtr<IZStorage> NewStorage(IStorage* donor = nullptr);
    CComPtr<IZStream> NewStream(IStream* donor = nullptr);
    HRESULT Factory(REFCLSID clsid, IClassFactory** factory);
    HMODULE Module() const { return m_module; }
    // S_OK once every object of the server is gone: a leaked reference shows here.
    HRESULT CanUnloadNow() const;

private:
    HMODULE m_module = nullptr;
};

// A compound file in the temporary folder, deleted with the fixture.
class TempDocfile {
public:
    TempDocfile();
    ~TempDocfile();
    const std::wstring& Path() const { return m_path; }
    CComPtr<IStorage> Create() const;
    CComPtr<IStorage> Open(DWORD mode = kOpenRW) const;

private:
    std::wstring m_path;
};

// Every byte of a stream, read from its start.
Bytes ReadAll(IStream* stream);
// The stored bytes of a stream of a plain storage (nullopt-like empty + failure flag).
bool ReadStoredStream(IStorage* storage, const wchar_t* name, Bytes& out);
// Replaces a plain stream's bytes.
void WriteStoredStream(IStorage* storage, const wchar_t* name, const Bytes& bytes);
// Deterministic test content: compressible text for even seeds, noise for odd ones.
Bytes Content(std::size_t size, unsigned seed);
// Writes all bytes through an IStream, asserting success.
void WriteAll(IStream* stream, const Bytes& bytes);
// A whole frame for content, made by the codec.
Bytes FrameOf(const Bytes& content);
std::uint32_t U32At(const Bytes& bytes, std::size_t offset);

class ComTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))); }
    void TearDown() override { ::CoUninitialize(); }
};

#include "MoskFixture.h"
#include "ZFrame.h"

MoskServer::MoskServer() { m_module = ::LoadLibraryW(L"Mosk.dll"); }

MoskServer::~MoskServer() {
    // Objects may outlive a test by design; the library stays loaded for the process.
}

HRESULT MoskServer::Factory(REFCLSID clsid, IClassFactory** factory) {
    if (!m_module) return HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND);
    auto getClassObject = reinterpret_cast<HRESULT(WINAPI*)(REFCLSID, REFIID, void**)>(
        reinterpret_cast<void*>(::GetProcAddress(m_module, "DllGetClassObject")));
    if (!getClassObject) return HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
    return getClassObject(clsid, IID_IClassFactory, reinterpret_cast<void**>(factory));
}

HRESULT MoskServer::CanUnloadNow() const {
    auto canUnload = reinterpret_cast<HRESULT(WINAPI*)()>(
        reinterpret_cast<void*>(::GetProcAddress(m_module, "DllCanUnloadNow")));
    return canUnload ? canUnload() : E_FAIL;
}

CComPtr<IZStorage> MoskServer::NewStorage(IStorage* donor) {
    CComPtr<IClassFactory> factory;
    CComPtr<IZStorage> storage;
    EXPECT_EQ(S_OK, Factory(CLSID_ZStorage, &factory));
    if (factory) {
        EXPECT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IZStorage, reinterpret_cast<void**>(&storage)));
    }
    if (storage && donor) {
        EXPECT_EQ(S_OK, storage->put_Donor(donor));
    }
    return storage;
}

CComPtr<IZStream> MoskServer::NewStream(IStream* donor) {
    CComPtr<IClassFactory> factory;
    CComPtr<IZStream> stream;
    EXPECT_EQ(S_OK, Factory(CLSID_ZStream, &factory));
    if (factory) {
        EXPECT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IZStream, reinterpret_cast<void**>(&stream)));
    }
    if (stream && donor) {
        EXPECT_EQ(S_OK, stream->put_Donor(donor));
    }
    return stream;
}

TempDocfile::TempDocfile() {
    wchar_t folder[MAX_PATH], file[MAX_PATH];
    ::GetTempPathW(MAX_PATH, folder);
    ::GetTempFileNameW(folder, L"msk", 0, file);
    m_path = file;
}

TempDocfile::~TempDocfile() { ::DeleteFileW(m_path.c_str()); }

CComPtr<IStorage> TempDocfile::Create() const {
    CComPtr<IStorage> storage;
    EXPECT_EQ(S_OK, ::StgCreateDocfile(m_path.c_str(), kCreateRW, 0, &storage));
    return storage;
}

CComPtr<IStorage> TempDocfile::Open(DWORD mode) const {
    CComPtr<IStorage> storage;
    EXPECT_EQ(S_OK, ::StgOpenStorage(m_path.c_str(), nullptr, mode, nullptr, 0, &storage));
    return storage;
}

Bytes ReadAll(IStream* stream) {
    Bytes out;
    LARGE_INTEGER zero = {};
    stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    std::uint8_t buffer[65536];
    for (;;) {
        ULONG got = 0;
        HRESULT hr = stream->Read(buffer, sizeof buffer, &got);
        EXPECT_TRUE(SUCCEEDED(hr));
        if (FAILED(hr) || got == 0) break;
        out.insert(out.end(), buffer, buffer + got);
    }
    return out;
}

bool ReadStoredStream(IStorage* storage, const wchar_t* name, Bytes& out) {
    CComPtr<IStream> stream;
    if (FAILED(storage->OpenStream(name, nullptr, kOpenRead, 0, &stream))) return false;
    out = ReadAll(stream);
    return true;
}

void WriteStoredStream(IStorage* storage, const wchar_t* name, const Bytes& bytes) {
    CComPtr<IStream> stream;
    ASSERT_EQ(S_OK, storage->CreateStream(name, kCreateRW, 0, 0, &stream));
    WriteAll(stream, bytes);
}

Bytes Content(std::size_t size, unsigned seed) {
    Bytes out(size);
    std::uint32_t state = 2463534242u ^ (seed * 2654435761u);
    static const char words[] = "card panel fold greeting text curve image group line figure ";
    for (std::size_t i = 0; i < size; ++i) {
        if (seed % 2 == 0) {
            out[i] = static_cast<std::uint8_t>(words[(i + seed) % (sizeof words - 1)]);
        } else {
            state ^= state << 13;
            state ^= state >> 17;
            state ^= state << 5;
            out[i] = static_cast<std::uint8_t>(state);
        }
    }
    return out;
}

void WriteAll(IStream* stream, const Bytes& bytes) {
    if (bytes.empty()) return;
    ULONG written = 0;
    ASSERT_EQ(S_OK, stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written));
    ASSERT_EQ(bytes.size(), written);
}

Bytes FrameOf(const Bytes& content) {
    Bytes frame;
    EXPECT_EQ(zframe::FrameError::None, zframe::EncodeFrame(content.data(), content.size(), frame));
    return frame;
}

std::uint32_t U32At(const Bytes& bytes, std::size_t offset) {
    return static_cast<std::uint32_t>(bytes.at(offset)) | (static_cast<std::uint32_t>(bytes.at(offset + 1)) << 8) |
           (static_cast<std::uint32_t>(bytes.at(offset + 2)) << 16) |
           (static_cast<std::uint32_t>(bytes.at(offset + 3)) << 24);
}

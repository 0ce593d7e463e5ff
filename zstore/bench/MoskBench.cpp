// mosk-bench: writes and reads about 50 MB of mixed streams through ZStorage and prints the rates
// beside raw compress2/uncompress on the same bytes, and beside the plain compound file alone.
//   mosk-bench [megabytes [rounds]]
#include <windows.h>
#include <objbase.h>
#include <algorithm>
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>
#include <zlib.h>
#include <atlbase.h>
#include "Mosk.h"
#include "ZFrame.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

class Stopwatch {
public:
    Stopwatch() {
        ::QueryPerformanceFrequency(&m_frequency);
        ::QueryPerformanceCounter(&m_start);
    }
    double Seconds() const {
        LARGE_INTEGER now;
        ::QueryPerformanceCounter(&now);
        return static_cast<double>(now.QuadPart - m_start.QuadPart) / static_cast<double>(m_frequency.QuadPart);
    }

private:
    LARGE_INTEGER m_frequency, m_start;
};

// Card-like content: property records (names, small integers, doubles), text, and noisy image bytes.
Bytes MakeStream(std::size_t size, int kind, std::uint32_t seed) {
    Bytes out(size);
    std::uint32_t x = seed * 2654435761u + 1;
    for (std::size_t i = 0; i < size; ++i) {
        x = x * 1103515245u + 12345u;
        switch (kind) {
        case 0:  // records: repeated names with varying values
            out[i] = (i % 24 < 12) ? static_cast<std::uint8_t>("XOffsetYScale"[i % 12]) : static_cast<std::uint8_t>(x >> 28);
            break;
        case 1:  // text
            out[i] = static_cast<std::uint8_t>("Happy birthday to you, dear friend. "[(i + (x >> 30)) % 36]);
            break;
        default:  // picture bytes: smooth gradients with noise
            out[i] = static_cast<std::uint8_t>((i / 3) % 256 + ((x >> 29) & 3));
            break;
        }
    }
    return out;
}

struct Fail {
    const char* what;
    HRESULT hr;
};

void Check(HRESULT hr, const char* what) {
    if (FAILED(hr)) throw Fail{what, hr};
}

CComPtr<IStorage> MemoryDocfile() {
    CComPtr<ILockBytes> bytes;
    Check(::CreateILockBytesOnHGlobal(nullptr, TRUE, &bytes), "CreateILockBytesOnHGlobal");
    CComPtr<IStorage> storage;
    Check(::StgCreateDocfileOnILockBytes(bytes, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, &storage),
          "StgCreateDocfileOnILockBytes");
    return storage;
}

std::wstring StreamName(std::size_t index) { return L"Stream" + std::to_wstring(index); }

constexpr ULONG kChunk = 64 * 1024;

double WriteAll(IStorage* storage, const std::vector<Bytes>& streams, std::size_t wholeWrites = 0) {
    Stopwatch watch;
    for (std::size_t s = 0; s < streams.size(); ++s) {
        CComPtr<IStream> stream;
        Check(storage->CreateStream(StreamName(s).c_str(), STGM_CREATE | STGM_WRITE | STGM_SHARE_EXCLUSIVE, 0, 0, &stream),
              "CreateStream");
        const std::size_t chunk = wholeWrites ? streams[s].size() : kChunk;
        for (std::size_t at = 0; at < streams[s].size(); at += chunk) {
            ULONG length = static_cast<ULONG>(std::min<std::size_t>(chunk, streams[s].size() - at));
            Check(stream->Write(streams[s].data() + at, length, nullptr), "Write");
        }
    }
    return watch.Seconds();
}

double ReadAll(IStorage* storage, const std::vector<Bytes>& streams, std::size_t = 0) {
    Stopwatch watch;
    Bytes buffer(kChunk);
    for (std::size_t s = 0; s < streams.size(); ++s) {
        CComPtr<IStream> stream;
        Check(storage->OpenStream(StreamName(s).c_str(), nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &stream),
              "OpenStream");
        std::size_t total = 0;
        for (;;) {
            ULONG got = 0;
            Check(stream->Read(buffer.data(), kChunk, &got), "Read");
            if (got == 0) break;
            total += got;
        }
        if (total != streams[s].size()) throw Fail{"read back a different size", E_FAIL};
    }
    return watch.Seconds();
}

struct Rates {
    double write = 1e30;
    double read = 1e30;
    void Keep(double w, double r) {
        write = std::min(write, w);
        read = std::min(read, r);
    }
};

// Raw zlib on the same bytes: frame-sized buffers, level 9 and the frame CRC, then CRC and inflate.
Rates RawZlib(const std::vector<Bytes>& streams, std::vector<Bytes>& compressed) {
    Rates rates;
    compressed.assign(streams.size(), Bytes());
    Stopwatch deflating;
    for (std::size_t s = 0; s < streams.size(); ++s) {
        uLongf length = compressBound(static_cast<uLong>(streams[s].size()));
        compressed[s].resize(length);
        if (compress2(compressed[s].data(), &length, streams[s].data(), static_cast<uLong>(streams[s].size()), 9) != Z_OK)
            throw Fail{"compress2", E_FAIL};
        compressed[s].resize(length);
        zframe::FrameCrc(compressed[s].data(), length);
    }
    rates.write = deflating.Seconds();
    Stopwatch inflating;
    for (std::size_t s = 0; s < streams.size(); ++s) {
        Bytes plain(streams[s].size());
        uLongf length = static_cast<uLongf>(plain.size());
        zframe::FrameCrc(compressed[s].data(), compressed[s].size());
        if (uncompress(plain.data(), &length, compressed[s].data(), static_cast<uLong>(compressed[s].size())) != Z_OK)
            throw Fail{"uncompress", E_FAIL};
    }
    rates.read = inflating.Seconds();
    return rates;
}

// The finished frames stored straight into a compound file in memory, one write each: the storage's
// own share of what ZStorage costs.
Rates FramesOnly(const std::vector<Bytes>& streams, const std::vector<Bytes>& compressed) {
    std::vector<Bytes> frames(streams.size());
    for (std::size_t s = 0; s < streams.size(); ++s) {
        zframe::FrameHeader header;
        header.uncompressedSize = static_cast<std::uint32_t>(streams[s].size());
        header.compressedSize = static_cast<std::uint32_t>(compressed[s].size());
        header.crc = zframe::FrameCrc(compressed[s].data(), compressed[s].size());
        frames[s].resize(zframe::kHeaderSize);
        zframe::WriteHeader(header, frames[s].data());
        frames[s].insert(frames[s].end(), compressed[s].begin(), compressed[s].end());
    }
    CComPtr<IStorage> root = MemoryDocfile();
    Rates rates;
    rates.write = WriteAll(root, frames, frames.size());
    rates.read = ReadAll(root, frames, frames.size());
    return rates;
}

// Through ZStorage over a compound file in memory, writing and reading in 64 KiB chunks.
Rates ThroughZStorage(IClassFactory* factory, const std::vector<Bytes>& streams) {
    CComPtr<IZStorage> storage;
    Check(factory->CreateInstance(nullptr, IID_IZStorage, reinterpret_cast<void**>(&storage)), "CreateInstance");
    CComPtr<IStorage> root = MemoryDocfile();
    Check(storage->put_Donor(root), "put_Donor");
    Rates rates;
    rates.write = WriteAll(storage, streams);
    rates.read = ReadAll(storage, streams);
    return rates;
}

int Run(std::size_t megabytes, int rounds) {
    std::vector<Bytes> streams;
    std::size_t total = 0;
    for (std::uint32_t i = 0; total < megabytes * 1000000; ++i) {
        std::size_t size = (i % 5 == 0) ? 4000000 : 200000 + (i * 37171u) % 900000;
        streams.push_back(MakeStream(size, static_cast<int>(i % 3), i));
        total += size;
    }
    const double mb = static_cast<double>(total) / 1e6;
    std::printf("%zu streams, %.1f MB uncompressed, best of %d rounds\n", streams.size(), mb, rounds);

    HMODULE module = ::LoadLibraryW(L"Mosk.dll");
    if (!module) throw Fail{"LoadLibrary Mosk.dll", HRESULT_FROM_WIN32(::GetLastError())};
    auto getClassObject = reinterpret_cast<HRESULT(WINAPI*)(REFCLSID, REFIID, void**)>(
        reinterpret_cast<void*>(::GetProcAddress(module, "DllGetClassObject")));
    if (!getClassObject) throw Fail{"DllGetClassObject missing", E_FAIL};
    CComPtr<IClassFactory> factory;
    Check(getClassObject(CLSID_ZStorage, IID_IClassFactory, reinterpret_cast<void**>(&factory)), "DllGetClassObject");

    // Rounds alternate the order, so that neither side always runs on a warmer or quieter machine.
    Rates raw, framesOnly, wrapped;
    std::vector<Bytes> compressed;
    for (int round = 0; round < rounds; ++round) {
        if (round % 2 == 0) {
            Rates r = RawZlib(streams, compressed);
            raw.Keep(r.write, r.read);
            Rates z = ThroughZStorage(factory, streams);
            wrapped.Keep(z.write, z.read);
        } else {
            Rates z = ThroughZStorage(factory, streams);
            wrapped.Keep(z.write, z.read);
            Rates r = RawZlib(streams, compressed);
            raw.Keep(r.write, r.read);
        }
        Rates f = FramesOnly(streams, compressed);
        framesOnly.Keep(f.write, f.read);
    }
    std::size_t packed = 0;
    for (const Bytes& c : compressed) packed += c.size();

    std::printf("compressed to %.1f MB (%.1f %%)\n", static_cast<double>(packed) / 1e6, 100.0 * packed / total);
    std::printf("%-34s %10s %10s\n", "", "write MB/s", "read MB/s");
    std::printf("%-34s %10.1f %10.1f\n", "raw compress2 / uncompress", mb / raw.write, mb / raw.read);
    std::printf("%-34s %10.1f %10.1f\n", "frames into compound file only", mb / framesOnly.write, mb / framesOnly.read);
    std::printf("%-34s %10.1f %10.1f\n", "ZStorage over compound file", mb / wrapped.write, mb / wrapped.read);
    std::printf("ZStorage time / (raw zlib + frame storage) time: write %.3f, read %.3f\n",
                wrapped.write / (raw.write + framesOnly.write), wrapped.read / (raw.read + framesOnly.read));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::size_t megabytes = argc > 1 ? static_cast<std::size_t>(std::strtoul(argv[1], nullptr, 10)) : 50;
    int rounds = argc > 2 ? std::atoi(argv[2]) : 3;
    if (megabytes == 0 || rounds <= 0) {
        std::fprintf(stderr, "usage: mosk-bench [megabytes [rounds]]\n");
        return 2;
    }
    if (FAILED(::CoInitialize(nullptr))) return 3;
    int result = 1;
    try {
        result = Run(megabytes, rounds);
    } catch (const Fail& failure) {
        std::fprintf(stderr, "mosk-bench: %s failed (0x%08lx)\n", failure.what, static_cast<unsigned long>(failure.hr));
    }
    ::CoUninitialize();
    return result;
}

#include "CardBytes.h"

#include <zlib.h>

namespace cardbytes {

Bytes Frame(const Bytes& content)
{
    uLongf packedSize = compressBound(static_cast<uLong>(content.size()));
    Bytes packed(packedSize);
    compress2(packed.data(), &packedSize, content.data(), static_cast<uLong>(content.size()), 9);
    packed.resize(packedSize);
    Bytes out = {'N', 'R', 'A', 'T'};
    PutU32(out, static_cast<uint32_t>(content.size()));
    PutU32(out, static_cast<uint32_t>(packed.size()));
    PutU32(out, static_cast<uint32_t>(crc32(0xD209FA72u, packed.data(), static_cast<uInt>(packed.size()))));
    Append(out, packed.data(), packed.size());
    return out;
}

Bytes CompoundFile(const std::vector<std::pair<std::string, Bytes>>& streams)
{
    Bytes image;
    ILockBytes* lockBytes = nullptr;
    IStorage* storage = nullptr;
    if (FAILED(CreateILockBytesOnHGlobal(nullptr, TRUE, &lockBytes)))
        return image;
    if (SUCCEEDED(StgCreateDocfileOnILockBytes(lockBytes, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0,
                                               &storage))) {
        for (const auto& stream : streams) {
            WCHAR name[64] = {};
            MultiByteToWideChar(CP_ACP, 0, stream.first.c_str(), -1, name, 63);
            IStream* out = nullptr;
            if (SUCCEEDED(storage->CreateStream(name, STGM_CREATE | STGM_WRITE | STGM_SHARE_EXCLUSIVE, 0, 0, &out))) {
                ULONG written = 0;
                out->Write(stream.second.data(), static_cast<ULONG>(stream.second.size()), &written);
                out->Release();
            }
        }
        storage->Commit(STGC_DEFAULT);
        storage->Release();
        STATSTG stat{};
        lockBytes->Stat(&stat, STATFLAG_NONAME);
        image.resize(static_cast<size_t>(stat.cbSize.QuadPart));
        ULARGE_INTEGER at{};
        ULONG read = 0;
        lockBytes->ReadAt(at, image.data(), static_cast<ULONG>(image.size()), &read);
        image.resize(read);
    }
    lockBytes->Release();
    return image;
}

}  // namespace cardbytes

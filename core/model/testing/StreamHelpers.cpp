#include "StreamHelpers.h"

#include <stdexcept>

IStream* StreamOver(const std::vector<unsigned char>& bytes)
{
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &stream)))
        throw std::runtime_error("no memory stream");
    ULONG written = 0;
    if (!bytes.empty())
        stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written);
    LARGE_INTEGER zero = {};
    stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    return stream;
}

std::vector<unsigned char> StreamContent(IStream* stream)
{
    STATSTG stat = {};
    stream->Stat(&stat, STATFLAG_NONAME);
    std::vector<unsigned char> bytes(static_cast<size_t>(stat.cbSize.QuadPart));
    LARGE_INTEGER zero = {};
    stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    ULONG got = 0;
    if (!bytes.empty())
        stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &got);
    return bytes;
}

std::vector<unsigned char> ArchiveBytes(const std::function<void(CArchive&)>& writes)
{
    IStream* stream = StreamOver({});
    {
        COleStreamFile file;
        stream->AddRef();
        file.Attach(stream);
        CArchive ar(&file, CArchive::store);
        writes(ar);
        ar.Close();
        file.Abort();
    }
    std::vector<unsigned char> bytes = StreamContent(stream);
    stream->Release();
    return bytes;
}

void ReadArchive(const std::vector<unsigned char>& bytes, const std::function<void(CArchive&)>& reads)
{
    IStream* stream = StreamOver(bytes);
    COleStreamFile file;
    file.Attach(stream);
    // Releases the stream after the archive is gone, also when the reads throw.
    struct Releaser {
        COleStreamFile& file;
        ~Releaser() { file.Abort(); }
    } releaser{file};
    CArchive ar(&file, CArchive::load);
    reads(ar);
    ar.Close();
}

#include "CardBytes.h"
#include "CompressedReadStream.h"
#include "ResourceStorage.h"

#include <gtest/gtest.h>

using namespace cardbytes;

namespace {

IStream* StreamOver(const Bytes& bytes)
{
    IStream* stream = nullptr;
    CreateStreamOnHGlobal(nullptr, TRUE, &stream);
    ULONG written = 0;
    if (!bytes.empty())
        stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written);
    LARGE_INTEGER start{};
    stream->Seek(start, STREAM_SEEK_SET, nullptr);
    return stream;
}

HRESULT ReadThrough(const Bytes& raw, Bytes& content)
{
    IStream* donor = StreamOver(raw);
    CCompressedReadStream* reader = nullptr;
    EXPECT_EQ(CCompressedReadStream::Create(&reader), S_OK);
    HRESULT hr = reader->put_Donor(donor);
    donor->Release();
    content.clear();
    if (SUCCEEDED(hr)) {
        BYTE buffer[1000];
        ULONG got = 0;
        do {
            got = 0;
            reader->Read(buffer, sizeof buffer, &got);
            content.insert(content.end(), buffer, buffer + got);
        } while (got == sizeof buffer);
    }
    reader->Release();
    return hr;
}

Bytes Pattern(size_t size)
{
    Bytes out(size);
    for (size_t i = 0; i < size; ++i)
        out[i] = static_cast<BYTE>((i * 7 + i / 251) & 0xFF);
    return out;
}

TEST(CompressedReadStream, ServesFramedAndPlainStreamsAlike)
{
    const Bytes content = Pattern(70000);
    struct Case
    {
        const char* name;
        Bytes raw;
        Bytes expected;
    } cases[] = {
        {"framed", Frame(content), content},
        {"plain", content, content},
        {"plain shorter than a magic", Bytes{'N', 'R'}, Bytes{'N', 'R'}},
        {"empty", Bytes{}, Bytes{}},
        {"framed empty", Frame(Bytes{}), Bytes{}},
    };
    for (const Case& c : cases) {
        Bytes got;
        EXPECT_EQ(ReadThrough(c.raw, got), S_OK) << c.name;
        EXPECT_EQ(got, c.expected) << c.name;
    }
}

TEST(CompressedReadStream, RefusesDamagedFrames)
{
    const Bytes good = Frame(Pattern(5000));
    auto flipped = [&](size_t at) {
        Bytes b = good;
        b[at] ^= 0x10;
        return b;
    };
    auto withU32 = [&](size_t at, uint32_t v) {
        Bytes b = good;
        std::memcpy(&b[at], &v, 4);
        return b;
    };
    struct Case
    {
        const char* name;
        Bytes raw;
    } cases[] = {
        {"flipped compressed byte", flipped(40)},
        {"flipped crc", flipped(13)},
        {"truncated data", Bytes(good.begin(), good.end() - 5)},
        {"header only", Bytes(good.begin(), good.begin() + 16)},
        {"short header", Bytes(good.begin(), good.begin() + 10)},
        {"claims more compressed bytes", withU32(8, 0x7FFFFFFF)},
        {"claims an impossible size", withU32(4, 0xFFFFFFF0)},
        {"claims a smaller size", withU32(4, 100)},
    };
    for (const Case& c : cases) {
        Bytes got;
        EXPECT_EQ(ReadThrough(c.raw, got), STG_E_DOCFILECORRUPT) << c.name;
    }
}

TEST(CompressedReadStream, SeeksWithinTheUnpackedContent)
{
    const Bytes content = Pattern(3000);
    IStream* donor = StreamOver(Frame(content));
    CCompressedReadStream* reader = nullptr;
    ASSERT_EQ(CCompressedReadStream::Create(&reader), S_OK);
    ASSERT_EQ(reader->put_Donor(donor), S_OK);
    donor->Release();

    LARGE_INTEGER move;
    ULARGE_INTEGER at;
    move.QuadPart = 2000;
    ASSERT_EQ(reader->Seek(move, STREAM_SEEK_SET, &at), S_OK);
    EXPECT_EQ(at.QuadPart, 2000u);
    move.QuadPart = -500;
    ASSERT_EQ(reader->Seek(move, STREAM_SEEK_CUR, &at), S_OK);
    EXPECT_EQ(at.QuadPart, 1500u);
    BYTE b = 0;
    ULONG got = 0;
    ASSERT_EQ(reader->Read(&b, 1, &got), S_OK);
    EXPECT_EQ(b, content[1500]);
    move.QuadPart = -5000;
    EXPECT_TRUE(FAILED(reader->Seek(move, STREAM_SEEK_CUR, &at)));
    STATSTG stat{};
    ASSERT_EQ(reader->Stat(&stat, STATFLAG_NONAME), S_OK);
    EXPECT_EQ(stat.cbSize.QuadPart, content.size());
    EXPECT_EQ(reader->Write(&b, 1, &got), E_NOTIMPL);
    reader->Release();
}

TEST(ResourceStorage, JoinsNamesUpToTheFirstGap)
{
    HMODULE pieces = LoadLibraryExA("pavane-card-pieces.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(pieces, nullptr);
    EXPECT_EQ(CResourceStorage::MeasurePieces(CResourceStorage::kCardResourceType, pieces), 5u);
    CResourceStorage storage;
    // "AB" + "CDE": resource 4 is cut off by the missing 3, and five bytes are no compound file.
    EXPECT_FALSE(storage.Open(CResourceStorage::kCardResourceType, pieces));
    EXPECT_EQ(storage.GetJoinedSize(), 0u) << "closed again after the failure";
    FreeLibrary(pieces);
}

TEST(ResourceStorage, ProgramWithoutCardOpensNothing)
{
    CResourceStorage storage;
    EXPECT_FALSE(storage.Open(CResourceStorage::kCardResourceType));
    EXPECT_EQ(storage.GetLastResult(), STG_E_FILENOTFOUND);
    CStreamHolder holder;
    EXPECT_FALSE(storage.OpenStream("Contents", holder));
    EXPECT_EQ(holder.Get(), nullptr);
}

TEST(ResourceStorage, OpensStreamsOfACompoundFile)
{
    const Bytes content = Pattern(10000);
    const Bytes file = CompoundFile({{"Contents", Frame(content)}, {"Plain", content}});
    ASSERT_FALSE(file.empty());
    CResourceStorage storage;
    ASSERT_TRUE(storage.OpenBytes(file.data(), file.size()));
    for (const char* name : {"Contents", "Plain"}) {
        CStreamHolder holder;
        ASSERT_TRUE(storage.OpenStream(name, holder)) << name;
        Bytes got(content.size() + 10);
        ULONG read = 0;
        holder.Get()->Read(got.data(), static_cast<ULONG>(got.size()), &read);
        got.resize(read);
        EXPECT_EQ(got, content) << name;
    }
    CStreamHolder missing;
    EXPECT_FALSE(storage.OpenStream("Sounds", missing));
    EXPECT_FALSE(storage.OpenStream(std::string(300, 'x').c_str(), missing));
}

TEST(ResourceStorage, RefusesADamagedFrameInContents)
{
    Bytes frame = Frame(Pattern(10000));
    frame[30] ^= 0xFF;
    const Bytes file = CompoundFile({{"Contents", frame}});
    CResourceStorage storage;
    ASSERT_TRUE(storage.OpenBytes(file.data(), file.size()));
    CStreamHolder holder;
    EXPECT_FALSE(storage.OpenStream("Contents", holder));
    EXPECT_EQ(storage.GetLastResult(), STG_E_DOCFILECORRUPT);
    EXPECT_EQ(holder.Get(), nullptr);
}

}  // namespace

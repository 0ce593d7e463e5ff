// Byte-exact archive layouts: numbers, strings and counts.
#include "ArchiveTestSupport.h"

#include <gtest/gtest.h>

namespace {

struct StringCase {
    DWORD length;
    Bytes prefix;
};

class StringLayout : public ::testing::TestWithParam<StringCase> {};

TEST_P(StringLayout, PrefixIsChosenByLengthAndTheTextRoundTrips)
{
    const StringCase& c = GetParam();
    CString text('x', static_cast<int>(c.length));
    if (c.length > 2)
        text.SetAt(static_cast<int>(c.length) - 1, 'z');
    const Bytes bytes = StoreToBytes([&](CArchive& ar) { ar << text; });

    ASSERT_EQ(bytes.size(), c.prefix.size() + c.length);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + c.prefix.size()), c.prefix);

    CString back("unchanged?");
    LoadFromBytes(bytes, [&](CArchive& ar) { ar >> back; });
    EXPECT_EQ(back.GetLength(), static_cast<int>(c.length));
    EXPECT_TRUE(back == text);
}

INSTANTIATE_TEST_SUITE_P(Lengths, StringLayout, ::testing::Values(
    StringCase{0, {0x00}},
    StringCase{1, {0x01}},
    StringCase{254, {0xFE}},
    StringCase{255, {0xFF, 0xFF, 0x00}},
    StringCase{256, {0xFF, 0x00, 0x01}},
    StringCase{65533, {0xFF, 0xFD, 0xFF}},
    StringCase{65534, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
    StringCase{65535, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}},
    StringCase{70000, {0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}}));

TEST(ArchiveLayout, NumbersAreLittleEndianWithTheirNaturalWidths)
{
    const Bytes bytes = StoreToBytes([](CArchive& ar) {
        ar << static_cast<BYTE>(0x12) << static_cast<WORD>(0x3456) << static_cast<DWORD>(0x789ABCDE)
           << static_cast<LONG>(-2) << 7 << static_cast<short>(-1) << 'A' << 1.5f << 2.25;
    });
    const Bytes expected = Concat({{0x12}, Le16(0x3456), Le32(0x789ABCDE), Le32(0xFFFFFFFE), Le32(7),
                                   Le16(0xFFFF), {'A'}, Le32(0x3FC00000),
                                   {0, 0, 0, 0, 0, 0, 0x02, 0x40}});
    EXPECT_EQ(bytes, expected);

    LoadFromBytes(bytes, [](CArchive& ar) {
        BYTE b; WORD w; DWORD dw; LONG l; int i; short s; char ch; float f; double d;
        ar >> b >> w >> dw >> l >> i >> s >> ch >> f >> d;
        EXPECT_EQ(b, 0x12); EXPECT_EQ(w, 0x3456); EXPECT_EQ(dw, 0x789ABCDEu); EXPECT_EQ(l, -2);
        EXPECT_EQ(i, 7); EXPECT_EQ(s, -1); EXPECT_EQ(ch, 'A'); EXPECT_EQ(f, 1.5f); EXPECT_EQ(d, 2.25);
    });
}

TEST(ArchiveLayout, CountsUseSixteenBitsBelowTheMarker)
{
    struct Case { DWORD count; Bytes bytes; };
    const Case cases[] = {
        {0, Le16(0)}, {0xFFFE, Le16(0xFFFE)},
        {0xFFFF, Concat({Le16(0xFFFF), Le32(0xFFFF)})},
        {0x12345678, Concat({Le16(0xFFFF), Le32(0x12345678)})},
    };
    for (const Case& c : cases) {
        const Bytes bytes = StoreToBytes([&](CArchive& ar) { ar.WriteCount(c.count); });
        EXPECT_EQ(bytes, c.bytes) << c.count;
        LoadFromBytes(bytes, [&](CArchive& ar) { EXPECT_EQ(ar.ReadCount(), c.count); });
    }
}

TEST(ArchiveLayout, StringStoredInWideCharactersIsReadAsAnsi)
{
    const Bytes bytes = Concat({{0xFF}, Le16(0xFFFE), {0x03}, {'a', 0, 'b', 0, 'c', 0}});
    CString back;
    LoadFromBytes(bytes, [&](CArchive& ar) { ar >> back; });
    EXPECT_STREQ(back, "abc");
}

TEST(ArchiveLayout, TruncatedValuesThrowEndOfFile)
{
    struct Case { const char* what; Bytes bytes; std::function<void(CArchive&)> read; };
    const Case cases[] = {
        {"dword", {1, 2, 3}, [](CArchive& ar) { DWORD v; ar >> v; }},
        {"double", {1, 2, 3, 4, 5, 6, 7}, [](CArchive& ar) { double v; ar >> v; }},
        {"short string", {5, 'a', 'b'}, [](CArchive& ar) { CString s; ar >> s; }},
        {"long string length", {0xFF, 0xFF, 0xFF, 0x10}, [](CArchive& ar) { CString s; ar >> s; }},
        // A forged 4 GB length must fail at the end of the data, not allocate 4 GB.
        {"forged length", Concat({{0xFF}, Le16(0xFFFF), Le32(0xFFFFFFF0), Text("abc")}),
         [](CArchive& ar) { CString s; ar >> s; }},
        {"count", {0xFF, 0xFF, 0x01}, [](CArchive& ar) { ar.ReadCount(); }},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ArchiveCause([&] { LoadFromBytes(c.bytes, c.read); }), CArchiveException::endOfFile) << c.what;
    }
}

TEST(ArchiveLayout, WrongDirectionIsRefused)
{
    EXPECT_EQ(ArchiveCause([] { StoreToBytes([](CArchive& ar) { DWORD v; ar >> v; }); }),
              CArchiveException::writeOnly);
    EXPECT_EQ(ArchiveCause([] { LoadFromBytes(Le32(1), [](CArchive& ar) { ar << static_cast<DWORD>(1); }); }),
              CArchiveException::readOnly);
}

// Records written straight to the file between buffered archive data, as persistent objects do.
TEST(ArchiveBuffering, FlushKeepsDirectWritesInOrder)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store, 128);
        ar << static_cast<DWORD>(1) << static_cast<DWORD>(2);
        ar.Flush();
        const DWORD direct = 0xAABBCCDD;
        file.Write(&direct, 4);
        ar << static_cast<DWORD>(3);
        ar.Close();
    }
    EXPECT_EQ(file.GetLength(), 16u);

    file.SeekToBegin();
    CArchive ar(&file, CArchive::load, 128);
    DWORD a, b, c, direct = 0;
    ar >> a >> b;
    EXPECT_FALSE(ar.IsBufferEmpty());  // the archive read ahead
    ar.Flush();                        // ...and gives the read-ahead back
    EXPECT_TRUE(ar.IsBufferEmpty());
    EXPECT_EQ(file.GetPosition(), 8u);
    ASSERT_EQ(file.Read(&direct, 4), 4u);
    ar >> c;
    EXPECT_EQ(a, 1u); EXPECT_EQ(b, 2u); EXPECT_EQ(direct, 0xAABBCCDDu); EXPECT_EQ(c, 3u);
}

TEST(ArchiveBuffering, LargeAndSmallWritesInterleaveAcrossBufferBoundaries)
{
    Bytes big(1000);
    for (size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<BYTE>(i * 7);
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store, 128);
        for (int round = 0; round < 3; ++round) {
            ar << static_cast<BYTE>(round);
            ar.Write(big.data(), static_cast<UINT>(big.size()));
            ar.Write(big.data(), 100);
        }
        ar.Close();
    }
    file.SeekToBegin();
    CArchive ar(&file, CArchive::load, 128);
    for (int round = 0; round < 3; ++round) {
        BYTE tag;
        ar >> tag;
        EXPECT_EQ(tag, round);
        Bytes back(1000), part(100);
        EXPECT_EQ(ar.Read(back.data(), 1000), 1000u);
        EXPECT_EQ(ar.Read(part.data(), 100), 100u);
        EXPECT_EQ(back, big);
        EXPECT_EQ(part, Bytes(big.begin(), big.begin() + 100));
    }
    BYTE extra;
    EXPECT_EQ(ar.Read(&extra, 1), 0u);
}

TEST(ArchiveBuffering, ArchiveOnAStreamFileWritesThroughToTheStream)
{
    COleStreamFile file;
    ASSERT_TRUE(file.CreateMemoryStream());
    {
        CArchive ar(&file, CArchive::store);
        ar << CString("TARN") << static_cast<DWORD>(2);
        ar.Close();
    }
    EXPECT_EQ(file.GetLength(), 9u);
    file.SeekToBegin();
    CArchive ar(&file, CArchive::load);
    CString magic;
    DWORD version;
    ar >> magic >> version;
    EXPECT_STREQ(magic, "TARN");
    EXPECT_EQ(version, 2u);
}

}  // namespace

#include <classlib.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

using Bytes = std::vector<BYTE>;

namespace {

CString TempPath(const char* name)
{
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    return CString(dir) + name;
}

TEST(CFileTest, OpenFailureReportsTheCause)
{
    CFile file;
    CFileException error;
    EXPECT_FALSE(file.Open(TempPath("no such dir\\none.bin"), CFile::modeRead, &error));
    EXPECT_EQ(error.m_cause, CFileException::badPath);
    EXPECT_FALSE(file.Open(TempPath("none-at-all.bin"), CFile::modeRead, &error));
    EXPECT_EQ(error.m_cause, CFileException::fileNotFound);
    EXPECT_EQ(error.m_lOsError, ERROR_FILE_NOT_FOUND);
}

TEST(CFileTest, WriteSeekReadAndLength)
{
    const CString path = TempPath("classlib-file-test.bin");
    {
        CFile file(path, CFile::modeCreate | CFile::modeReadWrite);
        file.Write("0123456789", 10);
        EXPECT_EQ(file.GetLength(), 10u);
        file.Seek(-4, CFile::end);
        char tail[8] = {};
        EXPECT_EQ(file.Read(tail, 8), 4u);
        EXPECT_STREQ(tail, "6789");
        file.SetLength(3);
        EXPECT_EQ(file.GetLength(), 3u);
        EXPECT_STREQ(file.GetFileName(), "classlib-file-test.bin");
        EXPECT_STREQ(file.GetFileTitle(), "classlib-file-test");
    }
    CFile::Remove(path);
    try {
        CFile::Remove(path);
        ADD_FAILURE();
    } catch (CFileException* e) {
        EXPECT_EQ(e->m_cause, CFileException::fileNotFound);
        e->Delete();
    }
}

TEST(CMemFileTest, GrowsZeroFillsGapsAndReadsToTheEnd)
{
    CMemFile file(16);
    file.Write("abc", 3);
    file.Seek(10, CFile::begin);
    file.Write("z", 1);
    EXPECT_EQ(file.GetLength(), 11u);
    file.SeekToBegin();
    char all[20];
    EXPECT_EQ(file.Read(all, sizeof all), 11u);
    EXPECT_EQ(memcmp(all, "abc\0\0\0\0\0\0\0z", 11), 0);
    EXPECT_EQ(file.Read(all, 1), 0u);

    const Bytes big(100000, 0x5A);
    file.Write(big.data(), static_cast<UINT>(big.size()));
    EXPECT_EQ(file.GetLength(), 100011u);

    try {
        file.Seek(-1, CFile::begin);
        ADD_FAILURE();
    } catch (CFileException* e) {
        EXPECT_EQ(e->m_cause, CFileException::badSeek);
        e->Delete();
    }
}

TEST(CMemFileTest, AttachedFixedBufferIsReadButNeverGrown)
{
    BYTE buffer[4] = {1, 2, 3, 4};
    CMemFile file(buffer, sizeof buffer);
    EXPECT_EQ(file.GetLength(), 4u);
    file.Seek(2, CFile::begin);
    file.Write("\x09", 1);
    EXPECT_EQ(buffer[2], 9);
    try {
        file.Write("toolong", 7);
        ADD_FAILURE();
    } catch (CMemoryException* e) {
        e->Delete();
    }
    EXPECT_EQ(file.Detach(), buffer);
}

TEST(COleStreamFileTest, StreamsOfACompoundFile)
{
    ILockBytes* bytes = nullptr;
    ASSERT_EQ(CreateILockBytesOnHGlobal(nullptr, TRUE, &bytes), S_OK);
    IStorage* storage = nullptr;
    ASSERT_EQ(StgCreateDocfileOnILockBytes(bytes, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, &storage), S_OK);

    {
        COleStreamFile file;
        ASSERT_TRUE(file.CreateStream(storage, "Contents"));
        CArchive ar(&file, CArchive::store);
        ar << CString("TARN") << static_cast<DWORD>(2);
        ar.Close();
    }
    {
        COleStreamFile file;
        CFileException error;
        EXPECT_FALSE(file.OpenStream(storage, "Missing", CFile::modeRead | CFile::shareExclusive, &error));
        EXPECT_EQ(error.m_cause, CFileException::fileNotFound);
        EXPECT_EQ(error.m_lOsError, STG_E_FILENOTFOUND);

        ASSERT_TRUE(file.OpenStream(storage, "Contents", CFile::modeRead | CFile::shareExclusive, &error));
        EXPECT_EQ(file.GetLength(), 9u);
        CArchive ar(&file, CArchive::load);
        CString magic;
        DWORD version = 0;
        ar >> magic >> version;
        EXPECT_STREQ(magic, "TARN");
        EXPECT_EQ(version, 2u);
    }
    {
        // Attached streams stay the caller's until Close.
        IStream* raw = nullptr;
        ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &raw), S_OK);
        raw->AddRef();
        {
            COleStreamFile file;
            file.Attach(raw);
            file.Write("xy", 2);
            EXPECT_EQ(file.GetStream(), raw);
            EXPECT_EQ(file.Detach(), raw);
        }
        EXPECT_EQ(raw->Release(), 1u);
        COleStreamFile file;
        file.Attach(raw);
        file.Close();   // releases the last reference
        EXPECT_EQ(file.GetStream(), nullptr);
    }
    storage->Release();
    bytes->Release();
}

TEST(CFileFindTest, ListsTheMatchesOfAFolder)
{
    const CString folder = TempPath("classlib-find\\");
    CreateDirectoryA(folder, nullptr);
    for (const char* name : {"a.tcd", "b.tcd", "c.txt"}) {
        CFile file(folder + name, CFile::modeCreate | CFile::modeWrite);
        file.Write("xyz", 3);
    }
    CreateDirectoryA(folder + "sub.tcd", nullptr);

    std::vector<std::string> files;
    CFileFind finder;
    for (BOOL more = finder.FindFile(folder + "*.tcd"); more;) {
        more = finder.FindNextFile();
        if (finder.IsDirectory()) {
            EXPECT_STREQ(finder.GetFileName(), "sub.tcd");
            continue;
        }
        EXPECT_EQ(finder.GetLength(), 3u);
        EXPECT_STREQ(finder.GetFilePath(), folder + finder.GetFileName());
        files.push_back(static_cast<LPCSTR>(finder.GetFileTitle()));
    }
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::string>{"a", "b"}));
    EXPECT_FALSE(finder.FindNextFile());   // past the end
    EXPECT_FALSE(finder.FindFile(folder + "*.none"));
    EXPECT_TRUE(finder.GetFileName().IsEmpty());

    for (BOOL more = finder.FindFile(folder + "*"); more;) {
        more = finder.FindNextFile();
        if (finder.IsDots())
            continue;
        if (finder.IsDirectory())
            RemoveDirectoryA(finder.GetFilePath());
        else
            DeleteFileA(finder.GetFilePath());
    }
    finder.Close();
    EXPECT_TRUE(RemoveDirectoryA(folder));
}

}  // namespace

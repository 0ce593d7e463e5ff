// Documents: load and save through an archive on a plain file or on the "Contents" stream of a
// compound file, and what the user is told when either fails.
#include "ArchiveTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

CString TempPath(const char* name)
{
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    return CString(dir) + name;
}

struct Report {
    const CRuntimeClass* cls = nullptr;
    int cause = -1;
    BOOL saving = FALSE;
    UINT defaultId = 0;
};

class CTestDoc : public COleDocument
{
public:
    CString m_text;
    DWORD m_number = 0;
    bool m_failSerialize = false;
    int m_deleteContents = 0;
    std::vector<Report> m_reports;

    void Serialize(CArchive& ar) override
    {
        if (m_failSerialize)
            AfxThrowArchiveException(CArchiveException::generic);
        if (ar.IsStoring()) {
            EXPECT_EQ(ar.m_pDocument, static_cast<CDocument*>(this));
            ar << m_text << m_number;
        } else {
            ar >> m_text >> m_number;
        }
    }
    void DeleteContents() override
    {
        ++m_deleteContents;
        m_text.Empty();
        m_number = 0;
    }
    // Tests record the report instead of showing a message box.
    void ReportSaveLoadException(LPCSTR, CException* e, BOOL bSaving, UINT nIDPDefault) override
    {
        Report r;
        r.cls = e->GetRuntimeClass();
        if (auto* a = DYNAMIC_DOWNCAST(CArchiveException, e))
            r.cause = a->m_cause;
        if (auto* f = DYNAMIC_DOWNCAST(CFileException, e))
            r.cause = f->m_cause;
        r.saving = bSaving;
        r.defaultId = nIDPDefault;
        m_reports.push_back(r);
    }
};

class Documents : public ::testing::Test {
protected:
    void SetUp() override
    {
        path = TempPath("classlib-doc-test.tcd");
        SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path);
    }
    void TearDown() override
    {
        SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path);
    }
    void WriteStorage(const std::function<void(IStorage*)>& fill)
    {
        IStorage* storage = nullptr;
        const std::wstring wide(static_cast<LPCSTR>(path), static_cast<LPCSTR>(path) + path.GetLength());
        ASSERT_EQ(StgCreateDocfile(wide.c_str(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, &storage), S_OK);
        fill(storage);
        storage->Release();
    }
    CString path;
};

TEST_F(Documents, SaveAndReopenThroughTheContentsStream)
{
    {
        CTestDoc doc;
        doc.m_bAutoDelete = FALSE;
        ASSERT_TRUE(doc.OnNewDocument());
        doc.m_text = "hello";
        doc.m_number = 42;
        doc.SetModifiedFlag();
        ASSERT_TRUE(doc.OnSaveDocument(path));
        EXPECT_FALSE(doc.IsModified());
        EXPECT_TRUE(doc.m_reports.empty());
    }
    // The stream holds exactly the archive of the document.
    IStorage* storage = nullptr;
    const std::wstring wide(static_cast<LPCSTR>(path), static_cast<LPCSTR>(path) + path.GetLength());
    ASSERT_EQ(StgOpenStorage(wide.c_str(), nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, nullptr, 0, &storage), S_OK);
    IStream* stream = nullptr;
    ASSERT_EQ(storage->OpenStream(L"Contents", nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &stream), S_OK);
    BYTE bytes[32];
    ULONG read = 0;
    stream->Read(bytes, sizeof bytes, &read);
    EXPECT_EQ(Bytes(bytes, bytes + read), Concat({{5}, Text("hello"), Le32(42)}));
    stream->Release();
    storage->Release();

    CTestDoc doc;
    doc.m_bAutoDelete = FALSE;
    ASSERT_TRUE(doc.OnOpenDocument(path));
    EXPECT_STREQ(doc.m_text, "hello");
    EXPECT_EQ(doc.m_number, 42u);
    EXPECT_FALSE(doc.IsModified());
    ASSERT_NE(doc.m_lpRootStg, nullptr);   // kept open

    // Saving under the same name writes into the open storage.
    doc.SetPathName(path);
    doc.m_number = 43;
    ASSERT_TRUE(doc.OnSaveDocument(path));
    doc.OnCloseDocument();
    CTestDoc again;
    again.m_bAutoDelete = FALSE;
    ASSERT_TRUE(again.OnOpenDocument(path));
    EXPECT_EQ(again.m_number, 43u);
}

TEST_F(Documents, FailedOpensAreReportedWithTheirCause)
{
    struct Case {
        const char* what;
        std::function<void()> prepare;
        const CRuntimeClass* cls;
        int cause;
    };
    const Case cases[] = {
        {"no file", [] {}, RUNTIME_CLASS(CFileException), CFileException::fileNotFound},
        {"no Contents stream", [&] { WriteStorage([](IStorage*) {}); }, RUNTIME_CLASS(CArchiveException),
         CArchiveException::badSchema},
        {"truncated Contents", [&] {
             WriteStorage([](IStorage* s) {
                 IStream* stream = nullptr;
                 s->CreateStream(L"Contents", STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, 0, &stream);
                 stream->Write("\x05hel", 4, nullptr);
                 stream->Release();
             });
         }, RUNTIME_CLASS(CArchiveException), CArchiveException::endOfFile},
        {"not a compound file", [&] {
             CFile file(path, CFile::modeCreate | CFile::modeWrite);
             file.Write("plain text, not a compound file", 31);
         }, RUNTIME_CLASS(CArchiveException), CArchiveException::badSchema},
    };
    for (const Case& c : cases) {
        SetUp();
        c.prepare();
        CTestDoc doc;
        doc.m_bAutoDelete = FALSE;
        doc.m_text = "before";
        EXPECT_FALSE(doc.OnOpenDocument(path)) << c.what;
        ASSERT_EQ(doc.m_reports.size(), 1u) << c.what;
        EXPECT_EQ(doc.m_reports[0].cls, c.cls) << c.what;
        EXPECT_EQ(doc.m_reports[0].cause, c.cause) << c.what;
        EXPECT_EQ(doc.m_reports[0].defaultId, static_cast<UINT>(AFX_IDP_FAILED_TO_OPEN_DOC));
        EXPECT_TRUE(doc.m_text.IsEmpty() || doc.m_text == "before") << c.what;
        if (c.cls == RUNTIME_CLASS(CArchiveException) && c.cause == CArchiveException::endOfFile) {
            EXPECT_TRUE(doc.m_text.IsEmpty());   // a half-loaded document is emptied
        }
    }
}

TEST_F(Documents, FailedSaveLeavesNoFileAndIsReported)
{
    CTestDoc doc;
    doc.m_bAutoDelete = FALSE;
    ASSERT_TRUE(doc.OnNewDocument());
    doc.m_failSerialize = true;
    doc.SetModifiedFlag();
    EXPECT_FALSE(doc.OnSaveDocument(path));
    EXPECT_EQ(GetFileAttributesA(path), INVALID_FILE_ATTRIBUTES);
    ASSERT_EQ(doc.m_reports.size(), 1u);
    EXPECT_TRUE(doc.m_reports[0].saving);
    EXPECT_EQ(doc.m_reports[0].defaultId, static_cast<UINT>(AFX_IDP_FAILED_TO_SAVE_DOC));
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(Documents, FilesThatCannotBeWrittenOpenForReading)
{
    {
        CTestDoc doc;
        doc.m_bAutoDelete = FALSE;
        doc.OnNewDocument();
        doc.m_text = "kept";
        ASSERT_TRUE(doc.OnSaveDocument(path));
    }
    // Another reader that lets nobody write keeps the document from opening for writing.
    CFile reader(path, CFile::modeRead | CFile::shareDenyWrite);
    CTestDoc doc;
    doc.m_bAutoDelete = FALSE;
    ASSERT_TRUE(doc.OnOpenDocument(path));
    EXPECT_STREQ(doc.m_text, "kept");
    STATSTG stat = {};
    ASSERT_EQ(doc.m_lpRootStg->Stat(&stat, STATFLAG_NONAME), S_OK);
    EXPECT_EQ(stat.grfMode & 3, 0u);   // opened without write access
}

TEST_F(Documents, PlainFilesWhenCompoundFilesAreOff)
{
    {
        CTestDoc doc;
        doc.m_bAutoDelete = FALSE;
        doc.EnableCompoundFile(FALSE);
        doc.m_text = "flat";
        doc.m_number = 7;
        ASSERT_TRUE(doc.OnSaveDocument(path));
    }
    CFile file(path, CFile::modeRead);
    EXPECT_EQ(file.GetLength(), 9u);   // the archive itself, no storage around it
    file.Close();
    CTestDoc doc;
    doc.m_bAutoDelete = FALSE;
    doc.EnableCompoundFile(FALSE);
    ASSERT_TRUE(doc.OnOpenDocument(path));
    EXPECT_STREQ(doc.m_text, "flat");
}

TEST(DocumentNames, PathNameGivesTheTitle)
{
    CTestDoc doc;
    doc.m_bAutoDelete = FALSE;
    doc.SetPathName("C:\\cards\\Birthday card.tcd");
    EXPECT_STREQ(doc.GetPathName(), "C:\\cards\\Birthday card.tcd");
    EXPECT_STREQ(doc.GetTitle(), "Birthday card.tcd");
}

}  // namespace

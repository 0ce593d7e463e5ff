// The card document and its file: saving and opening compressed and plain cards, the stored
// form of "Contents", "Thumbnails" and "DefControls", refused files and failed saves.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "CardFixtures.h"
#include "DocumentVersion.h"
#include "OptionsManager.h"
#include "TarnApp.h"
#include "CardControls.h"
#include "TarnBackground.h"
#include "TarnPage.h"
#include "ControlInfo.h"
#include "SitesContours.h"
#include "SiteRecords.h"
#include "StyleLibrary.h"
#include "UndoManager.h"
#include "BackgroundParams.h"
#include "TarnSite.h"

namespace {

DWORD U32(const std::vector<unsigned char>& bytes, size_t at)
{
    DWORD v = 0;
    (void)bytes.at(at + 3);
    std::memcpy(&v, bytes.data() + at, 4);
    return v;
}

std::unique_ptr<CTestCardDoc> NewSampleCard(int controlsPerSite = 3)
{
    auto doc = std::make_unique<CTestCardDoc>();
    EXPECT_TRUE(doc->OnNewDocument());
    // Saved copies are closed again, so that other documents can open them.
    doc->m_bRemember = FALSE;
    FillSampleCard(*doc, controlsPerSite);
    return doc;
}

std::unique_ptr<CTestCardDoc> Open(const std::string& path)
{
    auto doc = std::make_unique<CTestCardDoc>();
    if (!doc->OnOpenDocument(path.c_str())) {
        ADD_FAILURE() << "open " << path << ": " << (doc->messages.empty() ? "" : doc->messages[0]);
        return nullptr;
    }
    doc->SetPathName(path.c_str(), FALSE);
    return doc;
}

// Both documents hold the same sites, controls, backgrounds and pages.
void ExpectSameCard(CTarnDoc& a, CTarnDoc& b)
{
    ASSERT_EQ(a.GetSiteNumber(), b.GetSiteNumber());
    for (int s = 0; s < a.GetSiteNumber(); ++s) {
        CTarnSite* x = a.GetSiteByIndex(s);
        CTarnSite* y = b.GetSiteByIndex(s);
        EXPECT_EQ(x->GetID(), y->GetID());
        ASSERT_EQ(x->GetControlCount(), y->GetControlCount());
        for (int c = 0; c < x->GetControlCount(); ++c)
            EXPECT_EQ(LabelOf(x->GetControlAt(c)), LabelOf(y->GetControlAt(c)));
        EXPECT_TRUE(x->GetBackground()->GetParams()->Equal(*y->GetBackground()->GetParams()));
        if (x->GetControlCount() >= 2) {
            const int last = x->GetControlCount() - 1;
            EXPECT_EQ(y->GetControlAt(last), ReferredOf(y->GetControlAt(0)));
        }
    }
    ASSERT_EQ(a.GetPageCount(), b.GetPageCount());
    for (int p = 0; p < a.GetPageCount(); ++p) {
        EXPECT_TRUE(a.GetPage(p)->GetProperties()->Equal(*b.GetPage(p)->GetProperties()));
        ASSERT_EQ(a.GetPage(p)->GetSitesCount(), b.GetPage(p)->GetSitesCount());
        for (int i = 0; i < a.GetPage(p)->GetSitesCount(); ++i)
            EXPECT_TRUE(a.GetPage(p)->GetSitePosInfo(i)->Equal(*b.GetPage(p)->GetSitePosInfo(i)));
    }
    EXPECT_TRUE(a.GetProperties()->Equal(*b.GetProperties()));
}

class CardFile : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override { ASSERT_TRUE(RegisterCompressedStorage()); }
};

TEST_P(CardFile, ReopensEqualAndSavesTheSameContents)
{
    const bool compressed = GetParam();
    auto card = NewSampleCard();
    card->SetSaveCompressedData(compressed);
    const std::string first = TempCardPath("first");
    ASSERT_TRUE(card->OnSaveDocument(first.c_str())) << card->GetLastReport();

    auto reopened = Open(first);
    ASSERT_TRUE(reopened) << "open failed";
    EXPECT_EQ(2, reopened->GetDocVersion());
    ExpectSameCard(*card, *reopened);

    reopened->SetSaveCompressedData(compressed);
    const std::string second = TempCardPath("second");
    ASSERT_TRUE(reopened->OnSaveDocument(second.c_str()));
    reopened.reset();  // lets go of the file it now holds
    const auto contents = StreamBytes(first, L"Contents");
    ASSERT_FALSE(contents.empty());
    EXPECT_EQ(contents, StreamBytes(second, L"Contents"));
    if (!compressed) {
        ASSERT_GE(contents.size(), 8u);
        EXPECT_EQ(0, std::memcmp(contents.data(), "TARN", 4));
        EXPECT_EQ(2u, U32(contents, 4));
    } else {
        EXPECT_NE(0, std::memcmp(contents.data(), "TARN", 4));
    }
    DeleteFileA(first.c_str());
    DeleteFileA(second.c_str());
}

TEST_P(CardFile, ThumbnailsAreAlwaysPlain)
{
    auto card = NewSampleCard();
    card->SetSaveCompressedData(GetParam());
    const std::string path = TempCardPath("thumbs");
    ASSERT_TRUE(card->OnSaveDocument(path.c_str()));
    const auto thumbs = StreamBytes(path, L"Thumbnails");
    ASSERT_GE(thumbs.size(), 4u);
    ASSERT_EQ(3u, U32(thumbs, 0));
    size_t at = 4;
    for (int i = 0; i < 3; ++i) {
        const DWORD length = U32(thumbs, at);
        ASSERT_GE(length, 1u);
        EXPECT_EQ(0, thumbs.at(at + 4 + length - 1));
        at += 4 + length;
        at += 4 + U32(thumbs, at);
    }
    // Three extension lists of two 16-byte records and a terminator each.
    ASSERT_EQ(at + 3 * 36, thumbs.size());
    for (int i = 0; i < 3; ++i, at += 36) {
        EXPECT_EQ(0x40000001u, U32(thumbs, at));
        EXPECT_EQ(8u, U32(thumbs, at + 4));
        EXPECT_EQ(0x40000002u, U32(thumbs, at + 16));
        EXPECT_EQ(0u, U32(thumbs, at + 32));
    }
    DeleteFileA(path.c_str());
}

INSTANTIATE_TEST_SUITE_P(CompressedAndPlain, CardFile, ::testing::Values(true, false));

TEST(CardFileDefaults, DefaultControlsComeBackByType)
{
    ASSERT_TRUE(RegisterCompressedStorage());
    auto card = NewSampleCard(1);
    IBaseControl* tool = card->GetProperties()->GetDefaultControl(201);
    ASSERT_NE(nullptr, tool);
    SetLabel(tool, 77);
    const std::string path = TempCardPath("defaults");
    ASSERT_TRUE(card->OnSaveDocument(path.c_str()));
    auto reopened = Open(path);
    ASSERT_TRUE(reopened);
    ASSERT_NE(nullptr, reopened->GetProperties()->GetDefaultControl(201));
    EXPECT_EQ(77, LabelOf(reopened->GetProperties()->GetDefaultControl(201)));
    reopened.reset();
    DeleteFileA(path.c_str());
}

// Writes the card, then rewrites its "Contents" with the given bytes (plain).
std::string CardWithContents(const std::vector<unsigned char>& contents)
{
    const std::string path = TempCardPath("made");
    std::wstring wide(path.begin(), path.end());
    IStorage* storage = nullptr;
    if (FAILED(StgCreateDocfile(wide.c_str(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, &storage)))
        return path;
    IStream* stream = nullptr;
    if (SUCCEEDED(storage->CreateStream(L"Contents", STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, 0, &stream))) {
        ULONG written = 0;
        stream->Write(contents.data(), static_cast<ULONG>(contents.size()), &written);
        stream->Release();
    }
    storage->Release();
    return path;
}

TEST(CardFileRefusals, SignatureAndVersionsAreRefusedWithTheirMessages)
{
    ASSERT_TRUE(RegisterCompressedStorage());
    auto card = NewSampleCard(1);
    card->SetSaveCompressedData(FALSE);
    const std::string good = TempCardPath("good");
    ASSERT_TRUE(card->OnSaveDocument(good.c_str()));
    const auto contents = StreamBytes(good, L"Contents");
    DeleteFileA(good.c_str());
    ASSERT_GE(contents.size(), 8u);

    struct Case {
        const char* name;
        size_t at;
        DWORD value;
        const char* message;
    } cases[] = {
        {"signature", 0, 0x4E524154 ^ 0x20, ""},
        {"too old", 4, 0, "older version"},
        {"too new", 4, 3, "newer version"},
        {"far too new", 4, 0xFFFFFFFF, "newer version"},
    };
    for (const Case& c : cases) {
        auto bytes = contents;
        std::memcpy(&bytes[c.at], &c.value, 4);
        const std::string path = CardWithContents(bytes);
        const auto before = FileBytes(path);
        CTestCardDoc doc;
        EXPECT_FALSE(doc.OnOpenDocument(path.c_str())) << c.name;
        EXPECT_TRUE(doc.IsBad()) << c.name;
        ASSERT_EQ(1u, doc.messages.size()) << c.name;
        EXPECT_NE(std::string::npos, doc.messages[0].find(c.message)) << c.name << ": " << doc.messages[0];
        EXPECT_EQ(before, FileBytes(path)) << c.name;
        DeleteFileA(path.c_str());
    }
}

TEST(CardFileRefusals, MissingContentsAndNonCardFiles)
{
    ASSERT_TRUE(RegisterCompressedStorage());
    const std::string empty = CardWithContents({});
    const std::string text = TempCardPath("text");
    WriteFileBytes(text, {'h', 'e', 'l', 'l', 'o'});
    for (const std::string& path : {empty, text, TempCardPath("missing")}) {
        CTestCardDoc doc;
        EXPECT_FALSE(doc.OnOpenDocument(path.c_str())) << path;
        EXPECT_EQ(1u, doc.messages.size()) << path;
        DeleteFileA(path.c_str());
    }
}

TEST(CardFileRefusals, HiddenLoadFailureLeavesAnEmptyDocumentWithoutMessage)
{
    ASSERT_TRUE(RegisterCompressedStorage());
    const std::string path = CardWithContents({'T', 'A', 'R', 'N', 9, 0, 0, 0});
    CTestCardDoc doc;
    doc.HideLoadException(1);
    EXPECT_FALSE(doc.OnOpenDocument(path.c_str()));
    EXPECT_TRUE(doc.messages.empty());
    EXPECT_TRUE(doc.IsBad());
    EXPECT_EQ(0, doc.GetSiteNumber());
    DeleteFileA(path.c_str());
}

// Files in the folder of path whose names start with the save's temporary prefix.
int LeftoverTemporaryFiles(const std::string& path)
{
    const std::string folder = path.substr(0, path.find_last_of('\\') + 1);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "crd*.tmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    int count = 0;
    do {
        ++count;
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return count;
}

TEST(CardFileSaving, FailedSaveLeavesThePreviousFile)
{
    ASSERT_TRUE(RegisterCompressedStorage());
    const std::string path = TempCardPath("keep");
    const int leftoversBefore = LeftoverTemporaryFiles(path);
    {
        auto card = NewSampleCard();
        ASSERT_TRUE(card->OnSaveDocument(path.c_str()));
    }
    const auto before = FileBytes(path);
    auto doc = Open(path);
    ASSERT_TRUE(doc);
    IBaseControl* extra = NewCardControl(4242);
    ASSERT_TRUE(doc->InsertControl(doc->GetSiteByIndex(0)->GetID(), extra, -1));
    extra->Release();
    doc->failNextSave = true;
    EXPECT_FALSE(doc->DoFileSave());
    EXPECT_EQ(1u, doc->messages.size());
    EXPECT_EQ(before, FileBytes(path));
    EXPECT_EQ(leftoversBefore, LeftoverTemporaryFiles(path));

    // The document still holds its file: the next save goes through and keeps the change.
    EXPECT_TRUE(doc->DoFileSave());
    doc.reset();
    auto again = Open(path);
    ASSERT_TRUE(again);
    CTarnSite* site = again->GetSiteByIndex(0);
    EXPECT_EQ(4242, LabelOf(site->GetControlAt(site->GetControlCount() - 1)));
    again.reset();
    DeleteFileA(path.c_str());
}

TEST(CardFileSaving, ReadOnlyFileIsNotOverwritten)
{
    ASSERT_TRUE(RegisterCompressedStorage());
    const std::string path = TempCardPath("readonly");
    {
        auto card = NewSampleCard(1);
        ASSERT_TRUE(card->OnSaveDocument(path.c_str()));
    }
    auto doc = Open(path);
    ASSERT_TRUE(doc);
    doc.reset();
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
    const auto before = FileBytes(path);
    {
        CTestCardDoc reader;
        ASSERT_TRUE(reader.OnOpenDocument(path.c_str()));
        reader.SetPathName(path.c_str(), FALSE);
        EXPECT_FALSE(reader.DoFileSave());
        ASSERT_EQ(1u, reader.messages.size());
        EXPECT_NE(std::string::npos, reader.messages[0].find("read-only"));
    }
    EXPECT_EQ(before, FileBytes(path));
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path.c_str());
}

// A document that knows the controls only from the application's table.
class CTableDoc : public CTarnDoc {
public:
    int ShowMessage(const CString&, UINT) override { return IDOK; }
};

TEST(CardFileDefaults, KnownControlsComeFromTheApplicationTable)
{
    ASSERT_TRUE(RegisterCompressedStorage());
    {
        CTableDoc empty;
        ASSERT_TRUE(empty.OnNewDocument());
        EXPECT_TRUE(empty.GetProperties()->GetDefaultControls().empty());
    }
    g_arrControlInfo.Add(tagControlInfo{32900, &CLSID_CardTestControl, 101, 201, 0});
    g_arrControlInfo.Add(tagControlInfo{32901, &CLSID_CardUnreadableControl, 102, 202, 0});
    {
        CTableDoc doc;
        ASSERT_TRUE(doc.OnNewDocument());
        ASSERT_NE(nullptr, doc.GetProperties()->GetDefaultControl(201));
        ASSERT_NE(nullptr, doc.GetProperties()->GetDefaultControl(202));
        long tool = 0;
        doc.GetProperties()->GetDefaultControl(201)->get_TypeID(&tool);
        EXPECT_EQ(101, tool);
        // The unreadable kind can't come back from the stream; the table fills its place anew.
        doc.m_bRemember = FALSE;
        const std::string path = TempCardPath("table");
        ASSERT_TRUE(doc.OnSaveDocument(path.c_str()));
        {
            CTableDoc reopened;
            EXPECT_TRUE(reopened.OnOpenDocument(path.c_str()));
            EXPECT_NE(nullptr, reopened.GetProperties()->GetDefaultControl(201));
            EXPECT_NE(nullptr, reopened.GetProperties()->GetDefaultControl(202));
        }
        DeleteFileA(path.c_str());

        // A copy of the properties makes each default control anew by its kind's class.
        CTarnDocProperties copy;
        copy.Duplicate(doc.GetProperties());
        ASSERT_EQ(2u, copy.GetDefaultControls().size());
        IBaseControl* made = copy.GetDefaultControl(201);
        ASSERT_NE(nullptr, made);
        EXPECT_NE(doc.GetProperties()->GetDefaultControl(201), made);
        CLSID clsid = {};
        IPersistStream* persist = nullptr;
        ASSERT_TRUE(SUCCEEDED(made->QueryInterface(IID_IPersistStream, reinterpret_cast<void**>(&persist))));
        persist->GetClassID(&clsid);
        persist->Release();
        EXPECT_TRUE(IsEqualCLSID(CLSID_CardTestControl, clsid));
    }
    g_arrControlInfo.RemoveAll();
    {
        // Kinds the application's table doesn't list are not copied.
        CTableDoc doc;
        ASSERT_TRUE(doc.OnNewDocument());
        IBaseControl* control = NewCardControl(5);
        doc.GetProperties()->SetDefaultControl(201, control);
        control->Release();
        CTarnDocProperties copy;
        copy.Duplicate(doc.GetProperties());
        EXPECT_TRUE(copy.GetDefaultControls().empty());
    }
}

TEST(CardModel, OperationsOnAMissingSiteDoNothingAndSaySo)
{
    ASSERT_TRUE(RegisterCompressedStorage());
    auto card = NewSampleCard(1);
    IBaseControl* control = NewCardControl(5);
    EXPECT_FALSE(card->InsertControl(999, control, -1));
    EXPECT_FALSE(card->DeleteControl(999, control));
    EXPECT_EQ(-1, card->GetControlCount(999));
    EXPECT_EQ(-1, card->GetControlPosition(999, control));
    EXPECT_EQ(nullptr, card->GetSiteByIndex(99));
    EXPECT_EQ(nullptr, card->GetSiteByIndex(-1));
    control->Release();
}

TEST(CardModel, PageContoursFollowPlacementsAndMarking)
{
    ASSERT_TRUE(RegisterCompressedStorage());
    auto card = NewSampleCard(0);
    CTarnPage* page = card->GetPage(1);  // sites 1 at (0.25, 0.5) and 2 at (1, 3)
    page->AddSiteInfo(999, tagPointF{0, 0}, 0);  // a site the card doesn't have
    struct Case {
        int mode, mark;
        int firstCount, secondCount;
    } cases[] = {{4, 1, 9, 5}, {3, 1, 5, 9}, {1, 0, 5, 5}, {0, 1, 5, 5}};
    for (const Case& c : cases) {
        page->GetProperties()->m_centerlinesForAlignment = c.mode;
        CSitesContours contours;
        EXPECT_EQ(3, page->FillSiteContours(&contours, c.mark));
        ASSERT_EQ(2, contours.GetSize());
        EXPECT_EQ(c.firstCount, contours[0].count) << c.mode;
        EXPECT_EQ(c.secondCount, contours[1].count) << c.mode;
        EXPECT_DOUBLE_EQ(1.25, contours[0].position.x);
        EXPECT_DOUBLE_EQ(1.5, contours[0].position.y);
        EXPECT_DOUBLE_EQ(4.0, contours[1].position.y);
    }
}

TEST(CardModel, SitesWithoutIdGetTheirPositionAndTheNextIdIsFree)
{
    ASSERT_TRUE(RegisterCompressedStorage());
    auto card = NewSampleCard(0);
    card->GetSiteByIndex(1)->SetID(-1);
    card->GetSiteByIndex(2)->SetID(5);
    const std::string path = TempCardPath("ids");
    ASSERT_TRUE(card->OnSaveDocument(path.c_str()));
    auto doc = Open(path);
    ASSERT_TRUE(doc);
    EXPECT_EQ(1, doc->GetSiteByIndex(1)->GetID());
    EXPECT_EQ(nullptr, doc->GetSite(doc->GetNextSiteId()));
    doc.reset();
    DeleteFileA(path.c_str());
}

// A site that counts its own destruction, so that the document's hold on its sites can be seen.
class CCountedSite : public CTarnSite {
public:
    explicit CCountedSite(int& destroyed) : m_destroyed(destroyed) {}
    ~CCountedSite() override { ++m_destroyed; }

private:
    int& m_destroyed;
};

class CCountedSitesDoc : public CTestCardDoc {
public:
    explicit CCountedSitesDoc(int& destroyed) : m_destroyed(destroyed) {}
    CTarnSite* CreateNewSite(int) override { return new CCountedSite(m_destroyed); }

private:
    int& m_destroyed;
};

// A new site comes without a reference: the document's own two (the live list and the list of
// every site ever added) are all it has, and only the document's end frees it, once. A caller who
// releases a reference of its own after AddSite frees the site under the document.
TEST(CardModel, SitesBuiltOneByOneBelongToTheDocumentAndEndWithIt)
{
    constexpr int kSites = 1000;
    int destroyed = 0;
    auto doc = std::make_unique<CCountedSitesDoc>(destroyed);
    ASSERT_TRUE(doc->OnNewDocument());
    const int first = doc->GetSiteNumber();
    for (int i = 0; i < kSites; ++i) {
        CTarnSite* site = doc->CreateNewSite(doc->GetSiteNumber());
        site->InitNew();
        site->SetMaster(doc.get(), first + i);
        CTarnBackground* background = site->GetBackground();
        background->SetColor(0x102030 + i, i % 2);
        background->SetImageLayout(i % 4, 1.5, 0.5, TRUE);
        background->SetPrintBackground(i % 2 == 0);
        doc->AddSite(site);
        ASSERT_EQ(3u, site->AddRef()) << i;
        ASSERT_EQ(2u, site->Release()) << i;
    }
    ASSERT_EQ(first + kSites, doc->GetSiteNumber());
    // A site taken out of the live list is still held by the list of every site ever added.
    doc->RemoveSite(doc->GetSiteByIndex(first));
    EXPECT_EQ(0, destroyed);
    doc.reset();
    EXPECT_EQ(first + kSites, destroyed);
}

// Remembers what the exported version slot holds while the objects after the version are read,
// on this thread and on another one.
class CVersionWatchingDoc : public CTestCardDoc {
public:
    void SerializeStartData(CArchive& ar) override
    {
        if (ar.IsLoading()) {
            seenHere = reinterpret_cast<INT_PTR>(TlsGetValue(dwTlsIdxDocVersion));
            HANDLE other = CreateThread(nullptr, 0, &CVersionWatchingDoc::ReadSlot, this, 0, nullptr);
            if (other) {
                WaitForSingleObject(other, INFINITE);
                CloseHandle(other);
            }
        }
        CTestCardDoc::SerializeStartData(ar);
    }
    static DWORD WINAPI ReadSlot(LPVOID self)
    {
        static_cast<CVersionWatchingDoc*>(self)->seenElsewhere =
            reinterpret_cast<INT_PTR>(TlsGetValue(dwTlsIdxDocVersion));
        return 0;
    }
    INT_PTR seenHere = -1;
    INT_PTR seenElsewhere = -1;
};

TEST(CardFileVersion, ObjectsReadAfterTheVersionSeeItInTheExportedSlot)
{
    ASSERT_TRUE(RegisterCompressedStorage());
    ASSERT_NE(TLS_OUT_OF_INDEXES, dwTlsIdxDocVersion);
    auto card = NewSampleCard(1);
    card->SetSaveCompressedData(FALSE);
    const std::string path = TempCardPath("version");
    ASSERT_TRUE(card->OnSaveDocument(path.c_str()));
    const DWORD fileVersion = U32(StreamBytes(path, L"Contents"), 4);

    TlsSetValue(dwTlsIdxDocVersion, reinterpret_cast<LPVOID>(77));
    auto doc = std::make_unique<CVersionWatchingDoc>();
    ASSERT_TRUE(doc->OnOpenDocument(path.c_str()));
    EXPECT_EQ(static_cast<INT_PTR>(fileVersion), doc->seenHere);
    EXPECT_EQ(0, doc->seenElsewhere);
    EXPECT_EQ(static_cast<int>(fileVersion), doc->GetDocVersion());
    // Outside the load the slot says no load is under way.
    EXPECT_EQ(nullptr, TlsGetValue(dwTlsIdxDocVersion));
    EXPECT_EQ(0, GetLoadingDocumentVersion());
    doc.reset();
    DeleteFileA(path.c_str());
}

struct DocumentOptionsCase {
    int saveCompressed;
    int printBackground;
    int defaultDocStyle;
};

class CardDocumentOptions : public ::testing::TestWithParam<DocumentOptionsCase> {
protected:
    void SetUp() override { ASSERT_TRUE(RegisterCompressedStorage()); }
};

// A new card takes its storage form, its sites' print-background flag and its document style
// from the application's options.
TEST_P(CardDocumentOptions, NewCardsFollowTheApplicationOptions)
{
    const DocumentOptionsCase& c = GetParam();
    COptionsManager options(nullptr, "TarnDocTests", "Engine", "Card");
    ASSERT_EQ(&options, GetOptionsManager());
    options.m_bSaveCompressedData = c.saveCompressed;
    options.m_bPrintBackground = c.printBackground;
    options.m_nDefaultDocStyle = c.defaultDocStyle;

    auto card = NewSampleCard(1);
    EXPECT_EQ(c.saveCompressed != 0, card->IsSaveCompressedData() != FALSE);
    EXPECT_EQ(c.defaultDocStyle, card->GetProperties()->m_docStyleId);
    ASSERT_GT(card->GetSiteNumber(), 0);
    for (int s = 0; s < card->GetSiteNumber(); ++s)
        EXPECT_EQ(c.printBackground != 0, card->GetSiteByIndex(s)->GetBackground()->GetParams()->m_printBackground != FALSE);

    const std::string path = TempCardPath("options");
    ASSERT_TRUE(card->OnSaveDocument(path.c_str())) << card->GetLastReport();
    const auto contents = StreamBytes(path, L"Contents");
    ASSERT_GE(contents.size(), 8u);
    EXPECT_EQ(c.saveCompressed == 0, std::memcmp(contents.data(), "TARN", 4) == 0);
    // Either form opens into the same card.
    auto reopened = Open(path);
    ASSERT_TRUE(reopened);
    ExpectSameCard(*card, *reopened);
    reopened.reset();
    DeleteFileA(path.c_str());
}

INSTANTIATE_TEST_SUITE_P(OnAndOff, CardDocumentOptions,
                         ::testing::Values(DocumentOptionsCase{1, 0, 0}, DocumentOptionsCase{0, 1, 3},
                                           DocumentOptionsCase{0, 0, 0}, DocumentOptionsCase{1, 1, 2}));

TEST(CardDocumentOptionsAbsent, WithoutOptionsCardsAreCompressedAndAskedForFormWins)
{
    ASSERT_EQ(nullptr, GetOptionsManager());
    CTestCardDoc card;
    EXPECT_TRUE(card.IsSaveCompressedData());
    CTarnDocProperties properties;
    EXPECT_EQ(0, properties.m_docStyleId);

    COptionsManager options(nullptr, "TarnDocTests", "Engine", "Card");
    options.m_bSaveCompressedData = 1;
    card.SetSaveCompressedData(FALSE);
    EXPECT_FALSE(card.IsSaveCompressedData());
}

bool HasStream(const std::string& path, const wchar_t* name)
{
    const std::wstring wide(path.begin(), path.end());
    IStorage* storage = nullptr;
    if (FAILED(StgOpenStorage(wide.c_str(), nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, nullptr, 0, &storage)))
        return false;
    IStream* stream = nullptr;
    const bool found = SUCCEEDED(storage->OpenStream(name, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &stream));
    if (stream)
        stream->Release();
    storage->Release();
    return found;
}

TEST(CardSummary, TravelsInThePropertySetsAndTheRevisionAdvancesOnItsOwnFile)
{
    ASSERT_TRUE(RegisterCompressedStorage());
    for (const bool compressed : {true, false}) {
        SCOPED_TRACE(compressed ? "compressed" : "plain");
        auto card = NewSampleCard(1);
        card->SetSaveCompressedData(compressed);
        CTarnDocProperties& summary = *card->GetProperties();
        summary.m_strTitle = "Harbour";
        summary.m_strCompany = "Tarn Works";
        summary.m_strRevNumber = "7";
        const std::string path = TempCardPath("summary");
        ASSERT_TRUE(card->OnSaveDocument(path.c_str()));
        EXPECT_STREQ("7", summary.m_strRevNumber) << "a new file starts the sets: no advance";
        EXPECT_TRUE(HasStream(path, L"\005SummaryInformation"));
        EXPECT_TRUE(HasStream(path, L"\005DocumentSummaryInformation"));

        auto reopened = Open(path);
        ASSERT_TRUE(reopened);
        reopened->SetSaveCompressedData(compressed);
        EXPECT_STREQ("Harbour", reopened->GetProperties()->m_strTitle);
        EXPECT_STREQ("Tarn Works", reopened->GetProperties()->m_strCompany);
        EXPECT_STREQ("7", reopened->GetProperties()->m_strRevNumber);
        EXPECT_EQ(0u, reopened->GetProperties()->m_LastPrinted.dwLowDateTime | reopened->GetProperties()->m_LastPrinted.dwHighDateTime)
            << "never printed";
        ASSERT_TRUE(reopened->OnSaveDocument(path.c_str()));
        EXPECT_STREQ("8", reopened->GetProperties()->m_strRevNumber);
        reopened.reset();
        auto again = Open(path);
        ASSERT_TRUE(again);
        EXPECT_STREQ("8", again->GetProperties()->m_strRevNumber);
        EXPECT_STREQ("Harbour", again->GetProperties()->m_strTitle);
        again.reset();
        DeleteFileA(path.c_str());
    }
}

TEST(CardSummary, ViewerCopiesCarryNoSummaryAndDuplicatesKeepIt)
{
    ASSERT_TRUE(RegisterCompressedStorage());
    auto card = NewSampleCard(1);
    card->GetProperties()->m_strTitle = "Harbour";
    card->GetProperties()->m_strRevNumber = "3";
    card->SetFlag_SaveForViewer(1);
    const std::string path = TempCardPath("viewer");
    ASSERT_TRUE(card->OnSaveDocument(path.c_str()));
    EXPECT_FALSE(HasStream(path, L"\005SummaryInformation"));
    EXPECT_FALSE(HasStream(path, L"\005DocumentSummaryInformation"));
    EXPECT_TRUE(HasStream(path, L"Contents"));
    DeleteFileA(path.c_str());

    CTarnDocProperties copy;
    copy.m_strRevNumber = "11";
    copy.Duplicate(card->GetProperties());
    EXPECT_STREQ("Harbour", copy.m_strTitle);
    EXPECT_STREQ("11", copy.m_strRevNumber) << "the revision belongs to the file, not the copy";
}

}  // namespace

namespace {

// A document style of the test library: site styles and page styles by index into the library.
CTarnDocStyle* AddDocStyle(CTarnStyleLib& library, int id, std::vector<int> siteStyles, std::vector<int> pageStyles)
{
    CTarnDocStyle* style = library.CreateDocStyle();
    style->m_nID = id;
    for (int s : siteStyles)
        style->m_SiteStyles.push_back(static_cast<CTarnSiteStyle*>(library.m_SiteStyles[s]));
    for (int p : pageStyles)
        style->m_PageStyles.push_back(static_cast<CTarnPageStyle*>(library.m_PageStyles[p]));
    library.m_DocStyles.Add(style);
    return style;
}

// A new card gets the default style's page placing its one site, and the site follows the page's
// paper and margins.
TEST(CardStyles, NewCardsGetTheDefaultStylesPages)
{
    ASSERT_TRUE(RegisterCompressedStorage());
    CDefaultStyleOptions options;
    CTestCardDoc doc;
    ASSERT_TRUE(doc.OnNewDocument());
    ASSERT_EQ(1, doc.GetSiteNumber());
    ASSERT_EQ(1, doc.GetPageCount());
    CTarnPage* page = doc.GetPage(0);
    EXPECT_EQ(8.5, page->GetProperties()->m_width);
    EXPECT_EQ(11.0, page->GetProperties()->m_height);
    ASSERT_EQ(1, page->GetSitesCount());
    EXPECT_EQ(doc.GetSiteByIndex(0), page->GetSitePosInfo(0)->GetSite());
    EXPECT_TRUE(page->IsSiteOnPage(doc.GetSiteByIndex(0)->GetID()));
    EXPECT_EQ(CRectF(0, 0, 6.5, 9), doc.GetSiteByIndex(0)->GetBackground()->GetParams()->m_rect);
    EXPECT_EQ(1, doc.GetSiteByIndex(0)->GetBackground()->GetParams()->m_printOutline)
        << "a page that doesn't override the page setup prints the site's outline";
    EXPECT_STREQ("Default", doc.GetSiteByIndex(0)->GetProperties()->m_siteName);
}

// A style's site count wins for a card laid out anew; a card read from a file that gets the
// default style's pages keeps every site it holds.
TEST(CardStyles, SitesFollowTheStyleButLoadedCardsKeepTheirs)
{
    ASSERT_TRUE(RegisterCompressedStorage());
    CDefaultStyleOptions options;
    CTarnStyleLib& library = *options.m_pStyleLib;
    CTarnSiteStyle* narrow = library.CreateSiteStyle();
    narrow->m_nID = 7;
    narrow->m_strName = "Narrow";
    library.m_SiteStyles.Add(narrow);
    CTarnPageStyle* wide = library.CreatePageStyle();
    wide->m_nID = 3;
    wide->m_Size = tagSizeF{11.0, 8.5};
    wide->m_Margins = tagRectF{0.5, 0.25, 0.75, 1.0};
    wide->m_bOverridePageSetup = true;
    for (CTarnSiteStyle* siteStyle : {static_cast<CTarnSiteStyle*>(library.m_SiteStyles[0]), narrow}) {
        CSitePosStyle* position = wide->CreateSiteInfo();
        position->m_pSiteStyle = siteStyle;
        position->m_Pos = tagPointF{siteStyle == narrow ? 5.0 : 0.0, 0.0};
        position->m_dRotateAngle = siteStyle == narrow ? 3.14159 : 0.0;
        wide->m_SitePositions.Add(position);
    }
    library.m_PageStyles.Add(wide);
    const CTarnDocStyle* two = AddDocStyle(library, 5, {0, 1}, {1, 0});

    auto doc = NewSampleCard(1);  // three sites, the default page and two of the sample
    ASSERT_EQ(3, doc->GetSiteNumber());
    doc->SetStyleWOUndo(two);
    ASSERT_EQ(2, doc->GetSiteNumber()) << "the third site has no place in the style";
    EXPECT_EQ(5, doc->GetProperties()->m_docStyleId);
    EXPECT_EQ(7, doc->GetSiteByIndex(1)->GetProperties()->m_styleId);
    EXPECT_STREQ("Narrow", doc->GetSiteByIndex(1)->GetProperties()->m_siteName);
    ASSERT_EQ(2, doc->GetPageCount()) << "the pages are made anew";
    CTarnPage* page = doc->GetPage(0);
    EXPECT_EQ(11.0, page->GetProperties()->m_width);
    EXPECT_EQ(0.25, page->GetProperties()->m_margins.top);
    ASSERT_EQ(2, page->GetSitesCount());
    EXPECT_EQ(doc->GetSiteByIndex(1)->GetID(), page->GetSitePosInfo(1)->m_siteId);
    EXPECT_EQ(5.0, page->GetSitePosInfo(1)->m_position.x);
    EXPECT_EQ(3.14159, page->GetSitePosInfo(1)->m_rotateAngle);
    CBackgroundParams* params = doc->GetSiteByIndex(1)->GetBackground()->GetParams();
    EXPECT_EQ(CRectF(0, 0, 11.0 - 0.5 - 0.75, 8.5 - 0.25 - 1.0), params->m_rect);
    EXPECT_EQ(0, params->m_printOutline) << "the page overrides the page setup";

    // Saved and read back the card has its pages.
    const std::string path = TempCardPath("styled");
    ASSERT_TRUE(doc->OnSaveDocument(path.c_str()));
    auto reopened = Open(path);
    ASSERT_TRUE(reopened);
    ExpectSameCard(*doc, *reopened);
    reopened.reset();

    // Read without pages, the card gets the default style's page (one site style) and keeps both
    // of its sites.
    doc->GetPageList()->RemoveAll();
    ASSERT_TRUE(doc->OnSaveDocument(path.c_str()));
    reopened = Open(path);
    ASSERT_TRUE(reopened);
    EXPECT_EQ(2, reopened->GetSiteNumber());
    ASSERT_EQ(1, reopened->GetPageCount());
    EXPECT_EQ(8.5, reopened->GetPage(0)->GetProperties()->m_width);
    EXPECT_EQ(0, reopened->GetProperties()->m_docStyleId);
    reopened.reset();
    DeleteFileA(path.c_str());
}

// A placement answers for its site only while the document has it: removing a site takes its
// placement off the last page placing it, and the earlier page's stale placement places no site.
TEST(CardModel, PagesAnswerOnlyForSitesThatStillExist)
{
    ASSERT_TRUE(RegisterCompressedStorage());
    auto doc = NewSampleCard(1);
    CTarnSite* third = doc->GetSiteByIndex(2);
    const int id = third->GetID();
    ASSERT_TRUE(doc->GetPage(0)->IsSiteOnPage(id));
    ASSERT_TRUE(doc->GetPage(1)->IsSiteOnPage(id));
    doc->RemoveSite(third);
    EXPECT_EQ(1, doc->GetPage(1)->GetSitesCount());
    ASSERT_EQ(2, doc->GetPage(0)->GetSitesCount());
    EXPECT_FALSE(doc->GetPage(0)->IsSiteOnPage(id));
    EXPECT_EQ(nullptr, doc->GetPage(0)->GetSitePosInfo(1)->GetSite());
    EXPECT_EQ(doc->GetSiteByIndex(0), doc->GetPage(0)->GetSitePosInfo(0)->GetSite());
}

// Undo records hold their sites: the document clears every site's records before letting go,
// so a site kept alive elsewhere holds none.
TEST(CardModel, TheDocumentClearsTheUndoOfItsSitesWhenItEnds)
{
    ASSERT_TRUE(RegisterCompressedStorage());
    CTarnSite* kept = nullptr;
    {
        auto doc = NewSampleCard(1);
        kept = doc->GetSiteByIndex(1);
        kept->AddRef();
        ASSERT_GT(kept->GetUndoManager()->GetUndoCount(), 0u) << "the sample's background changes are undoable";
    }
    EXPECT_EQ(0u, kept->GetUndoManager()->GetUndoCount());
    EXPECT_EQ(0u, kept->GetUndoManager()->GetRedoCount());
    kept->Release();
}

}  // namespace

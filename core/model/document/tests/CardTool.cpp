// Helper of the independent card check:
// The tool's application has the default styles, so new cards and cards without pages get the
// default style's pages.
//   tarn-cardtool make <card> <compressed 0|1> [unit]   writes the sample card, its previews
//                                                described in the unit (short name; inches by default)
//   tarn-cardtool pack <contents file> <card>    writes a compound file whose "Contents" holds the bytes
//   tarn-cardtool open <card>                    opens the card and prints what the document holds
//   tarn-cardtool resave <card>                  opens the card and saves it over its own file
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "CardFixtures.h"
#include "CardControls.h"
#include "MeasurementUnits.h"
#include "TarnBackground.h"
#include "TarnPage.h"
#include "TarnSite.h"

namespace {

int Make(const char* path, bool compressed, const char* unit)
{
    if (unit && !SetDefaultMeasurementUnitByShortName(unit)) {
        std::printf("unknown unit %s\n", unit);
        return 2;
    }
    const MeasurementUnit* chosen = GetDefaultMeasurementUnit();
    std::printf("unit %s\n", chosen ? chosen->Name : "");
    CTestCardDoc doc;
    if (!doc.OnNewDocument())
        return 2;
    FillSampleCard(doc);
    CTarnDocProperties& summary = *doc.GetProperties();
    summary.m_strTitle = "Sample card";
    summary.m_strSubject = "Checks";
    summary.m_strKeywords = "cards; tests";
    summary.m_strComments = "";
    summary.m_strRevNumber = "7";
    summary.m_strCategory = "Tests";
    summary.m_strManager = "Lead";
    summary.m_strCompany = "Tarn Works";
    summary.m_strExtraText = "extra";
    // Two minutes of earlier editing, in 100-nanosecond ticks.
    summary.m_EditTime.dwLowDateTime = 1200000000u;
    doc.SetSaveCompressedData(compressed);
    if (!doc.OnSaveDocument(path)) {
        std::printf("refused: %s\n", static_cast<LPCSTR>(doc.GetLastReport()));
        return 1;
    }
    return 0;
}

int Pack(const char* contentsPath, const char* cardPath)
{
    const std::vector<unsigned char> contents = FileBytes(contentsPath);
    std::wstring wide(cardPath, cardPath + std::strlen(cardPath));
    IStorage* storage = nullptr;
    if (FAILED(StgCreateDocfile(wide.c_str(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, &storage)))
        return 2;
    IStream* stream = nullptr;
    HRESULT hr = storage->CreateStream(L"Contents", STGM_CREATE | STGM_WRITE | STGM_SHARE_EXCLUSIVE, 0, 0, &stream);
    if (SUCCEEDED(hr)) {
        ULONG written = 0;
        hr = stream->Write(contents.data(), static_cast<ULONG>(contents.size()), &written);
        stream->Release();
    }
    storage->Release();
    return SUCCEEDED(hr) ? 0 : 2;
}

int Open(const char* path)
{
    CTestCardDoc doc;
    if (!doc.OnOpenDocument(path)) {
        std::printf("refused: %s\n", doc.messages.empty() ? "" : doc.messages[0].c_str());
        return 1;
    }
    std::printf("version %d\n", doc.GetDocVersion());
    std::printf("sites %d\n", doc.GetSiteNumber());
    for (int s = 0; s < doc.GetSiteNumber(); ++s) {
        CTarnSite* site = doc.GetSiteByIndex(s);
        const CBackgroundParams* p = site->GetBackground()->GetParams();
        std::printf("site %d color %d image %d controls %d", site->GetID(), p->m_color, p->m_imageType,
                    site->GetControlCount());
        for (int c = 0; c < site->GetControlCount(); ++c)
            std::printf(" %ld", LabelOf(site->GetControlAt(c)));
        std::printf("\n");
    }
    std::printf("pages %d\n", doc.GetPageCount());
    for (int i = 0; i < doc.GetPageCount(); ++i) {
        CTarnPage* page = doc.GetPage(i);
        std::printf("page %.17g %.17g placements %d", page->GetProperties()->m_width, page->GetProperties()->m_height,
                    page->GetSitesCount());
        for (int k = 0; k < page->GetSitesCount(); ++k)
            std::printf(" %d@%.17g,%.17g", page->GetSitePosInfo(k)->m_siteId, page->GetSitePosInfo(k)->m_position.x,
                        page->GetSitePosInfo(k)->m_position.y);
        std::printf("\n");
    }
    std::printf("header %s\n", static_cast<LPCSTR>(doc.GetProperties()->m_htmlHeader));
    std::printf("title %s\n", static_cast<LPCSTR>(doc.GetProperties()->m_strTitle));
    std::printf("revision %s\n", static_cast<LPCSTR>(doc.GetProperties()->m_strRevNumber));
    return 0;
}

int Resave(const char* path)
{
    CTestCardDoc doc;
    if (!doc.OnOpenDocument(path))
        return 1;
    doc.SetPathName(path, FALSE);
    return doc.OnSaveDocument(path) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    CoInitialize(nullptr);
    int result = 2;
    {
        TestControlClasses classes;
        CDefaultStyleOptions options;
        LoadMeasurementUnits(1033);
        if (!RegisterCompressedStorage()) {
            std::fprintf(stderr, "Mosk.dll not found\n");
        } else if ((argc == 4 || argc == 5) && std::strcmp(argv[1], "make") == 0) {
            result = Make(argv[2], std::strcmp(argv[3], "1") == 0, argc == 5 ? argv[4] : nullptr);
        } else if (argc == 4 && std::strcmp(argv[1], "pack") == 0) {
            result = Pack(argv[2], argv[3]);
        } else if (argc == 3 && std::strcmp(argv[1], "open") == 0) {
            result = Open(argv[2]);
        } else if (argc == 3 && std::strcmp(argv[1], "resave") == 0) {
            result = Resave(argv[2]);
        } else {
            std::fprintf(stderr, "usage: tarn-cardtool make|pack|open ...\n");
        }
    }
    std::fflush(stdout);
    CoUninitialize();
    return result;
}

// Writes a compound file with the summary property sets of known document properties, for the
// independent reader.
#include <objbase.h>

#include <cstdio>
#include <string>

#include "DocSummaryInfo.h"

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: tarn_summary_fixture <file>\n");
        return 2;
    }
    CoInitialize(nullptr);
    const std::wstring path(argv[1], argv[1] + std::char_traits<char>::length(argv[1]));
    IStorage* storage = nullptr;
    HRESULT hr = StgCreateDocfile(path.c_str(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, &storage);
    if (FAILED(hr)) {
        std::fprintf(stderr, "cannot create %s: 0x%lx\n", argv[1], static_cast<unsigned long>(hr));
        return 1;
    }
    CDocSummaryInfo info;
    info.m_strTitle = "Birthday card";
    info.m_strSubject = "For Ann";
    info.m_strAuthor = "Carol";
    info.m_strKeywords = "cake, candles";
    info.m_strComments = "Folded in four";
    info.m_strTemplate = "Quarter.krt";
    info.m_strRevNumber = "";
    info.m_nPageCount = 2;
    info.m_strAppName = "Card Studio";
    info.m_nSecurity = 0;
    info.m_strCategory = "Greetings";
    info.m_strManager = "Dave";
    info.m_strCompany = "Tarn Works";
    // Two hours of editing before this session.
    const ULONGLONG twoHours = 2ull * 3600ull * 10000000ull;
    info.m_EditTime.dwLowDateTime = static_cast<DWORD>(twoHours);
    info.m_EditTime.dwHighDateTime = static_cast<DWORD>(twoHours >> 32);
    info.SaveToPropStg(storage);
    storage->Commit(STGC_DEFAULT);
    storage->Release();
    CoUninitialize();
    std::printf("written\n");
    return 0;
}

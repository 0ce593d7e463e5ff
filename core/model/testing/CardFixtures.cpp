#include "CardFixtures.h"

#include <cstdio>

#include "CardControls.h"
#include "ClException.h"
#include "StyleLibrary.h"
#include "TarnBackground.h"
#include "TarnPage.h"
#include "TarnSite.h"

namespace {
// {9DEA5AE7-4CD1-4922-ADED-216AE1727DB3} ZStream, {8A22656D-3F49-4561-B6E6-F1E6967E1527} ZStorage
const CLSID kZStream = {0x9dea5ae7, 0x4cd1, 0x4922, {0xad, 0xed, 0x21, 0x6a, 0xe1, 0x72, 0x7d, 0xb3}};
const CLSID kZStorage = {0x8a22656d, 0x3f49, 0x4561, {0xb6, 0xe6, 0xf1, 0xe6, 0x96, 0x7e, 0x15, 0x27}};
}  // namespace

const std::vector<KnownControl>& CTestCardDoc::GetKnownControls() const
{
    static const std::vector<KnownControl> known = {{101, 201, CLSID_CardTestControl}};
    return known;
}

void CTestCardDoc::AfterSerialize(CArchive& ar)
{
    if (ar.IsStoring() && failNextSave) {
        failNextSave = false;
        AfxThrowFileException(CFileException::diskFull);
    }
}

CDefaultStyleOptions::CDefaultStyleOptions() : COptionsManager(nullptr, "TarnCardTests", "Engine", "Card")
{
    m_pStyleLib = CreateStyleLib();
    m_pStyleLib->EnsureDefaultStyles();
}

bool RegisterCompressedStorage()
{
    static bool done = false;
    static bool ok = false;
    if (done)
        return ok;
    done = true;
    HMODULE mosk = LoadLibraryA("Mosk.dll");
    if (!mosk)
        return false;
    typedef HRESULT(STDAPICALLTYPE * GetClassObject)(REFCLSID, REFIID, void**);
    auto get = reinterpret_cast<GetClassObject>(GetProcAddress(mosk, "DllGetClassObject"));
    if (!get)
        return false;
    ok = true;
    for (const CLSID* clsid : {&kZStream, &kZStorage}) {
        IUnknown* factory = nullptr;
        DWORD cookie = 0;
        if (FAILED(get(*clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory))) ||
            FAILED(CoRegisterClassObject(*clsid, factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie)))
            ok = false;
        if (factory)
            factory->Release();
    }
    return ok;
}

void FillSampleCard(CTarnDoc& doc, int controlsPerSite)
{
    while (doc.GetSiteNumber() < 3) {
        CTarnSite* site = doc.CreateNewSite(doc.GetSiteNumber());
        site->InitNew();
        site->SetMaster(&doc, doc.GetSiteNumber());
        doc.AddSite(site);
    }
    for (int s = 0; s < doc.GetSiteNumber(); ++s) {
        CTarnSite* site = doc.GetSiteByIndex(s);
        site->GetBackground()->SetColor(0x102030 * (s + 1), FALSE);
        site->GetBackground()->SetImageLayout(s % 4, 1.5, 0.5, s % 2);
        for (int c = 0; c < controlsPerSite; ++c) {
            IBaseControl* control = NewCardControl(1000 * s + c);
            site->InsertControlWOUndo(control, -1);
            control->Release();
        }
        if (controlsPerSite >= 2)
            ReferTo(site->GetControlAt(0), site->GetControlAt(controlsPerSite - 1), false);
    }
    for (int p = 0; p < 2; ++p) {
        CTarnPage* page = doc.CreateNewPage(p);
        page->InitNew();
        page->GetProperties()->m_width = 8.5 + p;
        page->AddSiteInfo(doc.GetSiteByIndex(p)->GetID(), tagPointF{0.25 * p, 0.5}, 0);
        page->AddSiteInfo(doc.GetSiteByIndex(2)->GetID(), tagPointF{1.0, 2.0 + p}, 0);
        doc.AddPage(page);
    }
    doc.GetProperties()->m_htmlHeader = "<h1>card</h1>";
}

std::vector<unsigned char> FileBytes(const std::string& path)
{
    std::vector<unsigned char> bytes;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return bytes;
    unsigned char buffer[65536];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        bytes.insert(bytes.end(), buffer, buffer + got);
    std::fclose(f);
    return bytes;
}

void WriteFileBytes(const std::string& path, const std::vector<unsigned char>& bytes)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return;
    if (!bytes.empty())
        std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

std::vector<unsigned char> StreamBytes(const std::string& path, const wchar_t* name)
{
    std::vector<unsigned char> bytes;
    std::wstring wide(path.begin(), path.end());
    IStorage* storage = nullptr;
    if (FAILED(StgOpenStorage(wide.c_str(), nullptr, STGM_READ | STGM_SHARE_DENY_WRITE, nullptr, 0, &storage)))
        return bytes;
    IStream* stream = nullptr;
    if (SUCCEEDED(storage->OpenStream(name, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &stream))) {
        unsigned char buffer[65536];
        ULONG got = 0;
        while (SUCCEEDED(stream->Read(buffer, sizeof buffer, &got)) && got > 0)
            bytes.insert(bytes.end(), buffer, buffer + got);
        stream->Release();
    }
    storage->Release();
    return bytes;
}

std::string TempCardPath(const char* stem)
{
    // Each test program keeps its cards in a folder of its own: the save's temporary files are
    // counted per folder, and test programs run side by side.
    static int counter = 0;
    char temp[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, temp);
    char folder[MAX_PATH * 2];
    std::snprintf(folder, sizeof folder, "%scards-%lu\\", temp, GetCurrentProcessId());
    CreateDirectoryA(folder, nullptr);
    char name[MAX_PATH * 3];
    std::snprintf(name, sizeof name, "%s%s-%d.crd", folder, stem, ++counter);
    DeleteFileA(name);
    return name;
}

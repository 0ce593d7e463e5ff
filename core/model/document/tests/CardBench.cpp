// Prints how long saving and opening a card with 1,000 controls takes, compressed and plain.
#include <cstdio>

#include "CardControls.h"
#include "CardFixtures.h"
#include "TarnSite.h"

namespace {

double Now()
{
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void Run(bool compressed, int controls, int rounds)
{
    CTestCardDoc card;
    card.OnNewDocument();
    card.m_bRemember = FALSE;
    CTarnSite* site = card.GetSiteByIndex(0);
    for (int i = 0; i < controls; ++i) {
        IBaseControl* control = NewCardControl(i);
        site->InsertControlWOUndo(control, -1);
        control->Release();
    }
    card.SetSaveCompressedData(compressed);
    const std::string path = TempCardPath("bench");
    double save = 0, open = 0;
    for (int r = 0; r < rounds; ++r) {
        double start = Now();
        card.OnSaveDocument(path.c_str());
        save += Now() - start;
        start = Now();
        {
            CTestCardDoc reader;
            reader.OnOpenDocument(path.c_str());
            if (reader.GetSiteByIndex(0)->GetControlCount() != controls)
                std::printf("reopened card lost controls\n");
        }
        open += Now() - start;
    }
    const auto size = FileBytes(path).size();
    DeleteFileA(path.c_str());
    std::printf("%-12s %5d controls: save %8.2f ms, open %8.2f ms, file %zu bytes\n",
                compressed ? "compressed" : "plain", controls, 1000 * save / rounds, 1000 * open / rounds, size);
}

}  // namespace

int main()
{
    CoInitialize(nullptr);
    {
        TestControlClasses classes;
        if (!RegisterCompressedStorage()) {
            std::printf("Mosk.dll not found\n");
            return 1;
        }
        for (bool compressed : {false, true})
            Run(compressed, 1000, 5);
    }
    CoUninitialize();
    return 0;
}

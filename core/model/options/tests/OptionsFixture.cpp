// Stores a known set of options and styles under the family root given on the command line, for
// the independent check of the registry layout.
#include <cstdio>

#include "OptionsManager.h"
#include "StyleLibrary.h"

namespace {

class FixtureOptions : public COptionsManager {
public:
    explicit FixtureOptions(const char* family) : COptionsManager(nullptr, family, "Engine", "Card") { Initialize(); }

protected:
    void ReportStoreFailure() override { std::fprintf(stderr, "storing failed\n"); }
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: tarn_options_fixture <family root>\n");
        return 2;
    }
    FixtureOptions options(argv[1]);
    options.m_dZoomFactor = 1.5;
    options.m_DuplicateOffset = CPointF(0.5, -2.0);
    options.m_dGridMajorSpacing = 0.3;
    options.m_nRecentFilesNum = 7;
    options.m_strTemplatesLocation = "C:\\Templates";
    options.m_MRUFonts = {"Arial", "Verdana"};
    options.VC_SetValue("ImageClipartDir", "C:\\Clips", 0, 1);
    options.VC_SetValue("Pattern", "\x01\x02\xFF", 3, 1, 1);
    auto* printer = dynamic_cast<CPrinterCalibrationItem*>(options.GetOptionsForPrinter("Laser"));
    printer->m_OffsetPoint = CPointF(0.125, 0.75);

    CTarnStyleLib* library = options.m_pStyleLib;
    library->EnsureDefaultStyles();
    for (int i = 1; i < 10; ++i) {
        CTarnPageStyle* page = library->CreatePageStyle();
        page->m_nID = i;
        page->m_strName.Format("Page %d", i);
        library->m_PageStyles.Add(page);
    }
    library->SetModified(true);

    bool ok = options.StoreOptions(1, nullptr) && options.StoreOptions(0, nullptr) &&
              options.StoreOptions(1, "Card") && options.StoreOptions(0, "Card") && options.StoreStyleLibrary();
    std::printf("%s\n", ok ? "stored" : "failed");
    return ok ? 0 : 1;
}

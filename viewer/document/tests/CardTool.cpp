// Test helper for the independent check of card reading:
//   pavane-cardtool pack <contents file> <card file>   writes a compound file whose "Contents" holds the bytes
//   pavane-cardtool dump <card file>                   reads the card and prints what the viewer made of it
#include "ViewerDoc.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

bool ReadFile(const char* path, std::vector<BYTE>& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

int Pack(const char* contentsPath, const char* cardPath)
{
    std::vector<BYTE> contents;
    if (!ReadFile(contentsPath, contents)) {
        std::fprintf(stderr, "cannot read %s\n", contentsPath);
        return 2;
    }
    WCHAR widePath[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, cardPath, -1, widePath, MAX_PATH);
    IStorage* storage = nullptr;
    HRESULT hr = StgCreateDocfile(widePath, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, &storage);
    if (FAILED(hr)) {
        std::fprintf(stderr, "cannot create %s: 0x%08lx\n", cardPath, hr);
        return 2;
    }
    IStream* stream = nullptr;
    hr = storage->CreateStream(L"Contents", STGM_CREATE | STGM_WRITE | STGM_SHARE_EXCLUSIVE, 0, 0, &stream);
    ULONG written = 0;
    if (SUCCEEDED(hr)) {
        hr = stream->Write(contents.data(), static_cast<ULONG>(contents.size()), &written);
        stream->Release();
    }
    if (SUCCEEDED(hr))
        hr = storage->Commit(STGC_DEFAULT);
    storage->Release();
    if (FAILED(hr) || written != contents.size()) {
        std::fprintf(stderr, "cannot write Contents: 0x%08lx\n", hr);
        return 2;
    }
    return 0;
}

int Dump(const char* cardPath)
{
    std::vector<BYTE> card;
    if (!ReadFile(cardPath, card)) {
        std::fprintf(stderr, "cannot read %s\n", cardPath);
        return 2;
    }
    CCardViewerDoc doc;
    const CardLoadResult result = doc.LoadCardFile(card.data(), card.size());
    std::printf("result %d\n", static_cast<int>(result));
    std::printf("document printbackground %d stored %d\n", doc.GetProperties()->GetPrintBackground(),
                doc.GetProperties()->HasStoredPrintBackground() ? 1 : 0);
    for (size_t i = 0; i < doc.GetSiteCount(); ++i) {
        const CViewerSite& site = doc.GetSiteByIndex(i);
        const auto& background = static_cast<const CCardViewerBackground&>(*site.GetBackground());
        std::printf("site %d name \"%s\" rect %.17g %.17g %.17g %.17g margins %.17g %.17g %.17g %.17g "
                    "color %lu printbackground %d imagetype %d hotspots %u controls %u icon %u\n",
                    site.GetID(), site.GetSiteProperties()->GetName().c_str(), background.rect.left,
                    background.rect.top, background.rect.right, background.rect.bottom, background.margins.left,
                    background.margins.top, background.margins.right, background.margins.bottom,
                    static_cast<unsigned long>(background.color), background.printBackground, background.imageType,
                    static_cast<unsigned>(background.GetHotSpots().size()),
                    static_cast<unsigned>(site.GetControls().size()),
                    site.GetSiteProperties()->GetIcon()
                        ? static_cast<unsigned>(site.GetSiteProperties()->GetIcon()->GetImage().size())
                        : 0u);
    }
    for (size_t p = 0; p < doc.GetPageCount(); ++p) {
        const auto& page = static_cast<const CCardViewerPage&>(doc.GetPage(p));
        const CPageGeometry g = page.GetGeometry();
        const CCardViewerPageProperties* card = page.GetProperties();
        std::printf("page %u size %.17g %.17g margins %.17g %.17g %.17g %.17g spacing %.17g front %d fold %d\n",
                    static_cast<unsigned>(p), g.width, g.height, g.leftMargin, g.topMargin, g.rightMargin,
                    g.bottomMargin, card ? card->spacing : 0.0, card ? card->frontSide : 0, card ? card->foldLine : 0);
        for (size_t i = 0; i < page.GetPlacementCount(); ++i) {
            const CViewerPlacement& placement = page.GetPlacement(i);
            std::printf("placement %u site %d at %.17g %.17g angle %.17g\n", static_cast<unsigned>(p), placement.siteId,
                        placement.x, placement.y, placement.angle);
        }
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::string(argv[1]) == "pack")
        return Pack(argv[2], argv[3]);
    if (argc == 3 && std::string(argv[1]) == "dump")
        return Dump(argv[2]);
    std::fprintf(stderr, "usage: pavane-cardtool pack <contents> <card> | dump <card>\n");
    return 1;
}

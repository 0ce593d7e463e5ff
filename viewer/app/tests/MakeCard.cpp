// Writes the fixture card of the viewer's tests: three panels on two sides, "Contents" compressed.
//   pavane-make-card <card file> [--large | --sites <count>]
// With --large the first panel's icon is a picture of incompressible pixels, so that the card file spans
// three resource chunks of a viewer program.
#include "CardComposer.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

cardbytes::Bytes NoisyBitmapFile(int width, int height)
{
    using namespace cardbytes;
    const uint32_t stride = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
    const uint32_t imageSize = stride * static_cast<uint32_t>(height);
    Bytes file;
    Append(file, "BM", 2);
    PutU32(file, 54 + imageSize);
    PutU32(file, 0);
    PutU32(file, 54);
    PutU32(file, 40);
    PutU32(file, static_cast<uint32_t>(width));
    PutU32(file, static_cast<uint32_t>(height));
    PutU16(file, 1);
    PutU16(file, 24);
    PutU32(file, 0);
    PutU32(file, imageSize);
    PutU32(file, 2835);
    PutU32(file, 2835);
    PutU32(file, 0);
    PutU32(file, 0);
    uint32_t state = 0x2545F491u;
    for (uint32_t i = 0; i < imageSize; ++i) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        file.push_back(static_cast<BYTE>(state));
    }
    return file;
}

}  // namespace

int main(int argc, char** argv)
{
    const bool large = argc == 3 && std::strcmp(argv[2], "--large") == 0;
    const int manySites = argc == 4 && std::strcmp(argv[2], "--sites") == 0 ? std::atoi(argv[3]) : 0;
    if (argc != 2 && !large && manySites <= 0) {
        std::fprintf(stderr, "usage: pavane-make-card <card file> [--large]\n");
        return 4;
    }
    using namespace cardcomposer;
    CardPlan card;
    const struct
    {
        int id;
        const char* name;
        COLORREF color;
    } panels[] = {{0, "Front", RGB(250, 220, 120)}, {1, "Inside", RGB(170, 210, 250)}, {2, "Back", RGB(200, 240, 190)}};
    for (const auto& panel : panels) {
        SitePlan site;
        site.id = panel.id;
        site.name = panel.name;
        site.relativeWidth = 0.5;
        site.color = panel.color;
        site.icon = SmallBitmapFile();
        card.sites.push_back(site);
    }
    for (int i = 3; i < manySites; ++i) {
        SitePlan site;
        site.id = i;
        site.name = "Panel " + std::to_string(i + 1);
        card.sites.push_back(site);
    }
    if (large)
        card.sites[0].icon = NoisyBitmapFile(600, 620);
    PagePlan outside;
    outside.width = 11.0;
    outside.height = 8.5;
    outside.placements = {{2, 0.0, 0.0}, {0, 0.5, 0.0}};
    PagePlan inside = outside;
    inside.placements = {{1, 0.5, 0.0}};
    card.pages = {outside, inside};

    const cardbytes::Bytes bytes = ComposeCardFile(card, true);
    FILE* out = std::fopen(argv[1], "wb");
    if (!out || std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 2;
    }
    std::fclose(out);
    return 0;
}

#include "CardComposer.h"
#include "ViewerDoc.h"

#include <gtest/gtest.h>

#include <random>

using namespace cardcomposer;

namespace {

CardPlan RichCard()
{
    CardPlan plan;
    for (int id = 0; id < 3; ++id) {
        SitePlan site;
        site.id = id;
        site.relativeHeight = 0.5;
        site.controls = {kTextControl, kFigureControl};
        site.storeHotSpots = id == 0;
        site.hotSpots = {{1, 2}};
        if (id == 1)
            site.icon = SmallBitmapFile();
        plan.sites.push_back(site);
    }
    PagePlan front;
    front.placements = {{0, 0, 0}, {1, 0, 0.5}};
    PagePlan back;
    back.frontSide = 0;
    back.placements = {{2, 0, 0}};
    plan.pages = {front, back};
    plan.storePrintBackgnd = true;
    return plan;
}

// Damage the way files get damaged: flipped bits, overwritten values, lost and repeated bytes.
Bytes Mutate(const Bytes& original, std::mt19937& random)
{
    Bytes bytes = original;
    auto at = [&](size_t size) { return std::uniform_int_distribution<size_t>(0, size - 1)(random); };
    switch (random() % 6) {
    case 0:
        for (int i = 0, n = 1 + random() % 4; i < n; ++i)
            bytes[at(bytes.size())] ^= static_cast<BYTE>(1u << (random() % 8));
        break;
    case 1: {
        // A length, count or tag turned into a large or boundary value.
        const uint32_t values[] = {0, 1, 0x7FFF, 0x8000, 0xFFFF, 0x40000000, 0x7FFFFFFF, 0xFFFFFFFF};
        const size_t offset = at(bytes.size() - 4);
        const uint32_t value = values[random() % 8];
        std::memcpy(&bytes[offset], &value, random() % 2 ? 4 : 2);
        break;
    }
    case 2:
        bytes.resize(at(bytes.size()));
        break;
    case 3: {
        const size_t from = at(bytes.size()), count = std::min<size_t>(1 + random() % 64, bytes.size() - from);
        bytes.erase(bytes.begin() + from, bytes.begin() + from + count);
        break;
    }
    case 4: {
        const size_t from = at(bytes.size()), count = std::min<size_t>(1 + random() % 64, bytes.size() - from);
        Bytes copy(bytes.begin() + from, bytes.begin() + from + count);
        bytes.insert(bytes.begin() + at(bytes.size()), copy.begin(), copy.end());
        break;
    }
    default:
        bytes[at(bytes.size())] = static_cast<BYTE>(random());
        break;
    }
    return bytes;
}

TEST(CardFuzz, DamagedContentsLoadCleanlyOrAreRefused)
{
    const Bytes contents = ComposeContents(RichCard());
    std::mt19937 random(20261210);
    int loaded = 0, refused = 0;
    for (int i = 0; i < 10000; ++i) {
        const bool compressed = i % 4 == 0;
        const Bytes damaged = Mutate(contents, random);
        Bytes file = CardFileWithContents(damaged, compressed);
        if (compressed && i % 8 == 0) {
            // Damage the frame itself rather than what it holds.
            const Bytes frame = cardbytes::Frame(contents);
            file = cardbytes::CompoundFile({{"Contents", Mutate(frame, random)}});
        }
        CCardViewerDoc doc;
        const CardLoadResult result = doc.LoadCardFile(file.data(), file.size());
        if (result == CardLoadResult::kCardLoaded) {
            ++loaded;
            // Whatever loads is whole enough to be laid out.
            std::unique_ptr<CPlacementList> list = doc.CreatePlacementList();
            doc.FillPlacementList(*list);
            EXPECT_EQ(list->size(), doc.GetPageCount());
        } else {
            ++refused;
            EXPECT_EQ(doc.GetSiteCount(), 0u);
            EXPECT_EQ(doc.GetPageCount(), 0u);
        }
    }
    std::printf("damaged cards: %d loaded, %d refused\n", loaded, refused);
    EXPECT_GT(refused, 5000);
}

TEST(CardFuzz, TruncatedCompoundFilesAreRefusedOrLoaded)
{
    // Only cuts: Wine's compound-file reader loops for ever on some damaged directory trees, which
    // is the platform's to mend, so bytes inside the file are damaged through "Contents" above.
    const Bytes file = ComposeCardFile(RichCard(), true);
    for (size_t cut = 0; cut < file.size(); cut += 97) {
        const Bytes truncated(file.begin(), file.begin() + cut);
        CCardViewerDoc doc;
        const CardLoadResult result = doc.LoadCardFile(truncated.data(), truncated.size());
        // A cut through unused sectors at the end still leaves the whole card.
        EXPECT_EQ(doc.GetSiteCount(), result == CardLoadResult::kCardLoaded ? 3u : 0u) << "cut at " << cut;
        EXPECT_EQ(doc.GetPageCount(), result == CardLoadResult::kCardLoaded ? 2u : 0u) << "cut at " << cut;
    }
}

}  // namespace

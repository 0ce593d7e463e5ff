#include "CardComposer.h"
#include "ViewerDoc.h"

#include <gtest/gtest.h>

#include <string>

using namespace cardcomposer;

namespace {

// A copy of a module carrying the card file as resources of type 21359 named 1, 2, 3 ...
class CCardCarrier
{
public:
    CCardCarrier(const Bytes& card, size_t pieceSize, const std::vector<WORD>& skippedNames = {})
    {
        char folder[MAX_PATH];
        GetTempPathA(MAX_PATH, folder);
        m_path = std::string(folder) + "pavane-card-carrier-" + std::to_string(GetCurrentProcessId()) + ".dll";
        if (!CopyFileA("pavane-card-carrier.dll", m_path.c_str(), FALSE))
            return;
        HANDLE update = BeginUpdateResourceA(m_path.c_str(), TRUE);
        if (!update)
            return;
        WORD name = 1;
        for (size_t at = 0; at < card.size(); at += pieceSize, ++name) {
            while (std::find(skippedNames.begin(), skippedNames.end(), name) != skippedNames.end())
                ++name;
            const size_t size = std::min(pieceSize, card.size() - at);
            UpdateResourceA(update, MAKEINTRESOURCEA(21359), MAKEINTRESOURCEA(name), 0,
                            const_cast<BYTE*>(card.data() + at), static_cast<DWORD>(size));
        }
        if (!EndUpdateResourceA(update, FALSE))
            return;
        m_module = LoadLibraryExA(m_path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    }
    ~CCardCarrier()
    {
        if (m_module)
            FreeLibrary(m_module);
        DeleteFileA(m_path.c_str());
    }
    HMODULE Module() const { return m_module; }

private:
    std::string m_path;
    HMODULE m_module = nullptr;
};

TEST(EmbeddedCard, JoinsThePiecesInNameOrder)
{
    CardPlan plan;
    for (int id = 0; id < 30; ++id) {
        SitePlan site;
        site.id = id;
        site.name = "Panel " + std::to_string(id);
        site.controls = {kTextControl};
        plan.sites.push_back(site);
        PagePlan page;
        page.placements = {{id, 0, 0}};
        plan.pages.push_back(page);
    }
    const Bytes card = ComposeCardFile(plan, true);
    ASSERT_GT(card.size(), 3000u);
    CCardCarrier carrier(card, 1000);
    ASSERT_NE(carrier.Module(), nullptr);

    CCardViewerDoc doc;
    ASSERT_EQ(doc.Load(CViewerDoc::kCardResourceType, 0, carrier.Module()), CardLoadResult::kCardLoaded);
    EXPECT_EQ(doc.GetSiteCount(), 30u);
    EXPECT_EQ(doc.GetPageCount(), 30u);
    EXPECT_EQ(doc.GetSite(29)->GetSiteProperties()->GetName(), "Panel 29");
}

TEST(EmbeddedCard, AGapEndsTheCard)
{
    CardPlan plan;
    plan.sites.resize(20);
    const Bytes card = ComposeCardFile(plan, false);
    // Piece 3 is missing, so the pieces from 4 on are never joined and the card is cut short.
    CCardCarrier carrier(card, 512, {3});
    ASSERT_NE(carrier.Module(), nullptr);
    CCardViewerDoc doc;
    EXPECT_NE(doc.Load(CViewerDoc::kCardResourceType, 0, carrier.Module()), CardLoadResult::kCardLoaded);
    EXPECT_EQ(doc.GetPageCount(), 0u);
}

TEST(EmbeddedCard, ProgramWithoutCardHasNoPages)
{
    CCardViewerDoc doc;
    EXPECT_EQ(doc.Load(CViewerDoc::kCardResourceType, 0), CardLoadResult::kNoCard);
    EXPECT_EQ(doc.GetPageCount(), 0u);
    EXPECT_EQ(doc.GetSiteCount(), 0u);
}

}  // namespace

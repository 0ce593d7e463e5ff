// Saves a new three-panel card (Cover, Greeting, Verse) of the framework's document as a viewer
// program:
//   viewercopy_doc_tool <template> <new program> [--styles]
// With --styles the card is made as the application makes new cards, from its default document
// style: here the three panels, each placed on a letter page of its own. Without, it is made as
// by an application without styles: three sites and no pages.
#include "OptionsManager.h"
#include "SiteRecords.h"
#include "StyleLibrary.h"
#include "TarnDocViewerCopy.h"
#include "TarnSite.h"

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

class CToolCardDoc : public CTarnDoc
{
public:
    explicit CToolCardDoc(int sites) { m_newSiteCount = sites; }
    int ShowMessage(const CString& text, UINT) override
    {
        std::fprintf(stderr, "message: %s\n", static_cast<LPCSTR>(text));
        return IDOK;
    }
};

// Options that touch no registry, with a style library holding the three-panel style as the
// default document style.
class CToolOptions : public COptionsManager
{
public:
    CToolOptions() : COptionsManager(nullptr, "TarnViewerCopyTool", "Engine", "Card")
    {
        m_pStyleLib = CreateStyleLib();
        m_pStyleLib->EnsureDefaultStyles();
        CTarnDocStyle* card = m_pStyleLib->CreateDocStyle();
        card->m_nID = 1;
        card->m_strName = "Three panels";
        const char* names[] = {"Cover", "Greeting", "Verse"};
        for (int i = 0; i < 3; ++i) {
            CTarnSiteStyle* panel = m_pStyleLib->CreateSiteStyle();
            panel->m_nID = 10 + i;
            panel->m_strName = names[i];
            panel->m_Size = tagSizeF{8.5, 11.0};
            m_pStyleLib->m_SiteStyles.Add(panel);
            card->m_SiteStyles.push_back(panel);
            // A site takes its page's printable area: each panel has a letter page of its own.
            CTarnPageStyle* page = m_pStyleLib->CreatePageStyle();
            page->m_nID = 10 + i;
            page->m_strName = names[i];
            CSitePosStyle* position = page->CreateSiteInfo();
            position->m_pSiteStyle = panel;
            page->m_SitePositions.Add(position);
            m_pStyleLib->m_PageStyles.Add(page);
            card->m_PageStyles.push_back(page);
        }
        m_pStyleLib->m_DocStyles.Add(card);
        m_nDefaultDocStyle = 1;
    }
};

}  // namespace

int main(int argc, char** argv)
{
    const bool styles = argc == 4 && std::strcmp(argv[3], "--styles") == 0;
    if (argc != 3 && !styles) {
        std::fprintf(stderr, "usage: viewercopy_doc_tool <template> <new program> [--styles]\n");
        return 4;
    }
    std::unique_ptr<CToolOptions> options(styles ? new CToolOptions : nullptr);
    CToolCardDoc doc(styles ? 1 : 3);
    if (!doc.OnNewDocument())
        return 2;
    doc.m_bRemember = FALSE;
    doc.SetSaveCompressedData(FALSE);
    const char* names[] = {"Cover", "Greeting", "Verse"};
    for (int i = 0; !styles && i < doc.GetSiteNumber() && i < 3; ++i)
        doc.GetSiteByIndex(i)->GetProperties()->m_siteName = names[i];
    std::printf("sites %d pages %d\n", doc.GetSiteNumber(), doc.GetPageCount());
    return SaveDocumentToViewer(doc, argv[2], argv[1]) ? 0 : 1;
}

// Saves a new card of the framework's document, with three named sites, as a viewer program:
//   viewercopy_doc_tool <template> <new program>
#include "SiteRecords.h"
#include "TarnDocViewerCopy.h"
#include "TarnSite.h"

#include <cstdio>

namespace {

class CToolCardDoc : public CTarnDoc
{
public:
    CToolCardDoc() { m_newSiteCount = 3; }
    int ShowMessage(const CString& text, UINT) override
    {
        std::fprintf(stderr, "message: %s\n", static_cast<LPCSTR>(text));
        return IDOK;
    }
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: viewercopy_doc_tool <template> <new program>\n");
        return 4;
    }
    CToolCardDoc doc;
    if (!doc.OnNewDocument())
        return 2;
    doc.m_bRemember = FALSE;
    doc.SetSaveCompressedData(FALSE);
    const char* names[] = {"Cover", "Greeting", "Verse"};
    for (int i = 0; i < doc.GetSiteNumber() && i < 3; ++i)
        doc.GetSiteByIndex(i)->GetProperties()->m_siteName = names[i];
    return SaveDocumentToViewer(doc, argv[2], argv[1]) ? 0 : 1;
}

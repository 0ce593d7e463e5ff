#pragma once
#include "ViewerPage.h"

#include <memory>
#include <vector>

class CViewerDoc;

// The document's pages, in page order.
class CViewerPageList : public CViewerPersistent
{
public:
    explicit CViewerPageList(CViewerDoc* document) : CViewerPersistent("CTarnPageList"), m_document(document) {}
    bool Load(CArchiveReader& archive) override { return Serialize(archive); }
    virtual bool Serialize(CArchiveReader& archive);
    // Replaces the pages by copies of another list's pages, made by the document.
    void RebuildFrom(const CViewerPageList& other);

    size_t GetCount() const { return m_pages.size(); }
    CViewerPage& GetPage(size_t index) const { return *m_pages[index]; }
    void Append(std::unique_ptr<CViewerPage> page);

private:
    CViewerDoc* m_document;
    std::vector<std::unique_ptr<CViewerPage>> m_pages;
};

#include "ViewerPageList.h"
#include "ViewerDoc.h"

bool CViewerPageList::Serialize(CArchiveReader& archive)
{
    uint32_t count = 0;
    if (!archive.ReadU32(count))
        return false;
    for (uint32_t i = 0; i < count; ++i) {
        std::unique_ptr<CViewerPage> page = m_document->CreatePage();
        // Every page is stored whole (see the document's sites).
        bool read = false;
        if (!archive.ReadObject(*page, read) || !read)
            return false;
        page->SetDocument(m_document);
        m_pages.push_back(std::move(page));
    }
    return true;
}

void CViewerPageList::RebuildFrom(const CViewerPageList& other)
{
    std::vector<std::unique_ptr<CViewerPage>> pages;
    for (const auto& source : other.m_pages) {
        std::unique_ptr<CViewerPage> page = m_document->CreatePage();
        page->SetDocument(m_document);
        page->CopyFrom(*source);
        pages.push_back(std::move(page));
    }
    m_pages.swap(pages);
}

void CViewerPageList::Append(std::unique_ptr<CViewerPage> page)
{
    page->SetDocument(m_document);
    m_pages.push_back(std::move(page));
}

#include "ClOleDoc.h"
#include "ClOle.h"

IMPLEMENT_DYNAMIC(CDocItem, CCmdTarget)
IMPLEMENT_DYNAMIC(COleClientItem, CDocItem)
IMPLEMENT_DYNAMIC(COleServerItem, CDocItem)
IMPLEMENT_DYNAMIC(COleLinkingDoc, COleDocument)
IMPLEMENT_DYNAMIC(COleServerDoc, COleLinkingDoc)

CDocItem::CDocItem() : m_pDocument(nullptr) {}

CDocItem::~CDocItem()
{
    if (m_pDocument)
        m_pDocument->RemoveItem(this);
}

COleClientItem::COleClientItem(COleDocument* pContainerDoc)
{
    if (pContainerDoc)
        pContainerDoc->AddItem(this);
}

COleClientItem::~COleClientItem() = default;

COleServerItem::COleServerItem(COleServerDoc* pServerDoc, BOOL bAutoDelete) : m_bAutoDelete(bAutoDelete)
{
    if (pServerDoc)
        pServerDoc->AddItem(this);
}

COleServerItem::~COleServerItem()
{
    if (auto* doc = GetDocument())
        if (doc->m_pEmbeddedItem == this)
            doc->m_pEmbeddedItem = nullptr;
}

COleServerDoc* COleServerItem::GetDocument() const { return static_cast<COleServerDoc*>(m_pDocument); }

BOOL COleServerItem::IsLinkedItem() const
{
    const COleServerDoc* doc = GetDocument();
    return !doc || doc->m_pEmbeddedItem != this;
}

BOOL COleServerItem::OnGetExtent(DVASPECT, CSize&) { return FALSE; }

COleLinkingDoc::COleLinkingDoc() = default;
COleLinkingDoc::~COleLinkingDoc() = default;

COleServerDoc::COleServerDoc() : m_pEmbeddedItem(nullptr) { AfxOleLockApp(); }

COleServerDoc::~COleServerDoc()
{
    // Items go with the document (the base deletes them); only the lock is ours.
    AfxOleUnlockApp();
}

COleServerItem* COleServerDoc::GetEmbeddedItem()
{
    if (!m_pEmbeddedItem)
        m_pEmbeddedItem = OnGetEmbeddedItem();
    return m_pEmbeddedItem;
}

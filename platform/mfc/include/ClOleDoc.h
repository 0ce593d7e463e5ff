#pragma once
// Items of OLE documents and the server document: a document that serves itself as an embedded
// object through its server item. This is the structure of an OLE server document (items,
// embedded item, application lock); the embedding interfaces themselves are not here yet.
#include "ClDocument.h"
#include "ClDC.h"
#include "ClGeometry.h"

class COleServerDoc;

// An item kept by an OLE document; removed from it when deleted.
class CLASSLIB_API CDocItem : public CCmdTarget
{
    DECLARE_DYNAMIC(CDocItem)
public:
    ~CDocItem() override;
    COleDocument* GetDocument() const { return m_pDocument; }
    virtual BOOL IsBlank() const { return FALSE; }

    COleDocument* m_pDocument;

protected:
    CDocItem();
};

// An object embedded in (or linked into) the document.
class CLASSLIB_API COleClientItem : public CDocItem
{
    DECLARE_DYNAMIC(COleClientItem)
public:
    explicit COleClientItem(COleDocument* pContainerDoc = nullptr);
    ~COleClientItem() override;
};

// The document (or a part of it) as an object served to another application.
class CLASSLIB_API COleServerItem : public CDocItem
{
    DECLARE_DYNAMIC(COleServerItem)
public:
    COleServerItem(COleServerDoc* pServerDoc, BOOL bAutoDelete);
    ~COleServerItem() override;

    COleServerDoc* GetDocument() const;
    // Not the document's embedded item.
    BOOL IsLinkedItem() const;
    const CString& GetItemName() const { return m_strItemName; }
    void SetItemName(LPCSTR lpszItemName) { m_strItemName = lpszItemName; }

    virtual BOOL OnDraw(CDC* pDC, CSize& rSize) = 0;
    // The item's size in HIMETRIC for an aspect; the base knows none (FALSE, size unchanged).
    virtual BOOL OnGetExtent(DVASPECT nDrawAspect, CSize& rSize);

    BOOL m_bAutoDelete;   // the document deletes the item when it lets it go

protected:
    CString m_strItemName;
};

class CLASSLIB_API COleLinkingDoc : public COleDocument
{
    DECLARE_DYNAMIC(COleLinkingDoc)
public:
    COleLinkingDoc();
    ~COleLinkingDoc() override;
};

// Keeps the application running while it exists (the application lock).
class CLASSLIB_API COleServerDoc : public COleLinkingDoc
{
    DECLARE_DYNAMIC(COleServerDoc)
public:
    COleServerDoc();
    ~COleServerDoc() override;

    // The item that stands for the whole document, made once through OnGetEmbeddedItem.
    COleServerItem* GetEmbeddedItem();
    BOOL IsEmbedded() const { return m_bEmbedded; }
    BOOL IsInPlaceActive() const { return FALSE; }

protected:
    virtual COleServerItem* OnGetEmbeddedItem() = 0;
    COleServerItem* m_pEmbeddedItem;
    friend class COleServerItem;
};

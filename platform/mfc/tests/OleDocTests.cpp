// OLE server documents: the embedded item made once, item bookkeeping, the application lock.
#include <classlib.h>

#include <gtest/gtest.h>

namespace {

int g_itemsAlive = 0;

class CTestServerItem : public COleServerItem
{
public:
    CTestServerItem(COleServerDoc* doc, BOOL autoDelete) : COleServerItem(doc, autoDelete) { ++g_itemsAlive; }
    ~CTestServerItem() override { --g_itemsAlive; }
    BOOL OnDraw(CDC*, CSize&) override { return TRUE; }
    BOOL OnGetExtent(DVASPECT aspect, CSize& size) override
    {
        if (aspect != DVASPECT_CONTENT)
            return COleServerItem::OnGetExtent(aspect, size);
        size = CSize(3000, 3000);
        return TRUE;
    }
};

class CTestClientItem : public COleClientItem
{
public:
    explicit CTestClientItem(COleDocument* doc) : COleClientItem(doc) { ++g_itemsAlive; }
    ~CTestClientItem() override { --g_itemsAlive; }
};

class CTestServerDoc : public COleServerDoc
{
public:
    int made = 0;
protected:
    COleServerItem* OnGetEmbeddedItem() override
    {
        ++made;
        return new CTestServerItem(this, TRUE);
    }
};

TEST(OleServerDocument, EmbeddedItemIsMadeOnceAndItemsGoWithTheDocument)
{
    ASSERT_TRUE(AfxOleCanExitApp());
    {
        CTestServerDoc doc;
        doc.m_bAutoDelete = FALSE;
        EXPECT_FALSE(AfxOleCanExitApp());   // the document keeps the application up

        COleServerItem* embedded = doc.GetEmbeddedItem();
        ASSERT_NE(embedded, nullptr);
        EXPECT_EQ(doc.GetEmbeddedItem(), embedded);
        EXPECT_EQ(doc.made, 1);
        EXPECT_EQ(embedded->GetDocument(), &doc);
        EXPECT_FALSE(embedded->IsLinkedItem());

        auto* linked = new CTestServerItem(&doc, TRUE);
        EXPECT_TRUE(linked->IsLinkedItem());
        new CTestClientItem(&doc);
        EXPECT_EQ(g_itemsAlive, 3);

        CSize size(1, 1);
        EXPECT_TRUE(embedded->OnGetExtent(DVASPECT_CONTENT, size));
        EXPECT_EQ(size, CSize(3000, 3000));
        size = CSize(1, 1);
        EXPECT_FALSE(embedded->OnGetExtent(DVASPECT_ICON, size));
        EXPECT_EQ(size, CSize(1, 1));

        int servers = 0, clients = 0;
        for (POSITION pos = doc.GetStartPosition(); doc.GetNextServerItem(pos);)
            ++servers;
        for (POSITION pos = doc.GetStartPosition(); doc.GetNextClientItem(pos);)
            ++clients;
        EXPECT_EQ(servers, 2);
        EXPECT_EQ(clients, 1);

        delete linked;   // an item deleted on its own leaves the document
        EXPECT_EQ(g_itemsAlive, 2);
        delete embedded;   // the document makes a new one when asked again
        EXPECT_NE(doc.GetEmbeddedItem(), nullptr);
        EXPECT_EQ(doc.made, 2);
    }
    EXPECT_EQ(g_itemsAlive, 0);
    EXPECT_TRUE(AfxOleCanExitApp());
}

}  // namespace

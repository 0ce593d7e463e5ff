#include <gtest/gtest.h>

#include <string>

#include "ComControlList.h"
#include "ComHelpers.h"
#include "ControlInfo.h"
#include "DrawOptions.h"
#include "GdiSelectors.h"
#include "SitesContours.h"

namespace {

// A reference-counted stand-in for a drawing control: the list only counts references.
class FakeControl : public IUnknown {
public:
    LONG refs = 1;
    STDMETHODIMP QueryInterface(REFIID, void** out) override
    {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
    STDMETHODIMP_(ULONG) Release() override { return --refs; }
    IBaseControl* AsControl() { return reinterpret_cast<IBaseControl*>(static_cast<IUnknown*>(this)); }
};

class CountingList : public CComControlList {
public:
    int empties = 0;
    int deletes = 0;
    void OnEmpty() override { ++empties; }
    void OnDelete(IBaseControl* c) override
    {
        ++deletes;
        CComControlList::OnDelete(c);
    }
};

TEST(ControlListTest, AddHonoursUniquenessAndCountsReferences)
{
    FakeControl a;
    CComControlList list;
    EXPECT_EQ(list.Add(a.AsControl(), 1), 1);
    EXPECT_EQ(list.Add(a.AsControl(), 1), 0);
    EXPECT_EQ(list.GetCount(), 1);
    EXPECT_EQ(a.refs, 2);
    EXPECT_EQ(list.Add(a.AsControl(), 0), 1);
    EXPECT_EQ(list.GetCount(), 2);
    EXPECT_EQ(a.refs, 3);
    list.OnDestroy();
    EXPECT_EQ(a.refs, 1);
}

TEST(ControlListTest, SwitchTogglesMembershipAndDeleteCallsHooksOnlyWhenFound)
{
    FakeControl a, b;
    CountingList list;
    EXPECT_EQ(list.Switch(a.AsControl()), 1);
    EXPECT_EQ(a.refs, 2);
    EXPECT_EQ(list.Switch(b.AsControl()), 1);
    EXPECT_EQ(list.Switch(a.AsControl()), 0);
    EXPECT_EQ(a.refs, 1);
    EXPECT_EQ(list.GetCount(), 1);
    EXPECT_EQ(list.empties, 0);

    const int deletesBefore = list.deletes;
    EXPECT_EQ(list.Delete(a.AsControl()), 0);
    EXPECT_EQ(list.deletes, deletesBefore);
    EXPECT_EQ(list.empties, 0);
    EXPECT_EQ(list.Delete(b.AsControl()), 1);
    EXPECT_EQ(list.empties, 1);
    EXPECT_EQ(b.refs, 1);
    EXPECT_TRUE(list.IsEmpty());
}

TEST(ControlListTest, AssignmentKeepsOneReferencePerHoldingList)
{
    FakeControl a, b, c;
    CountingList first, second;
    first.Add(a.AsControl(), 0);
    first.Add(b.AsControl(), 0);
    second.Add(c.AsControl(), 0);
    CComControlList& target = second;
    target = first;
    EXPECT_EQ(second.empties, 1);
    EXPECT_EQ(a.refs, 3);
    EXPECT_EQ(b.refs, 3);
    EXPECT_EQ(c.refs, 1);
    ASSERT_EQ(second.GetCount(), 2);
    EXPECT_EQ(second.GetHead(), a.AsControl());
    EXPECT_EQ(second.GetTail(), b.AsControl());

    target = second;  // a list given itself keeps its controls
    EXPECT_EQ(second.GetCount(), 2);
    EXPECT_EQ(a.refs, 3);
    first.OnDestroy();
    second.OnDestroy();
    EXPECT_EQ(a.refs, 1);
}

TEST(ControlListTest, FinalReleaseOfTheUnknownReleasesEveryControl)
{
    FakeControl a, b;
    CComControlList* list = new CComControlList;
    list->Add(a.AsControl(), 0);
    list->Add(b.AsControl(), 0);
    IUnknown* unknown = nullptr;
    ASSERT_EQ(list->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
    void* other = reinterpret_cast<void*>(1);
    EXPECT_EQ(list->QueryInterface(IID_IDispatch, &other), E_NOINTERFACE);
    EXPECT_EQ(other, nullptr);
    EXPECT_EQ(unknown->Release(), 0u);
    EXPECT_EQ(a.refs, 1);
    EXPECT_EQ(b.refs, 1);
}

TEST(DrawOptionsTest, InitSetsEverythingButTheBackgroundAndCopiesKeepTheFlags)
{
    CDrawOptions* options = CDrawOptions::Create();
    EXPECT_EQ(options->ViewID, 0);
    EXPECT_EQ(options->m_Canvas, nullptr);
    EXPECT_EQ(options->bShadow, 0);
    options->clBackground = 0x123456;
    const HRGN rgn = CreateRectRgn(0, 0, 10, 10);
    int stop = 0;
    options->Init(nullptr, CRect(1, 2, 30, 40), 1.5, 96.0, 7, rgn, 1, 1, 1, 0, 1, nullptr, 0, 1, &stop);
    EXPECT_EQ(options->clBackground, 0x123456u);
    EXPECT_EQ(options->UpdateRect.right, 30);
    EXPECT_EQ(options->UpdateRect.bottom, 40);
    EXPECT_DOUBLE_EQ(options->ZoomValue, 1.5);
    EXPECT_EQ(options->ViewID, 7);
    EXPECT_EQ(options->GetRgn(), rgn);
    EXPECT_EQ(options->bMargins, 1);
    EXPECT_EQ(options->bMarginLine, 0);
    EXPECT_EQ(options->bShadow, 1);
    EXPECT_EQ(options->hStopEvent, reinterpret_cast<LONG_PTR>(&stop));

    CDrawOptions copy(*options);
    EXPECT_EQ(copy.bShadow, 1);
    EXPECT_EQ(copy.ViewID, 7);
    tagDrawOptions* record = &copy;
    EXPECT_EQ(record->Printer, 1);
    EXPECT_EQ(copy.SetRgn(nullptr), rgn);
    EXPECT_EQ(copy.GetRgn(), nullptr);
    EXPECT_EQ(options->GetRgn(), rgn);
    DeleteObject(rgn);
    delete options;
}

TEST(GdiSelectorTest, RestoresThePreviousObjectAndDeletesOnlyItsOwn)
{
    HDC dc = CreateCompatibleDC(nullptr);
    ASSERT_NE(dc, nullptr);
    const HGDIOBJ original = GetCurrentObject(dc, OBJ_PEN);
    HPEN first = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
    HPEN second = CreatePen(PS_SOLID, 2, RGB(0, 255, 0));
    {
        CGDISelector selector(dc, first, 1);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), first);
        selector.Select(second, 1);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), second);
        EXPECT_EQ(GetObjectType(first), 0u) << "the first pen is deleted when replaced";
    }
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), original);
    EXPECT_EQ(GetObjectType(second), 0u);
    {
        CGDISelector stock(dc, BLACK_PEN, 1);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), GetStockObject(BLACK_PEN));
    }
    EXPECT_EQ(GetObjectType(GetStockObject(BLACK_PEN)), static_cast<DWORD>(OBJ_PEN));
    HPEN kept = CreatePen(PS_SOLID, 1, 0);
    { CGDISelector selector(dc, kept, 0); }
    EXPECT_EQ(GetObjectType(kept), static_cast<DWORD>(OBJ_PEN));
    DeleteObject(kept);
    {
        CROP2Selector rop(dc, R2_XORPEN);
        EXPECT_EQ(GetROP2(dc), R2_XORPEN);
    }
    EXPECT_EQ(GetROP2(dc), R2_COPYPEN);
    DeleteDC(dc);
}

TEST(SitesContoursTest, ClearFreesTheSegmentsAndEmptiesTheArray)
{
    CSitesContours contours;
    for (int i = 0; i < 40; ++i)
        contours.Add(SiteContour{CPointF(i, i), new SegmentDesc[3], 3});
    EXPECT_EQ(contours.GetSize(), 40);
    contours.Clear();
    EXPECT_EQ(contours.GetSize(), 0);
    contours.Add(SiteContour{CPointF(1, 2), new SegmentDesc[1], 1});
}

TEST(ControlInfoTest, LookupsFindTheFirstMatchingEntry)
{
    static const CLSID kLine = {0x1, 0x2, 0x3, {4, 5, 6, 7, 8, 9, 10, 11}};
    static const CLSID kImage = {0x9, 0x2, 0x3, {4, 5, 6, 7, 8, 9, 10, 11}};
    g_arrControlInfo.RemoveAll();
    g_arrControlInfo.Add(tagControlInfo{20999, &kLine, 101, 201, 0});
    g_arrControlInfo.Add(tagControlInfo{20997, &kImage, 103, 203, 0});
    g_arrControlInfo.Add(tagControlInfo{10125, &kImage, 201, 203, 0});
    EXPECT_EQ(FindControlInfoIndex(20997), 1);
    EXPECT_EQ(FindControlInfoIndex(0x10000 + 10125), 2);
    EXPECT_EQ(FindControlInfoIndex(12345), -1);
    EXPECT_EQ(FindControlCLSIDByTypeID(203), &kImage);
    EXPECT_EQ(FindControlCLSIDByTypeID(299), nullptr);
    EXPECT_EQ(FindControlTypeIDByToolID(201), 203);
    EXPECT_EQ(FindControlTypeIDByToolID(150), 0);
    g_arrControlInfo.RemoveAll();
}

TEST(UtilityMessageTest, TextNamesTheCodeAndTheSystemDescriptionWhenThereIsOne)
{
    const std::string known = static_cast<LPCSTR>(FormatUtilityErrorMessage(nullptr, E_FAIL));
    EXPECT_EQ(known.rfind("The following error occured.\r\nError: (0x80004005) - ", 0), 0u) << known;
    EXPECT_GT(known.size(), std::string("The following error occured.\r\nError: (0x80004005) - ").size());
    const std::string unknown = static_cast<LPCSTR>(FormatUtilityErrorMessage("Menu", 0x2FFFFFFF));
    EXPECT_EQ(unknown, "Menu\r\nError: (0x2fffffff)");
    const std::string longText(3000, 'x');
    EXPECT_LE(FormatUtilityErrorMessage(longText.c_str(), 1).GetLength(), 1024);
}

TEST(ConnectionPointTest, ObjectsWithoutConnectionPointsRaiseAnOleError)
{
    FakeControl plain;
    DWORD cookie = 0;
    bool thrown = false;
    try {
        AdviseConnectionPoint(&plain, IID_IUnknown, &plain, &cookie);
    } catch (COleException* e) {
        thrown = true;
        EXPECT_TRUE(FAILED(e->m_sc));
        e->Delete();
    }
    EXPECT_TRUE(thrown);
    // A zero cookie touches nothing, not even the source.
    UnadviseConnectionPoint(nullptr, IID_IUnknown, 0);
}

}  // namespace

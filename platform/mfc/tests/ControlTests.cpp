// Standard controls: owner drawing and notifications reach the control's own object; the list
// and range wrappers answer like the controls do.
#include "TestResources.h"

#include <classlib.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> g_log;

class CDrawnButton : public CButton
{
public:
    void DrawItem(LPDRAWITEMSTRUCT item) override { g_log.push_back("draw " + std::to_string(item->CtlID)); }
    void OnClicked() { g_log.push_back("button handled its click"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDrawnButton, CButton)
    ON_CONTROL_REFLECT(BN_CLICKED, OnClicked)
END_MESSAGE_MAP()

class CMeasuredList : public CListBox
{
public:
    void MeasureItem(LPMEASUREITEMSTRUCT item) override
    {
        item->itemHeight = 21;
        g_log.push_back("measure");
    }
};

class CParentWnd : public CWnd
{
public:
    void OnPlainClicked() { g_log.push_back("parent handled the plain click"); }
    void OnDrawnClicked() { g_log.push_back("parent saw the drawn click"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CParentWnd, CWnd)
    ON_BN_CLICKED(11, OnDrawnClicked)
    ON_BN_CLICKED(12, OnPlainClicked)
END_MESSAGE_MAP()

class Controls : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_log.clear();
        ASSERT_TRUE(parent.CreateEx(0, nullptr, "parent", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr));
    }
    void TearDown() override
    {
        parent.DestroyWindow();
        CWnd::DeleteTempMap();
    }
    CParentWnd parent;
};

TEST_F(Controls, OwnerDrawingAndReflectedClicksReachTheControl)
{
    CDrawnButton drawn;
    ASSERT_TRUE(drawn.Create("drawn", WS_VISIBLE | BS_OWNERDRAW, CRect(0, 0, 50, 20), &parent, 11));
    CButton plain;
    ASSERT_TRUE(plain.Create("plain", WS_VISIBLE | BS_PUSHBUTTON, CRect(0, 30, 50, 50), &parent, 12));

    DRAWITEMSTRUCT item = {};
    item.CtlType = ODT_BUTTON;
    item.CtlID = 11;
    item.hwndItem = drawn.m_hWnd;
    g_log.clear();
    EXPECT_EQ(parent.SendMessage(WM_DRAWITEM, 11, reinterpret_cast<LPARAM>(&item)), TRUE);
    drawn.SendMessage(BM_CLICK);
    plain.SendMessage(BM_CLICK);
    EXPECT_EQ(g_log, (std::vector<std::string>{"draw 11", "button handled its click", "parent handled the plain click"}));
}

TEST_F(Controls, ListsAnswerLikeTheirControls)
{
    CMeasuredList list;
    g_log.clear();
    ASSERT_TRUE(list.Create(WS_VISIBLE | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS, CRect(0, 0, 100, 100), &parent, 20));
    EXPECT_EQ(g_log, (std::vector<std::string>{"measure"}));   // asked while it was being made
    EXPECT_EQ(list.SendMessage(LB_GETITEMHEIGHT, 0), 21);

    for (const char* text : {"beta", "alpha", "gamma"})
        list.AddString(text);
    EXPECT_EQ(list.GetCount(), 3);
    EXPECT_EQ(list.FindStringExact(-1, "gamma"), 2);
    EXPECT_EQ(list.FindStringExact(-1, "delta"), LB_ERR);
    list.SetItemData(1, 77);
    EXPECT_EQ(list.GetItemData(1), 77u);
    CString text("unchanged");
    list.GetText(0, text);
    EXPECT_STREQ(text, "beta");
    list.GetText(9, text);   // outside the list
    EXPECT_TRUE(text.IsEmpty());

    CComboBox combo;
    ASSERT_TRUE(combo.Create(WS_VISIBLE | CBS_DROPDOWNLIST | CBS_SORT, CRect(0, 110, 100, 200), &parent, 21));
    for (const char* item : {"beta", "alpha"})
        combo.AddString(item);
    EXPECT_EQ(combo.SelectString(-1, "be"), 1);   // sorted: alpha, beta
    EXPECT_EQ(combo.GetCurSel(), 1);
    combo.GetLBText(0, text);
    EXPECT_STREQ(text, "alpha");
    combo.GetLBText(5, text);
    EXPECT_TRUE(text.IsEmpty());
}

TEST_F(Controls, RangesOfSpinAndSlider)
{
    INITCOMMONCONTROLSEX init = {sizeof init, ICC_UPDOWN_CLASS | ICC_BAR_CLASSES};
    ASSERT_TRUE(InitCommonControlsEx(&init));
    CSpinButtonCtrl spin;
    ASSERT_TRUE(spin.Create(WS_VISIBLE, CRect(0, 0, 20, 20), &parent, 30));
    spin.SetRange(-5, 500);
    int low = 0, high = 0;
    spin.GetRange(low, high);
    EXPECT_EQ(low, -5);
    EXPECT_EQ(high, 500);
    spin.SetPos(300);
    EXPECT_EQ(spin.GetPos(), 300);

    CSliderCtrl slider;
    ASSERT_TRUE(slider.Create(WS_VISIBLE, CRect(0, 30, 200, 60), &parent, 31));
    slider.SetRange(10, 20);
    slider.SetPos(50);   // kept inside the range by the control
    EXPECT_EQ(slider.GetRangeMin(), 10);
    EXPECT_EQ(slider.GetRangeMax(), 20);
    EXPECT_EQ(slider.GetPos(), 20);
}

TEST_F(Controls, TooltipsKeepTheirToolsAndTexts)
{
    CButton target;
    ASSERT_TRUE(target.Create("target", WS_VISIBLE | BS_PUSHBUTTON, CRect(0, 0, 50, 20), &parent, 40));
    CToolTipCtrl tips;
    ASSERT_TRUE(tips.Create(&parent));
    ASSERT_TRUE(tips.AddTool(&target, "Presses the target"));
    ASSERT_TRUE(tips.AddTool(&parent, IDS_GREETING, CRect(0, 30, 50, 50), 7));   // text from the resource chain
    EXPECT_EQ(tips.GetToolCount(), 2);
    CString text;
    tips.GetText(text, &target);
    EXPECT_STREQ(text, "Presses the target");
    tips.GetText(text, &parent, 7);
    EXPECT_STREQ(text, "Hello from the resources");
    tips.UpdateTipText("Changed", &target);
    tips.GetText(text, &target);
    EXPECT_STREQ(text, "Changed");
    tips.DelTool(&target);
    EXPECT_EQ(tips.GetToolCount(), 1);
    tips.GetText(text, &target);
    EXPECT_TRUE(text.IsEmpty());
    tips.DestroyWindow();
}

TEST_F(Controls, ImageListsFromBitmapsAndIcons)
{
    CImageList images;
    ASSERT_TRUE(images.Create(IDB_TEST_BITMAP, 1, 0, CLR_NONE));   // a 2-pixel-wide bitmap: two images
    EXPECT_EQ(images.GetImageCount(), 2);
    EXPECT_EQ(images.Add(::LoadIcon(nullptr, IDI_APPLICATION)), 2);
    EXPECT_TRUE(images.Remove(0));
    EXPECT_EQ(images.GetImageCount(), 2);
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateCompatibleBitmap(&dc, 4, 4));
    CBitmap* old = dc.SelectObject(&bitmap);
    EXPECT_TRUE(images.Draw(&dc, 0, CPoint(0, 0), ILD_NORMAL));
    dc.SelectObject(old);
    HIMAGELIST handle = images.Detach();
    EXPECT_EQ(images.GetImageCount(), 0);
    ImageList_Destroy(handle);
    CImageList missing;
    EXPECT_FALSE(missing.Create(9999u, 1, 0, CLR_NONE));
}

}  // namespace

// Dialogs from templates in the resource chain, modal and modeless, with data exchange and
// validation that tells the user and keeps the dialog open.
#include "TestResources.h"

#include <classlib.h>

#include "QuietApp.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <string>
#include <vector>

namespace {

class CTestDialog : public CDialog
{
public:
    CTestDialog() : CDialog(IDD_TEST_DIALOG) {}
    int m_number = 7;
    CString m_name = "start";
    double m_ratio = 0.5;
    int m_check = 1;
    int m_radio = 2;
    int m_combo = 1;
    std::function<void(CTestDialog&)> typeIn;   // what the "user" does before pressing OK
    std::vector<std::string> shown;             // control texts after initialisation
    CWnd m_comboControl;

    BOOL OnInitDialog() override
    {
        SendDlgItemMessageA(m_hWnd, IDC_COMBO, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("zero"));
        SendDlgItemMessageA(m_hWnd, IDC_COMBO, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("one"));
        CDialog::OnInitDialog();
        for (int id : {IDC_NUMBER, IDC_NAME, IDC_RATIO}) {
            CString text;
            GetDlgItemText(id, text);
            shown.push_back(static_cast<LPCSTR>(text));
        }
        if (typeIn)
            typeIn(*this);
        // OK first; if validation keeps the dialog open, Cancel ends it.
        PostMessage(WM_COMMAND, IDOK);
        PostMessage(WM_COMMAND, IDCANCEL);
        return TRUE;
    }
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Text(pDX, IDC_NUMBER, m_number);
        DDV_MinMaxInt(pDX, m_number, 0, 100);
        DDX_Text(pDX, IDC_NAME, m_name);
        DDV_MaxChars(pDX, m_name, 10);
        DDX_Text(pDX, IDC_RATIO, m_ratio);
        DDX_Check(pDX, IDC_CHECK, m_check);
        DDX_Radio(pDX, IDC_RADIO1, m_radio);
        DDX_CBIndex(pDX, IDC_COMBO, m_combo);
        DDX_Control(pDX, IDC_COMBO, m_comboControl);
    }
};

TEST(DialogTest, ControlsShowTheVariablesAndOkReadsThemBack)
{
    CQuietApp app;
    CTestDialog dialog;
    dialog.typeIn = [](CTestDialog& d) {
        d.SetDlgItemText(IDC_NUMBER, " 42 ");
        d.SetDlgItemText(IDC_NAME, "card");
        d.SetDlgItemText(IDC_RATIO, "0.25");
        d.CheckDlgButton(IDC_CHECK, BST_UNCHECKED);
        CheckRadioButton(d.m_hWnd, IDC_RADIO1, IDC_RADIO3, IDC_RADIO1);
        SendDlgItemMessageA(d.m_hWnd, IDC_COMBO, CB_SETCURSEL, 0, 0);
    };
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.shown, (std::vector<std::string>{"7", "start", "0.5"}));
    EXPECT_EQ(dialog.m_number, 42);
    EXPECT_STREQ(dialog.m_name, "card");
    EXPECT_EQ(dialog.m_ratio, 0.25);
    EXPECT_EQ(dialog.m_check, 0);
    EXPECT_EQ(dialog.m_radio, 0);
    EXPECT_EQ(dialog.m_combo, 0);
    EXPECT_TRUE(app.messages.empty());
    EXPECT_EQ(dialog.m_hWnd, nullptr);
    EXPECT_EQ(dialog.m_comboControl.m_hWnd, nullptr);   // the control went with its dialog
}

TEST(DialogTest, InvalidInputIsReportedAndKeepsTheDialogOpen)
{
    // A value that does not parse leaves its variable alone; a parsed value that fails
    // validation is already stored when the user is told.
    struct Case { const char* what; int id; const char* text; const char* messagePart; int number; };
    const Case cases[] = {
        {"not a number", IDC_NUMBER, "12x", "integer", 7},
        {"empty number", IDC_NUMBER, "", "integer", 7},
        {"too large for an int", IDC_NUMBER, "99999999999", "integer", 7},
        {"out of range", IDC_NUMBER, "500", "between 0 and 100", 500},
        {"not a real", IDC_RATIO, "abc", "number", 7},
        {"too long", IDC_NAME, "much too long a name", "10 characters", 7},
    };
    for (const Case& c : cases) {
        CQuietApp app;
        CTestDialog dialog;
        dialog.typeIn = [&](CTestDialog& d) { d.SetDlgItemText(c.id, c.text); };
        EXPECT_EQ(dialog.DoModal(), IDCANCEL) << c.what;
        ASSERT_EQ(app.messages.size(), 1u) << c.what;
        EXPECT_NE(app.messages[0].find(c.messagePart), std::string::npos) << c.what << ": " << app.messages[0];
        EXPECT_EQ(dialog.m_number, c.number) << c.what;
        EXPECT_EQ(dialog.m_ratio, 0.5) << c.what;   // the exchange stops at the failure
    }
}

TEST(DialogTest, MissingTemplateAndModelessDialogs)
{
    CDialog missing(9999u);
    EXPECT_EQ(missing.DoModal(), -1);
    EXPECT_FALSE(missing.Create(9999u));

    CQuietApp app;
    CDialog modeless;
    ASSERT_TRUE(modeless.Create(IDD_TEST_DIALOG));
    EXPECT_TRUE(::IsWindow(modeless.m_hWnd));
    EXPECT_NE(modeless.GetDlgItem(IDC_NAME), nullptr);
    CString caption;
    modeless.GetWindowText(caption);
    EXPECT_STREQ(caption, "Test dialog");
    modeless.DestroyWindow();
    EXPECT_EQ(modeless.m_hWnd, nullptr);
    CWnd::DeleteTempMap();
}

}  // namespace

TEST(DialogTest, AFailureDuringInitialisationIsReportedAndEndsTheDialog)
{
    // The exception must not cross the system's dialog code; the user hears of it once and the
    // modal loop ends with -1.
    struct Case { const char* what; std::function<void()> fail; };
    const Case cases[] = {
        {"class-library exception", [] { AfxThrowMemoryException(); }},
        {"standard allocation failure", [] { throw std::bad_alloc(); }},
    };
    for (const Case& c : cases) {
        CQuietApp app;
        CTestDialog dialog;
        dialog.typeIn = [&](CTestDialog&) { c.fail(); };
        EXPECT_EQ(dialog.DoModal(), -1) << c.what;
        EXPECT_EQ(app.messages.size(), 1u) << c.what;
        EXPECT_EQ(dialog.m_hWnd, nullptr) << c.what;
    }
}

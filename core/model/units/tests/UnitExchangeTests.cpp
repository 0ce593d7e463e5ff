#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "ClException.h"
#include "MeasurementUnits.h"
#include "UnitDataExchange.h"

namespace {

constexpr int kEditId = 100;

// A hidden window with one edit field, standing in for a dialog.
class EditHost : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(LoadMeasurementUnits(1033));
        SetDefaultMeasurementUnit(GetMeasurementUnit(3));  // cm
        parent = CreateWindowExA(0, "STATIC", "host", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr, nullptr,
                                 nullptr);
        ASSERT_NE(parent, nullptr);
        edit = CreateWindowExA(0, "EDIT", "", WS_CHILD, 0, 0, 100, 20, parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditId)), nullptr, nullptr);
        ASSERT_NE(edit, nullptr);
        host.m_hWnd = parent;
    }
    void TearDown() override
    {
        host.m_hWnd = nullptr;
        DestroyWindow(parent);
        SetDefaultMeasurementUnit(GetMeasurementUnit(0));
    }
    // Runs one saving exchange; false when it failed.
    bool Save(const char* text, double& inches)
    {
        SetWindowTextA(edit, text);
        CDataExchange dx(&host, TRUE);
        try {
            DDX_Text_Unit(&dx, kEditId, inches, 2);
            DDV_MinMaxDouble_Unit(&dx, inches, 0.0, 10.0);
        } catch (CUserException* e) {
            e->Delete();
            return false;
        }
        return true;
    }

    HWND parent = nullptr;
    HWND edit = nullptr;
    CWnd host;
};

TEST_F(EditHost, SavingParsesUnitTextAndRejectsBadOrOutOfRangeValues)
{
    struct Case {
        const char* text;
        bool ok;
        double inches;
    } const cases[] = {
        {"2.54", true, 1.0},         // the default unit, cm
        {"1+1 in", true, 2.0},
        {"254 mm", true, 10.0},      // the upper limit itself
        {"255 mm", false, 0},
        {"-1 in", false, 0},
        {"in", false, 0},
        {"1E3", false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        double inches = -7.0;
        EXPECT_EQ(Save(c.text, inches), c.ok);
        if (c.ok)
            EXPECT_NEAR(inches, c.inches, 1e-12);
    }
}

TEST_F(EditHost, LoadingShowsTheLengthInTheDefaultUnit)
{
    double inches = 1.0;
    CDataExchange dx(&host, FALSE);
    DDX_Text_Unit(&dx, kEditId, inches, 2);
    char text[64] = {};
    GetWindowTextA(edit, text, sizeof text);
    EXPECT_EQ(std::string(text), std::string("2.54 ") + GetMeasurementUnit(3)->ShortName);
    double loose = 99.0;
    DDV_MinMaxDouble_Unit(&dx, loose, 0.0, 1.0);  // no validation while loading
}

}  // namespace

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "ExpressionEvaluator.h"
#include "MeasurementUnits.h"
#include "UnitText.h"

namespace {

class UnitsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(LoadMeasurementUnits(1033));
        ASSERT_TRUE(SetDefaultMeasurementUnit(GetMeasurementUnit(0)));
    }
    static MeasurementUnit* UnitByKey(const char* key)
    {
        for (int i = 0; i < GetNUnits(); ++i)
            if (!std::strcmp(GetMeasurementUnit(i)->Key, key))
                return GetMeasurementUnit(i);
        return nullptr;
    }
};

TEST_F(UnitsTest, TableHoldsTheFiveUnitsInOrder)
{
    static_assert(sizeof(MeasurementUnit) == 40, "the controls see this layout");
    struct Row {
        const char* key;
        double inchesPerUnit;
    } const rows[] = {{"inch", 1.0}, {"pt", 1 / 72.0}, {"mm", 1 / 25.4}, {"cm", 1 / 2.54}, {"px", 1 / 96.0}};
    ASSERT_EQ(GetNUnits(), 5);
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(rows[i].key);
        const MeasurementUnit* unit = GetMeasurementUnit(i);
        ASSERT_NE(unit, nullptr);
        EXPECT_STREQ(unit->Key, rows[i].key);
        EXPECT_DOUBLE_EQ(unit->InchesPerUnit, rows[i].inchesPerUnit);
        EXPECT_EQ(unit->PixelBased, 0);
        EXPECT_GT(std::strlen(unit->Name), 0u);
        EXPECT_LT(std::strlen(unit->ShortName), sizeof unit->ShortName);
    }
    EXPECT_EQ(GetMeasurementUnit(-1), nullptr);
    EXPECT_EQ(GetMeasurementUnit(5), nullptr);
}

TEST_F(UnitsTest, NextUnitWalksTheTableAndEndsAfterPixels)
{
    EXPECT_EQ(GetNextMeasurementUnit(nullptr), GetMeasurementUnit(0));
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(GetNextMeasurementUnit(GetMeasurementUnit(i)), GetMeasurementUnit(i + 1));
    EXPECT_EQ(GetNextMeasurementUnit(UnitByKey("px")), nullptr);
    MeasurementUnit stranger = {};
    std::strcpy(stranger.Name, "Furlongs");
    EXPECT_EQ(GetNextMeasurementUnit(&stranger), nullptr);
}

TEST_F(UnitsTest, DefaultUnitIsChosenByShortNameOrNameIgnoringCase)
{
    const MeasurementUnit* cm = UnitByKey("cm");
    std::string upper = cm->ShortName;
    for (char& c : upper)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    EXPECT_TRUE(SetDefaultMeasurementUnitByShortName(upper.c_str()));
    EXPECT_EQ(GetDefaultMeasurementUnit(), cm);
    EXPECT_TRUE(SetDefaultMeasurementUnitByName(UnitByKey("mm")->Name));
    EXPECT_EQ(GetDefaultMeasurementUnit(), UnitByKey("mm"));
    EXPECT_FALSE(SetDefaultMeasurementUnitByShortName("furlong"));
    EXPECT_FALSE(SetDefaultMeasurementUnitByName(nullptr));
    EXPECT_EQ(GetDefaultMeasurementUnit(), UnitByKey("mm"));
}

TEST_F(UnitsTest, ConversionsFollowTheUnitFactorZoomAndScreenResolution)
{
    const MeasurementUnit* mm = UnitByKey("mm");
    EXPECT_DOUBLE_EQ(UnitsToInches(mm, 25.4, 3.0), 1.0);
    EXPECT_DOUBLE_EQ(InchesToUnits(mm, 1.0, 3.0), 25.4);
    EXPECT_DOUBLE_EQ(UnitsToPixels(mm, 25.4, 2.0), 192.0);
    EXPECT_DOUBLE_EQ(PixelsToUnits(mm, 192.0, 2.0), 25.4);
    EXPECT_DOUBLE_EQ(InchesToPixels(1.5, 2.0), 288.0);
    EXPECT_DOUBLE_EQ(PixelsToInches(288.0, 2.0), 1.5);
    SetDefaultMeasurementUnit(UnitByKey("pt"));
    EXPECT_DOUBLE_EQ(DefaultUnitsToInches(72.0, 1.0), 1.0);
    EXPECT_DOUBLE_EQ(InchesToDefaultUnits(0.5, 1.0), 36.0);
    EXPECT_DOUBLE_EQ(DefaultUnitsToPixels(72.0, 1.0), 96.0);
    EXPECT_DOUBLE_EQ(PixelsToDefaultUnits(96.0, 1.0), 72.0);
}

TEST(ExpressionTest, EvaluatesArithmeticAndRejectsMalformedText)
{
    struct Case {
        const char* text;
        double expected;  // -HUGE_VAL: an error
    } const cases[] = {
        {"2.5", 2.5},
        {"2,5", 2.5},
        {"2.5+1/4", 2.75},
        {"3*(1+1)", 6.0},
        {"1-2-3", -4.0},
        {"8/2/2", 2.0},
        {"1-2*3+4", -1.0},
        {"2*-3", -6.0},
        {"-(1+2)*2", -6.0},
        {"2+", 2.0},
        {"2*(", 2.0},
        {"5/0", 0.0},
        {"  7  ", 7.0},
        {"1E3", -HUGE_VAL},
        {"--3", -HUGE_VAL},
        {"+3", -HUGE_VAL},
        {"", -HUGE_VAL},
        {"*", -HUGE_VAL},
        {"(2", -HUGE_VAL},
        {"2)", -HUGE_VAL},
        {"()", -HUGE_VAL},
        {"2 3", -HUGE_VAL},
        {"4\x01+5", 4.0},  // an unprintable character ends the expression
        {".5", 5.0},         // a leading point is printable noise
        {"1.2.3", 1.2},
        {"x7y", 7.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_DOUBLE_EQ(EvaluateExpression(c.text), c.expected);
    }
    EXPECT_EQ(EvaluateExpression(nullptr), -HUGE_VAL);
}

TEST(ExpressionTest, DeepNestingAndLongInputDoNotCrash)
{
    const std::string nested = std::string(400, '(') + "1" + std::string(400, ')');
    EXPECT_DOUBLE_EQ(EvaluateExpression(nested.c_str()), 1.0);
    std::string sum = "1";
    for (int i = 0; i < 5000; ++i)
        sum += "+1";
    EXPECT_EQ(EvaluateExpression(sum.c_str()), -HUGE_VAL);
}

TEST_F(UnitsTest, UnitTextParsesWithTheNamedOrDefaultUnit)
{
    const std::string cm = UnitByKey("cm")->ShortName;
    SetDefaultMeasurementUnit(UnitByKey("mm"));
    struct Case {
        std::string text;
        int useDefault;
        double expected;
    } const cases[] = {
        {"2.5 " + cm, 1, 2.5 / 2.54},
        {"2,5 " + cm, 1, 2.5 / 2.54},
        {"2.5" + cm, 0, 2.5 / 2.54},
        {"3*(1+1)", 1, 6 / 25.4},
        {"3*(1+1)", 0, 6.0},
        {"2 furlongs", 1, 2.0},
        {cm, 1, -HUGE_VAL},
        {"1E3 " + cm, 1, -HUGE_VAL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::string buffer = c.text;
        EXPECT_DOUBLE_EQ(ParseUnitsText(&buffer[0], c.useDefault), c.expected);
        EXPECT_EQ(buffer, c.text) << "the caller's text was changed";
    }
    EXPECT_EQ(ParseUnitsText(nullptr, 1), -HUGE_VAL);
}

TEST_F(UnitsTest, FormattingWritesTheDefaultUnitAndStaysInsideTheBuffer)
{
    SetDefaultMeasurementUnit(UnitByKey("cm"));
    char text[kUnitTextSize];
    FormatUnitsText(1.0, text, 2);
    EXPECT_EQ(std::string(text), std::string("2.54 ") + UnitByKey("cm")->ShortName);
    FormatDefUnitsText(3.5, text, 3);
    EXPECT_EQ(std::string(text), std::string("3.5 ") + UnitByKey("cm")->ShortName);

    char small[6];
    std::memset(small, 'x', sizeof small);
    FormatUnitsText(1e300, small, 8, sizeof small);
    EXPECT_EQ(std::strlen(small), sizeof small - 1);
}

TEST_F(UnitsTest, SpinStepAndPrecisionDependOnTheUnitKey)
{
    struct Case {
        const char* key;
        double step;
        int decimals;
    } const cases[] = {
        {"inch", 0.125, 2}, {"mm", 1.25, 1}, {"cm", 0.125, 2}, {"pt", 1.0, 2}, {"px", 1.0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_DOUBLE_EQ(GetSpinStep(UnitByKey(c.key), 0.125), c.step);
        EXPECT_EQ(GetSpinPrecizion(UnitByKey(c.key), 2), c.decimals);
    }
    MeasurementUnit metre = {};
    std::strcpy(metre.Key, "m");
    MeasurementUnit km = {};
    std::strcpy(km.Key, "km");
    MeasurementUnit other = {};
    std::strcpy(other.Key, "Inch");  // key comparison is exact
    EXPECT_DOUBLE_EQ(GetSpinStep(&metre, 2.0), 0.02);
    EXPECT_DOUBLE_EQ(GetSpinStep(&km, 2.0), 0.00002);
    EXPECT_DOUBLE_EQ(GetSpinStep(&other, 2.0), 2.0);
    EXPECT_EQ(GetSpinPrecizion(&metre, 2), 4);
    EXPECT_EQ(GetSpinPrecizion(&km, 2), 7);
    EXPECT_EQ(GetSpinPrecizion(&other, 2), 2);
    SetDefaultMeasurementUnit(UnitByKey("mm"));
    EXPECT_DOUBLE_EQ(GetSpinStep(0.1), 1.0);
    EXPECT_EQ(GetSpinPrecizion(3), 2);
}

}  // namespace

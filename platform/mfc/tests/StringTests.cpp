#include <classlib.h>

#include <gtest/gtest.h>

namespace {

TEST(CStringTest, SearchingAndSlicingClampOutOfRangeArguments)
{
    const CString s("hello world");
    struct Case { CString got; const char* expected; };
    const Case cases[] = {
        {s.Mid(6), "world"}, {s.Mid(6, 3), "wor"}, {s.Mid(-5, 3), "hel"}, {s.Mid(20), ""},
        {s.Mid(6, 100), "world"}, {s.Left(5), "hello"}, {s.Left(-1), ""}, {s.Left(99), "hello world"},
        {s.Right(5), "world"}, {s.Right(99), "hello world"}, {s.SpanIncluding("ehl"), "hell"},
        {s.SpanExcluding(" "), "hello"},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(c.got, c.expected);

    EXPECT_EQ(s.Find('o'), 4);
    EXPECT_EQ(s.Find('o', 5), 7);
    EXPECT_EQ(s.Find('o', 50), -1);
    EXPECT_EQ(s.Find("wor"), 6);
    EXPECT_EQ(s.Find("xyz"), -1);
    EXPECT_EQ(s.Find("o", 8), -1);
    EXPECT_EQ(s.ReverseFind('o'), 7);
    EXPECT_EQ(s.FindOneOf("wd"), 6);
    EXPECT_EQ(s.FindOneOf("XYZ"), -1);
}

TEST(CStringTest, EditingOperations)
{
    CString s("  a,b,,c  ");
    s.TrimLeft();
    s.TrimRight();
    EXPECT_STREQ(s, "a,b,,c");
    EXPECT_EQ(s.Replace(",", ";;"), 3);
    EXPECT_STREQ(s, "a;;b;;;;c");
    EXPECT_EQ(s.Remove(';'), 6);
    EXPECT_STREQ(s, "abc");
    s.Insert(1, "XY");
    EXPECT_STREQ(s, "aXYbc");
    s.Delete(1, 2);
    EXPECT_STREQ(s, "abc");
    s.Delete(2, 100);
    EXPECT_STREQ(s, "ab");
    s.MakeUpper();
    EXPECT_STREQ(s, "AB");
    s.MakeReverse();
    EXPECT_STREQ(s, "BA");
    s += s;             // appending itself
    EXPECT_STREQ(s, "BABA");
    s = s.Mid(1);       // assigning a part of itself
    EXPECT_STREQ(s, "ABA");
}

TEST(CStringTest, ComparisonsAndConcatenation)
{
    const CString a("abc"), b("ABD");
    EXPECT_TRUE(a == "abc");
    EXPECT_TRUE("abc" == a);
    EXPECT_TRUE(a != b);
    EXPECT_LT(a.CompareNoCase(b), 0);
    EXPECT_EQ(a.CompareNoCase("ABC"), 0);
    EXPECT_TRUE(b < a);  // 'A' < 'a'
    EXPECT_STREQ(a + "-" + b + '!', "abc-ABD!");
    EXPECT_STREQ('<' + a, "<abc");
}

TEST(CStringTest, FormatHandlesLongOutputAndMixedArguments)
{
    CString s;
    s.Format("%d-%s-%.2f-%05X", 42, "x", 1.005, 0xBEEF);
    EXPECT_STREQ(s, "42-x-1.00-0BEEF");
    const CString big('q', 5000);
    s.Format("[%s]", static_cast<LPCSTR>(big));
    EXPECT_EQ(s.GetLength(), 5002);
    s.FormatMessage("%1 and %2!d!", "one", 2);
    EXPECT_STREQ(s, "one and 2");
}

TEST(CStringTest, BufferAccessAndWideConversion)
{
    CString s;
    char* p = s.GetBuffer(10);
    strcpy(p, "abc");
    s.ReleaseBuffer();
    EXPECT_EQ(s.GetLength(), 3);
    s.GetBufferSetLength(2);
    EXPECT_STREQ(s, "ab");

    const CString fromWide(L"wide text");
    EXPECT_STREQ(fromWide, "wide text");
    BSTR bstr = fromWide.AllocSysString();
    EXPECT_EQ(SysStringLen(bstr), 9u);
    EXPECT_EQ(wcscmp(bstr, L"wide text"), 0);
    SysFreeString(bstr);
}

TEST(CStringTest, IndexOutsideTheStringThrows)
{
    CString s("ab");
    for (int index : {-1, 2, 100}) {
        try {
            s.GetAt(index);
            ADD_FAILURE() << index;
        } catch (CException* e) {
            e->Delete();
        }
    }
}

}  // namespace

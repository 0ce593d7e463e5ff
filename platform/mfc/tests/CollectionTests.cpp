#include "ArchiveTestSupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <random>
#include <string>

namespace {

std::vector<int> Contents(const CArray<int, int>& a)
{
    std::vector<int> v;
    for (int i = 0; i < a.GetSize(); ++i)
        v.push_back(a[i]);
    return v;
}

TEST(CArrayTest, InsertRemoveAndGrowKeepElementsInOrder)
{
    CArray<int, int> a;
    for (int i = 0; i < 5; ++i)
        a.Add(i);
    a.InsertAt(2, 9, 2);
    EXPECT_EQ(Contents(a), (std::vector<int>{0, 1, 9, 9, 2, 3, 4}));
    a.RemoveAt(1, 3);
    EXPECT_EQ(Contents(a), (std::vector<int>{0, 2, 3, 4}));
    a.SetAtGrow(6, 7);
    EXPECT_EQ(Contents(a), (std::vector<int>{0, 2, 3, 4, 0, 0, 7}));
    a.InsertAt(9, 1);   // beyond the end: fills the gap
    EXPECT_EQ(a.GetSize(), 10);
    a.SetSize(2);
    EXPECT_EQ(Contents(a), (std::vector<int>{0, 2}));

    // Ranges past the end, including ones whose end overflows, are refused and change nothing.
    const std::pair<int, int> badRanges[] = {{1, 5}, {1, INT_MAX}, {3, 0}, {-1, 1}};
    for (const auto& range : badRanges) {
        try {
            a.RemoveAt(range.first, range.second);
            ADD_FAILURE() << range.first << " " << range.second;
        } catch (CException* e) {
            e->Delete();
        }
        EXPECT_EQ(a.GetSize(), 2);
    }
}

TEST(CArrayTest, ElementsWithResourcesSurviveReallocation)
{
    CStringArray strings;
    for (int i = 0; i < 3000; ++i) {
        CString s;
        s.Format("item %d", i);
        strings.Add(s);
    }
    strings.Add(strings[0]);   // an element of the array itself while it grows
    strings.InsertAt(1, strings[2999]);
    EXPECT_STREQ(strings[1], "item 2999");
    EXPECT_STREQ(strings[2], "item 1");
    EXPECT_STREQ(strings[strings.GetUpperBound()], "item 0");
    strings.RemoveAt(0, 2000);
    EXPECT_STREQ(strings[0], "item 1999");
}

TEST(CListTest, InsertFindAndRemoveAtPositions)
{
    CStringList list;
    list.AddTail("b");
    list.AddHead("a");
    POSITION c = list.AddTail("c");
    list.InsertBefore(c, "b2");
    list.InsertAfter(c, "d");
    std::string joined;
    for (POSITION pos = list.GetHeadPosition(); pos;)
        joined += static_cast<LPCSTR>(list.GetNext(pos));
    EXPECT_EQ(joined, "abb2cd");

    EXPECT_EQ(list.Find("c"), c);
    EXPECT_EQ(list.Find("zz"), nullptr);
    EXPECT_EQ(list.Find("a", list.GetHeadPosition()), nullptr);
    EXPECT_EQ(list.FindIndex(3), c);
    EXPECT_EQ(list.FindIndex(5), nullptr);
    list.RemoveAt(c);
    EXPECT_STREQ(list.RemoveHead(), "a");
    EXPECT_STREQ(list.RemoveTail(), "d");
    EXPECT_EQ(list.GetCount(), 2);

    joined.clear();
    for (POSITION pos = list.GetTailPosition(); pos;)
        joined += static_cast<LPCSTR>(list.GetPrev(pos));
    EXPECT_EQ(joined, "b2b");
}

TEST(CMapTest, BehavesLikeAnOrdinaryMapUnderRandomOperations)
{
    CMapStringToPtr map;
    std::map<std::string, void*> model;
    std::mt19937 random(7);
    for (int step = 0; step < 20000; ++step) {
        const std::string key = "k" + std::to_string(random() % 500);
        void* value = reinterpret_cast<void*>(static_cast<ULONG_PTR>(random() % 1000 + 1));
        switch (random() % 3) {
        case 0: map.SetAt(key.c_str(), value); model[key] = value; break;
        case 1: EXPECT_EQ(map.RemoveKey(key.c_str()) != FALSE, model.erase(key) == 1); break;
        default: {
            void* found = nullptr;
            const auto it = model.find(key);
            EXPECT_EQ(map.Lookup(key.c_str(), found) != FALSE, it != model.end());
            if (it != model.end()) {
                EXPECT_EQ(found, it->second);
            }
        }
        }
    }
    EXPECT_EQ(static_cast<size_t>(map.GetCount()), model.size());
    std::map<std::string, void*> visited;
    for (POSITION pos = map.GetStartPosition(); pos;) {
        CString key;
        void* value;
        map.GetNextAssoc(pos, key, value);
        EXPECT_TRUE(visited.emplace(static_cast<LPCSTR>(key), value).second);
    }
    EXPECT_EQ(visited, model);
}

TEST(CMapTest, PointerAndWordKeysAndTypedViews)
{
    CMapWordToPtr words;
    for (WORD w = 0; w < 300; ++w)
        words[w] = reinterpret_cast<void*>(static_cast<ULONG_PTR>(w + 1));
    void* value = nullptr;
    EXPECT_TRUE(words.Lookup(299, value));
    EXPECT_EQ(value, reinterpret_cast<void*>(300));

    CTestPoint p1(1, 1), p2(2, 2);
    CTypedPtrMap<CMapPtrToPtr, void*, CTestPoint*> typed;
    typed.SetAt(&p1, &p2);
    CTestPoint* found = nullptr;
    EXPECT_TRUE(typed.Lookup(&p1, found));
    EXPECT_EQ(found, &p2);
    EXPECT_FALSE(typed.Lookup(&p2, found));

    CTypedPtrArray<CObArray, CTestPoint*> points;
    points.Add(&p1);
    EXPECT_EQ(points[0]->m_x, 1);
    CTypedPtrList<CObList, CTestPoint*> list;
    list.AddTail(&p2);
    EXPECT_EQ(list.GetHead()->m_x, 2);
}

TEST(CollectionArchive, LayoutsAreTheCountThenTheElements)
{
    CDWordArray dwords;
    dwords.Add(1);
    dwords.Add(0xAABBCCDD);
    CWordArray words;
    words.Add(0x1234);
    CByteArray bytes;
    bytes.Add(9);
    CStringList strings;
    strings.AddTail("ab");
    strings.AddTail("");
    CTestPoint point(5, 6);
    CObList objects;
    objects.AddTail(&point);
    objects.AddTail(&point);
    objects.AddTail(static_cast<CObject*>(nullptr));

    const Bytes stored = StoreToBytes([&](CArchive& ar) {
        dwords.Serialize(ar);
        words.Serialize(ar);
        bytes.Serialize(ar);
        strings.Serialize(ar);
        objects.Serialize(ar);
    });
    const Bytes expected = Concat({Le16(2), Le32(1), Le32(0xAABBCCDD), Le16(1), Le16(0x1234), Le16(1), {9},
                                   Le16(2), {2, 'a', 'b'}, {0},
                                   Le16(3), Le16(0xFFFF), Le16(1), Le16(10), Text("CTestPoint"), Le32(5), Le32(6),
                                   Le16(2), Le16(0)});
    EXPECT_EQ(stored, expected);

    LoadFromBytes(stored, [](CArchive& ar) {
        CDWordArray d;
        CWordArray w;
        CByteArray b;
        CStringList s;
        CObList o;
        d.Add(99);   // loading replaces earlier contents
        d.Serialize(ar);
        w.Serialize(ar);
        b.Serialize(ar);
        s.Serialize(ar);
        o.Serialize(ar);
        ASSERT_EQ(d.GetSize(), 2);
        EXPECT_EQ(d[1], 0xAABBCCDDu);
        EXPECT_EQ(w[0], 0x1234);
        EXPECT_EQ(b[0], 9);
        EXPECT_STREQ(s.GetHead(), "ab");
        ASSERT_EQ(o.GetCount(), 3);
        EXPECT_EQ(o.GetHead(), o.GetAt(o.FindIndex(1)));
        EXPECT_EQ(o.GetTail(), nullptr);
        delete o.GetHead();
    });
}

TEST(CollectionArchive, ForgedCountsFailAtTheEndOfTheData)
{
    const Bytes forged = Concat({Le16(0xFFFF), Le32(0x7FFFFFFF), Le32(1), Le32(2)});
    struct Case { const char* what; std::function<void(CArchive&)> read; };
    const Case cases[] = {
        {"dwords", [](CArchive& ar) { CDWordArray a; a.Serialize(ar); }},
        {"strings", [](CArchive& ar) { CStringArray a; a.Serialize(ar); }},
        {"string list", [](CArchive& ar) { CStringList a; a.Serialize(ar); }},
        {"string map", [](CArchive& ar) { CMapStringToString a; a.Serialize(ar); }},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ArchiveCause([&] { LoadFromBytes(forged, c.read); }), CArchiveException::endOfFile) << c.what;
}

TEST(CollectionArchive, StringMapRoundTrips)
{
    CMapStringToString map;
    map["one"] = "1";
    map["two"] = CString('2', 300);
    const Bytes stored = StoreToBytes([&](CArchive& ar) { map.Serialize(ar); });
    LoadFromBytes(stored, [](CArchive& ar) {
        CMapStringToString back;
        back.Serialize(ar);
        CString value;
        EXPECT_EQ(back.GetCount(), 2);
        EXPECT_TRUE(back.Lookup("two", value));
        EXPECT_EQ(value.GetLength(), 300);
    });
}

}  // namespace

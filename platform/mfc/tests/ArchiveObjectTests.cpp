// Object and class tags: layout, shared index counter, large indexes, schemas and bad tags.
#include "ArchiveTestSupport.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

Bytes NewClass(WORD schema, const char* name)
{
    return Concat({Le16(0xFFFF), Le16(schema), Le16(static_cast<WORD>(strlen(name))), Text(name)});
}

class ArchiveObjects : public ::testing::Test {
protected:
    void TearDown() override { CTestNode::DeleteAll(); }
};

TEST_F(ArchiveObjects, NewAndRepeatedClassesAndObjectsShareOneCounter)
{
    CTestPoint first(1, 2), second(3, 4);
    const Bytes bytes = StoreToBytes([&](CArchive& ar) {
        ar << &first << &second << &first << &second << static_cast<CObject*>(nullptr);
    });
    // class = index 1, first = 2, second = 3
    const Bytes expected = Concat({NewClass(1, "CTestPoint"), Le32(1), Le32(2),
                                   Le16(0x8001), Le32(3), Le32(4),
                                   Le16(2), Le16(3), Le16(0)});
    EXPECT_EQ(bytes, expected);

    LoadFromBytes(bytes, [](CArchive& ar) {
        CObject *a, *b, *c, *d, *null;
        ar >> a >> b >> c >> d >> null;
        ASSERT_TRUE(a && a->IsKindOf(RUNTIME_CLASS(CTestPoint)));
        EXPECT_EQ(static_cast<CTestPoint*>(a)->m_y, 2);
        EXPECT_EQ(static_cast<CTestPoint*>(b)->m_x, 3);
        EXPECT_EQ(c, a);
        EXPECT_EQ(d, b);
        EXPECT_EQ(null, nullptr);
        delete a;
        delete b;
    });
}

TEST_F(ArchiveObjects, VersionableSchemaWritesItsNumberAndAcceptsAnyOnLoad)
{
    auto* node = new CTestNode;
    node->m_name = "root";
    const Bytes bytes = StoreToBytes([&](CArchive& ar) { ar << node; });
    const Bytes head = NewClass(1, "CTestNode");
    ASSERT_GE(bytes.size(), head.size());
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + head.size()), head);

    for (WORD stored : {0, 1, 7}) {
        Bytes changed = bytes;
        changed[2] = static_cast<BYTE>(stored);
        LoadFromBytes(changed, [&](CArchive& ar) {
            CTestNode* back = nullptr;
            ar >> back;
            ASSERT_NE(back, nullptr);
            EXPECT_EQ(back->m_loadedSchema, stored);
            EXPECT_STREQ(back->m_name, "root");
        });
    }
}

TEST_F(ArchiveObjects, FixedSchemaRefusesOtherNumbers)
{
    CTestPoint point(5, 6);
    Bytes bytes = StoreToBytes([&](CArchive& ar) { ar << &point; });
    bytes[2] = 2;  // stored schema 2, class has 1
    EXPECT_EQ(ArchiveCause([&] { LoadFromBytes(bytes, [](CArchive& ar) { CObject* p; ar >> p; }); }),
              CArchiveException::badSchema);
}

TEST_F(ArchiveObjects, ReferencesResolveAcrossNestedObjectsAndCycles)
{
    auto* a = new CTestNode;
    auto* b = new CTestNode;
    a->m_name = "a";
    b->m_name = "b";
    a->m_pNext = b;
    b->m_pNext = a;   // cycle back to an object still being written
    b->m_items.Add(a);
    const Bytes bytes = StoreToBytes([&](CArchive& ar) { ar << a << b; });

    LoadFromBytes(bytes, [](CArchive& ar) {
        CTestNode *a2, *b2;
        ar >> a2 >> b2;
        ASSERT_NE(a2, nullptr);
        EXPECT_STREQ(a2->m_name, "a");
        EXPECT_EQ(a2->m_pNext, b2);
        EXPECT_EQ(b2->m_pNext, a2);
        ASSERT_EQ(b2->m_items.GetSize(), 1);
        EXPECT_EQ(b2->m_items[0], a2);
    });
}

TEST_F(ArchiveObjects, LargeIndexesUseTheThirtyTwoBitForms)
{
    // Fill the shared counter so that the class lands on 0x7FFE (still small) and its first
    // object on 0x7FFF (the first big index).
    const DWORD mapped = 0x7FFD;
    std::vector<std::unique_ptr<CTestPoint>> fillers;
    for (DWORD i = 0; i < mapped; ++i)
        fillers.emplace_back(new CTestPoint);
    CTestPoint p1(1, 1), p2(2, 2), p3(3, 3);

    const Bytes bytes = StoreToBytes([&](CArchive& ar) {
        for (auto& f : fillers)
            ar.MapObject(f.get());
        ar << &p1 << &p2 << &p1 << &p2 << fillers[0].get() << &p3;
    });
    const Bytes expected = Concat({NewClass(1, "CTestPoint"), Le32(1), Le32(1),   // class 0x7FFE, p1 0x7FFF
                                   Le16(0xFFFE), Le32(2), Le32(2),                  // known class 0x7FFE; p2 0x8000
                                   Le16(0x7FFF), Le32(0x7FFF),                      // p1 again
                                   Le16(0x7FFF), Le32(0x8000),                      // p2 again
                                   Le16(0x0001),                                    // first filler
                                   Le16(0xFFFE), Le32(3), Le32(3)});
    EXPECT_EQ(bytes, expected);

    // A class whose own index is big: written after the counter passed 0x7FFF.
    CTestPoint3 q1, q2;
    const Bytes more = StoreToBytes([&](CArchive& ar) {
        for (auto& f : fillers)
            ar.MapObject(f.get());
        ar << &p1 << &q1 << &q2;
    });
    const Bytes tail = Concat({Le16(0x7FFF), Le32(0x80008000u)});
    // q2's tag: the class of q1 (index 0x8000) in the big form.
    const size_t q2At = more.size() - 12 - tail.size();
    EXPECT_EQ(Bytes(more.begin() + q2At, more.begin() + q2At + tail.size()), tail);

    LoadFromBytes(bytes, [&](CArchive& ar) {
        for (auto& f : fillers)
            ar.MapObject(f.get());
        CObject *a, *b, *c, *d, *e, *f;
        ar >> a >> b >> c >> d >> e >> f;
        EXPECT_EQ(c, a);
        EXPECT_EQ(d, b);
        EXPECT_EQ(e, fillers[0].get());
        EXPECT_EQ(static_cast<CTestPoint*>(f)->m_x, 3);
        delete a; delete b; delete f;
    });
    LoadFromBytes(more, [&](CArchive& ar) {
        for (auto& f : fillers)
            ar.MapObject(f.get());
        CObject *a, *b, *c;
        ar >> a >> b >> c;
        EXPECT_TRUE(c->IsKindOf(RUNTIME_CLASS(CTestPoint3)));
        delete a; delete b; delete c;
    });
}

TEST_F(ArchiveObjects, MalformedTagsThrowTheMatchingCause)
{
    const Bytes point = Concat({NewClass(1, "CTestPoint"), Le32(1), Le32(2)});
    struct Case { const char* what; Bytes bytes; const CRuntimeClass* required; int cause; };
    const Case cases[] = {
        {"unknown class", Concat({NewClass(1, "CNoSuchClass"), Le32(1)}), nullptr, CArchiveException::badClass},
        {"empty class name", Concat({Le16(0xFFFF), Le16(1), Le16(0)}), nullptr, CArchiveException::badClass},
        {"class name too long", Concat({Le16(0xFFFF), Le16(1), Le16(200), Bytes(200, 'C')}), nullptr,
         CArchiveException::badClass},
        {"class not archivable", Concat({NewClass(0xFFFF, "CTestDynamic")}), nullptr, CArchiveException::badClass},
        {"wrong class required", point, RUNTIME_CLASS(CTestNode), CArchiveException::badClass},
        {"object index never given", Le16(5), nullptr, CArchiveException::badIndex},
        {"class index never given", Le16(0x8003), nullptr, CArchiveException::badIndex},
        {"class index pointing at an object", Concat({point, Le16(0x8002)}), nullptr, CArchiveException::badIndex},
        {"object index pointing at a class", Concat({point, Le16(1)}), nullptr, CArchiveException::badIndex},
        {"big object index never given", Concat({Le16(0x7FFF), Le32(0x12345)}), nullptr, CArchiveException::badIndex},
        {"big class index zero", Concat({Le16(0x7FFF), Le32(0x80000000u)}), nullptr, CArchiveException::badIndex},
        {"truncated class name", Concat({Le16(0xFFFF), Le16(1), Le16(10), Text("CTest")}), nullptr,
         CArchiveException::badClass},
        {"truncated object", Concat({NewClass(1, "CTestPoint"), Le32(1)}), nullptr, CArchiveException::endOfFile},
        {"nothing", {}, nullptr, CArchiveException::endOfFile},
    };
    for (const Case& c : cases) {
        const int cause = ArchiveCause([&] {
            LoadFromBytes(c.bytes, [&](CArchive& ar) {
                // Objects before the one under test are read first, without a required class.
                if (c.bytes.size() > point.size() && std::equal(point.begin(), point.end(), c.bytes.begin())) {
                    std::unique_ptr<CObject> first(ar.ReadObject(nullptr));
                }
                std::unique_ptr<CObject> ob(ar.ReadObject(c.required));
            });
        });
        EXPECT_EQ(cause, c.cause) << c.what;
    }
}

TEST_F(ArchiveObjects, DeepNestingIsRefusedInsteadOfExhaustingTheStack)
{
    // Every node's next is a new node: 10000 levels deep.
    Bytes bytes = Concat({NewClass(1, "CTestNode"), {0}});
    for (int i = 0; i < 10000; ++i)
        bytes = Concat({bytes, Le16(0x8001), {0}});
    EXPECT_EQ(ArchiveCause([&] { LoadFromBytes(bytes, [](CArchive& ar) { CObject* p; ar >> p; }); }),
              CArchiveException::generic);
    EXPECT_TRUE(CTestNode::Live().empty());  // half-read nodes were freed
}

TEST_F(ArchiveObjects, WritingAnObjectWhoseClassIsNotArchivableFails)
{
    CTestDynamic dynamic;
    EXPECT_EQ(ArchiveCause([&] { StoreToBytes([&](CArchive& ar) { ar << &dynamic; }); }),
              CArchiveException::badClass);
}

TEST_F(ArchiveObjects, SchemaOfTheObjectIsReportedOnce)
{
    auto* node = new CTestNode;
    const Bytes bytes = StoreToBytes([&](CArchive& ar) { ar << node; });
    LoadFromBytes(bytes, [](CArchive& ar) {
        CObject* p = ar.ReadObject(nullptr);
        EXPECT_EQ(static_cast<CTestNode*>(p)->m_loadedSchema, 1u);
        EXPECT_EQ(ar.GetObjectSchema(), static_cast<UINT>(-1));
    });
}

}  // namespace

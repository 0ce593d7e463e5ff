#include "ArchiveTestSupport.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

TEST(RuntimeClass, KindOfFollowsTheBaseChain)
{
    CTestPoint3 p;
    struct Case { const CRuntimeClass* cls; bool expected; };
    const Case cases[] = {
        {RUNTIME_CLASS(CObject), true}, {RUNTIME_CLASS(CTestPoint), true},
        {RUNTIME_CLASS(CTestPoint3), true}, {RUNTIME_CLASS(CTestNode), false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(p.IsKindOf(c.cls) != FALSE, c.expected) << c.cls->m_lpszClassName;
    EXPECT_EQ(RUNTIME_CLASS(CTestPoint3)->GetBaseClass(), RUNTIME_CLASS(CTestPoint));
    EXPECT_EQ(RUNTIME_CLASS(CObject)->GetBaseClass(), nullptr);
    EXPECT_TRUE(p.IsSerializable());
}

TEST(RuntimeClass, ClassesAreFoundByNameAndCreated)
{
    for (const char* name : {"CTestPoint", "CTestNode", "CTestDynamic", "CObArray", "CStringList", "CArchiveException"}) {
        CRuntimeClass* cls = CRuntimeClass::FromName(name);
        ASSERT_NE(cls, nullptr) << name;
        EXPECT_STREQ(cls->m_lpszClassName, name);
    }
    EXPECT_EQ(CRuntimeClass::FromName("CNoSuchClass"), nullptr);
    EXPECT_EQ(CRuntimeClass::FromName("ctestpoint"), nullptr);  // names are case-sensitive

    std::unique_ptr<CObject> made(RUNTIME_CLASS(CTestPoint3)->CreateObject());
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->GetRuntimeClass(), RUNTIME_CLASS(CTestPoint3));
    // Run-time classes without a creation function give null.
    EXPECT_EQ(RUNTIME_CLASS(CException)->CreateObject(), nullptr);
}

TEST(RuntimeClass, DowncastEvaluatesItsObjectOnce)
{
    CTestPoint3 p3;
    CTestPoint p;
    CObject* objects[] = {&p3, &p, nullptr};
    int next = 0;
    auto take = [&]() { return objects[next++]; };
    EXPECT_EQ(DYNAMIC_DOWNCAST(CTestPoint3, take()), &p3);
    EXPECT_EQ(DYNAMIC_DOWNCAST(CTestPoint3, take()), nullptr);   // a CTestPoint is no CTestPoint3
    EXPECT_EQ(DYNAMIC_DOWNCAST(CTestPoint3, take()), nullptr);
    EXPECT_EQ(next, 3);
}

TEST(RuntimeClass, SchemaNumbersAreKept)
{
    EXPECT_EQ(RUNTIME_CLASS(CTestNode)->m_wSchema, 0x80000001u);
    EXPECT_EQ(RUNTIME_CLASS(CTestPoint)->m_wSchema, 1u);
    EXPECT_EQ(RUNTIME_CLASS(CTestDynamic)->m_wSchema, 0xFFFFu);
}

TEST(RuntimeClass, ExceptionsAreThrownAsPointersOfTheirClass)
{
    struct Case { void (*thrower)(); const CRuntimeClass* cls; };
    const Case cases[] = {
        {[] { AfxThrowMemoryException(); }, RUNTIME_CLASS(CMemoryException)},
        {[] { AfxThrowNotSupportedException(); }, RUNTIME_CLASS(CNotSupportedException)},
        {[] { AfxThrowUserException(); }, RUNTIME_CLASS(CUserException)},
        {[] { AfxThrowArchiveException(CArchiveException::badIndex, "doc"); }, RUNTIME_CLASS(CArchiveException)},
        {[] { AfxThrowFileException(CFileException::diskFull, 112, "f"); }, RUNTIME_CLASS(CFileException)},
        {[] { AfxThrowOleException(E_NOINTERFACE); }, RUNTIME_CLASS(COleException)},
    };
    for (const Case& c : cases) {
        try {
            c.thrower();
            ADD_FAILURE();
        } catch (CException* e) {
            EXPECT_EQ(e->GetRuntimeClass(), c.cls);
            e->Delete();
        }
    }
}

TEST(RuntimeClass, ExceptionMessagesNameTheCauseAndFile)
{
    CArchiveException archive(CArchiveException::badSchema, "card.tcd");
    char text[256];
    ASSERT_TRUE(archive.GetErrorMessage(text, sizeof text));
    EXPECT_NE(strstr(text, "card.tcd"), nullptr);
    EXPECT_NE(strstr(text, "version"), nullptr);

    CArchiveException odd(99);
    EXPECT_TRUE(odd.GetErrorMessage(text, sizeof text));

    CFileException file(CFileException::fileNotFound, ERROR_FILE_NOT_FOUND, "x.tcd");
    ASSERT_TRUE(file.GetErrorMessage(text, 12));  // truncated to the buffer
    EXPECT_EQ(strlen(text), 11u);

    EXPECT_EQ(COleException::Process(&file), E_UNEXPECTED);
    CMemoryException memory;
    EXPECT_EQ(COleException::Process(&memory), E_OUTOFMEMORY);
    COleException ole(STG_E_DOCFILECORRUPT);
    EXPECT_EQ(COleException::Process(&ole), STG_E_DOCFILECORRUPT);
}

TEST(RuntimeClass, OsErrorsMapToFileCauses)
{
    struct Case { LONG error; int cause; };
    const Case cases[] = {
        {ERROR_FILE_NOT_FOUND, CFileException::fileNotFound}, {ERROR_PATH_NOT_FOUND, CFileException::badPath},
        {ERROR_ACCESS_DENIED, CFileException::accessDenied}, {ERROR_SHARING_VIOLATION, CFileException::sharingViolation},
        {ERROR_DISK_FULL, CFileException::diskFull}, {ERROR_HANDLE_EOF, CFileException::endOfFile},
        {12345, CFileException::generic},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CFileException::OsErrorToException(c.error), c.cause) << c.error;
}

TEST(OleApplication, LockCountNeverGoesBelowZero)
{
    EXPECT_TRUE(AfxOleInit());
    EXPECT_TRUE(AfxOleInit());   // once per thread
    ASSERT_EQ(AfxOleGetLockCount(), 0);
    AfxOleLockApp();
    AfxOleLockApp();
    EXPECT_FALSE(AfxOleCanExitApp());
    AfxOleUnlockApp();
    AfxOleUnlockApp();
    EXPECT_TRUE(AfxOleCanExitApp());
    AfxOleUnlockApp();   // unbalanced: ignored, so one later lock still counts
    EXPECT_EQ(AfxOleGetLockCount(), 0);
    AfxOleLockApp();
    EXPECT_FALSE(AfxOleCanExitApp());
    AfxOleUnlockApp();
}

}  // namespace

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ClCmdTarget.h"
#include "DispParams.h"
#include "UndoManager.h"

namespace {

// An automation object whose setters record the call that reverts them with a manager, as sites
// and controls do.
class CCounter : public CCmdTarget {
public:
    explicit CCounter(CUndoManager& manager) : m_manager(manager) { EnableAutomation(); }

    long m_value = 0;
    std::vector<long> m_calls;

    IDispatch* Dispatch() { return GetIDispatch(FALSE); }

    void Record(const wchar_t* method, long argument, tagUndoDataType type = UDT_Plain)
    {
        VARIANT arg;
        VariantInit(&arg);
        arg.vt = VT_I4;
        arg.lVal = argument;
        DISPPARAMS params = {&arg, nullptr, 1, 0};
        m_manager.AddItem(new CUndoData("Set value", method, &params, Dispatch(), 0, 1, type));
    }
    void SetValue(long value)
    {
        m_calls.push_back(value);
        if (value == m_value)
            return;
        Record(L"SetValue", m_value);
        m_value = value;
    }
    // Records two separate records for one change, as a careless caller might.
    void SetValueTwice(long value)
    {
        m_calls.push_back(value);
        Record(L"SetValue", m_value);
        Record(L"SetValueTwice", m_value);
        m_value = value;
    }

    // Empties the manager's undo list from inside a replay.
    void ClearAll(long) { m_manager.ClearUndoStack(); }

private:
    CUndoManager& m_manager;
    DECLARE_DISPATCH_MAP()
};

BEGIN_DISPATCH_MAP(CCounter, CCmdTarget)
    DISP_FUNCTION(CCounter, "SetValue", SetValue, VT_EMPTY, VTS_I4)
    DISP_FUNCTION(CCounter, "SetValueTwice", SetValueTwice, VT_EMPTY, VTS_I4)
    DISP_FUNCTION(CCounter, "ClearAll", ClearAll, VT_EMPTY, VTS_I4)
END_DISPATCH_MAP()

CUndoData* Marker(tagUndoDataType type, const char* caption = "Group")
{
    return new CUndoData(caption, nullptr, nullptr, nullptr, 0, 1, type);
}

// A manager that brackets every replay in group markers, so that replaying a group yields one
// record, as the site's manager does.
class CGroupingManager : public CUndoManager {
public:
    HRESULT ExecuteUndoInformation(CUndoData& record) override
    {
        AddItem(Marker(UDT_GroupOpen, "replay"));
        const HRESULT hr = record.Execute();
        AddItem(Marker(UDT_GroupClose, "replay"));
        return hr;
    }
};

class UndoTest : public ::testing::Test {
protected:
    ~UndoTest() override { counter->InternalRelease(); }
    CUndoManager manager;
    CCounter* counter = new CCounter(manager);
};

TEST_F(UndoTest, UndoAndRedoReplayTheRecordedCallsByName)
{
    counter->SetValue(5);
    counter->SetValue(9);
    ASSERT_EQ(manager.GetUndoCount(), 2u);
    const char* caption = nullptr;
    ASSERT_TRUE(manager.CanUndo(&caption));
    EXPECT_STREQ(caption, "Set value");
    EXPECT_FALSE(manager.CanRedo());

    manager.Undo(true);
    EXPECT_EQ(counter->m_value, 5);
    manager.Undo(true);
    EXPECT_EQ(counter->m_value, 0);
    EXPECT_EQ(manager.GetUndoCount(), 0u);
    EXPECT_EQ(manager.GetRedoCount(), 2u);

    manager.Redo(true);
    EXPECT_EQ(counter->m_value, 5);
    manager.Redo(true);
    EXPECT_EQ(counter->m_value, 9);
    EXPECT_EQ(manager.GetUndoCount(), 2u);
    EXPECT_EQ(manager.GetRedoCount(), 0u);
}

TEST_F(UndoTest, ReplayThatRecordsTwiceRemovesTheReplayedRecordItself)
{
    counter->SetValueTwice(3);
    ASSERT_EQ(manager.GetUndoCount(), 2u);
    CUndoData* newest = manager.GetUndoRecord(0);
    CUndoData* older = manager.GetUndoRecord(1);
    const int olderId = older->GetId();

    manager.Undo(true);  // replays SetValueTwice(0), which records two more records
    EXPECT_EQ(counter->m_value, 0);
    // The replayed record is gone; the older one and the second new record remain.
    ASSERT_EQ(manager.GetUndoCount(), 2u);
    for (size_t i = 0; i < manager.GetUndoCount(); ++i)
        EXPECT_NE(manager.GetUndoRecord(i), newest);
    EXPECT_EQ(manager.GetUndoRecord(1)->GetId(), olderId);
}

TEST_F(UndoTest, ARecordDroppedWhileItReplaysIsDeletedOnceAfterwards)
{
    manager.SetMaxSize(1);
    counter->SetValueTwice(3);  // the list holds one record
    ASSERT_EQ(manager.GetUndoCount(), 1u);
    manager.Undo(true);  // the replay's second record pushes the running one out of the full list
    EXPECT_EQ(counter->m_value, 0);
    EXPECT_EQ(manager.GetUndoCount(), 1u);

    counter->Record(L"ClearAll", 0);
    manager.Undo(true);  // the replay empties the list that holds it
    EXPECT_FALSE(manager.CanUndo());
}

TEST_F(UndoTest, UndoingAGroupRunsNewestFirstAndMakesOneRedoRecord)
{
    CGroupingManager grouping;
    CCounter* target = new CCounter(grouping);
    grouping.AddItem(Marker(UDT_GroupOpen, "Move all"));
    target->SetValue(1);
    target->SetValue(2);
    grouping.AddItem(Marker(UDT_GroupClose, "Move all"));
    ASSERT_EQ(grouping.GetUndoCount(), 1u);
    const char* caption = nullptr;
    grouping.CanUndo(&caption);
    EXPECT_STREQ(caption, "Move all");

    target->m_calls.clear();
    grouping.Undo(true);
    EXPECT_EQ(target->m_calls, (std::vector<long>{1, 0}));
    EXPECT_EQ(target->m_value, 0);
    ASSERT_EQ(grouping.GetRedoCount(), 1u);
    grouping.CanRedo(&caption);
    EXPECT_STREQ(caption, "Move all");
    EXPECT_EQ(grouping.GetUndoCount(), 0u);

    grouping.Redo(true);
    EXPECT_EQ(target->m_value, 2);
    EXPECT_EQ(grouping.GetUndoCount(), 1u);
    target->InternalRelease();
}

TEST_F(UndoTest, NestedGroupsKeepTheirStructure)
{
    manager.AddItem(Marker(UDT_GroupOpen, "A"));
    manager.AddItem(Marker(UDT_GroupOpen, "B"));
    counter->SetValue(4);
    manager.AddItem(Marker(UDT_GroupClose, "B"));
    manager.AddItem(Marker(UDT_GroupClose, "A"));
    ASSERT_EQ(manager.GetUndoCount(), 1u);
    CUndoData* group = manager.GetUndoRecord(0);
    EXPECT_STREQ(group->GetCaption(), "A");
    ASSERT_NE(group->GetChildren(), nullptr);
    const std::vector<CUndoData*> children(group->GetChildren()->begin(), group->GetChildren()->end());
    ASSERT_EQ(children.size(), 3u);
    EXPECT_EQ(children[0]->GetType(), UDT_GroupClose);
    EXPECT_TRUE(children[1]->IsGroupUndoData());
    EXPECT_STREQ(children[1]->GetCaption(), "B");
    EXPECT_EQ(children[1]->GetChildren()->size(), 3u);
    EXPECT_EQ(children[2]->GetType(), UDT_GroupOpen);
    EXPECT_EQ(group->GetTarget(), nullptr);  // the oldest child is the opening marker

    manager.Undo(true);
    EXPECT_EQ(counter->m_value, 0);
}

TEST_F(UndoTest, EmptyGroupsLeaveNoTrace)
{
    manager.AddItem(Marker(UDT_GroupOpen));
    manager.AddItem(Marker(UDT_GroupClose));
    manager.AddItem(Marker(UDT_GroupOpen, "outer"));
    manager.AddItem(Marker(UDT_GroupOpen, "inner"));
    manager.AddItem(Marker(UDT_GroupClose, "inner"));
    counter->SetValue(1);
    manager.AddItem(Marker(UDT_GroupClose, "outer"));
    ASSERT_EQ(manager.GetUndoCount(), 1u);
    // The empty inner group was dropped: the outer one holds its markers and the one record.
    EXPECT_EQ(manager.GetUndoRecord(0)->GetChildren()->size(), 3u);
    EXPECT_EQ(manager.GetChangeCount(), 1);
}

TEST_F(UndoTest, MaximumSizeDropsTheOldestRecords)
{
    manager.SetMaxSize(3);
    for (long v = 1; v <= 4; ++v)
        counter->SetValue(v);
    ASSERT_EQ(manager.GetUndoCount(), 3u);
    manager.Undo(true);  // back to 3; one redo record
    EXPECT_EQ(manager.GetRedoCount(), 1u);
    EXPECT_EQ(manager.SetMaxSize(2), 3u);
    EXPECT_EQ(manager.GetUndoCount(), 2u);
    EXPECT_EQ(manager.GetRedoCount(), 1u);
    // The oldest records went: undoing everything left ends at 1, not 0.
    manager.Undo(true);
    manager.Undo(true);
    EXPECT_EQ(counter->m_value, 1);
    EXPECT_FALSE(manager.CanUndo());
}

TEST_F(UndoTest, TheSavedStateMarkFollowsUndoAndRedo)
{
    counter->SetValue(1);
    manager.SetOriginalState();
    EXPECT_TRUE(manager.HasOriginalState());
    manager.Undo(true);
    EXPECT_FALSE(manager.HasOriginalState());
    EXPECT_EQ(manager.GetChangeCount(), -1);
    manager.Redo(true);
    EXPECT_TRUE(manager.HasOriginalState());
    counter->SetValue(2);
    EXPECT_FALSE(manager.HasOriginalState());
}

TEST_F(UndoTest, ANewEditClearsRedoButAReplayedRedoDoesNot)
{
    counter->SetValue(1);
    counter->SetValue(2);
    manager.Undo(true);
    manager.Undo(true);
    ASSERT_EQ(manager.GetRedoCount(), 2u);
    manager.Redo(true);  // its record goes to the undo list, the other redo record stays
    EXPECT_EQ(manager.GetRedoCount(), 1u);
    counter->SetValue(7);
    EXPECT_EQ(manager.GetRedoCount(), 0u);
    EXPECT_FALSE(manager.CanRedo());
}

TEST_F(UndoTest, AFailedReplayDropsTheRecordAndRecordsNothing)
{
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    CUndoData unknown("Broken", L"NoSuchMethod", &none, counter->Dispatch(), 0, 1, UDT_Plain);
    EXPECT_EQ(unknown.Execute(), DISP_E_UNKNOWNNAME);
    manager.AddItem(new CUndoData(&unknown));
    manager.Undo(true);
    EXPECT_FALSE(manager.CanUndo());
    EXPECT_FALSE(manager.CanRedo());

    CUndoData noTarget("Lost", L"SetValue", &none, nullptr, 0, 1, UDT_Plain);
    EXPECT_EQ(noTarget.Execute(), E_POINTER);
}

TEST_F(UndoTest, LayoutPrimitivesRemoveRecordsById)
{
    counter->SetValue(1);
    const int first = manager.GetUndoRecord(0)->GetId();
    counter->SetValue(2);
    counter->SetValue(3);
    EXPECT_EQ(manager.RemoveItem(1, -12345), 0);
    EXPECT_EQ(manager.GetUndoCount(), 3u);
    EXPECT_EQ(counter->m_value, 3);

    EXPECT_EQ(manager.RemoveItem(1, first), 2);
    EXPECT_EQ(counter->m_value, 1);  // the two newer records were replayed, the first was not
    EXPECT_EQ(manager.GetUndoCount(), 0u);
    EXPECT_EQ(manager.GetRedoCount(), 2u);

    const int redoId = manager.GetRedoRecord(1)->GetId();
    manager.RemoveItem_NoPop(0, redoId);
    EXPECT_EQ(manager.GetRedoCount(), 1u);
    EXPECT_EQ(counter->m_value, 1);
}

TEST_F(UndoTest, RedoByCountHonoursTheClearedMark)
{
    counter->SetValue(1);
    counter->SetValue(2);
    manager.Undo(true);
    manager.Undo(true);
    manager.MarkRedoStackAsNotCleared();
    manager.Redo(2);
    EXPECT_EQ(counter->m_value, 2);

    manager.Undo(true);
    manager.MarkRedoStackAsNotCleared();
    counter->SetValue(8);  // clears the redo list and marks it cleared
    manager.Redo(1);
    EXPECT_EQ(counter->m_value, 8);
}

TEST_F(UndoTest, RecordsHoldTheirOwnReferenceAndCopies)
{
    IDispatch* target = counter->Dispatch();
    const LONG before = counter->m_dwRef;
    BSTR text = SysAllocString(L"hello");
    VARIANT arg;
    VariantInit(&arg);
    arg.vt = VT_BSTR;
    arg.bstrVal = text;
    DISPID named = 7;
    DISPPARAMS params = {&arg, &named, 1, 1};
    {
        CUndoData record("Caption", L"Rename", &params, target, 0, 1, UDT_Plain);
        EXPECT_EQ(counter->m_dwRef, before + 1);
        ASSERT_EQ(record.GetArguments().cArgs, 1u);
        EXPECT_NE(record.GetArguments().rgvarg[0].bstrVal, text);
        EXPECT_STREQ(record.GetArguments().rgvarg[0].bstrVal, L"hello");
        EXPECT_EQ(record.GetArguments().rgdispidNamedArgs[0], 7);
        CUndoData copy(&record);
        EXPECT_EQ(copy.GetId(), record.GetId());
        EXPECT_EQ(counter->m_dwRef, before + 2);
    }
    EXPECT_EQ(counter->m_dwRef, before);

    target->AddRef();  // the caller's reference, handed over
    { CUndoData owning("Caption", L"SetValue", &params, target, 1, 0, UDT_Plain); }
    EXPECT_EQ(counter->m_dwRef, before);
    SysFreeString(text);
}

TEST(DispParamsTest, CopiesDeeplyAndLeavesNullArraysForNothing)
{
    DISPPARAMS empty = {nullptr, nullptr, 0, 0};
    DISPPARAMS copy;
    CopyDispParams(&copy, &empty, 1);
    EXPECT_EQ(copy.rgvarg, nullptr);
    EXPECT_EQ(copy.rgdispidNamedArgs, nullptr);
    EXPECT_EQ(copy.cArgs, 0u);

    VARIANT args[2];
    VariantInit(&args[0]);
    VariantInit(&args[1]);
    args[0].vt = VT_R8;
    args[0].dblVal = 2.5;
    args[1].vt = VT_BSTR;
    args[1].bstrVal = SysAllocString(L"text");
    DISPPARAMS src = {args, nullptr, 2, 0};
    for (int counted = 0; counted < 2; ++counted) {
        CopyDispParams(&copy, &src, counted);
        ASSERT_EQ(copy.cArgs, 2u);
        EXPECT_EQ(copy.rgvarg[0].dblVal, 2.5);
        EXPECT_STREQ(copy.rgvarg[1].bstrVal, L"text");
        EXPECT_NE(copy.rgvarg[1].bstrVal, args[1].bstrVal);
        EXPECT_EQ(copy.rgdispidNamedArgs, nullptr);
        FreeDispParams(&copy, counted);
        EXPECT_EQ(copy.rgvarg, nullptr);
    }

    VARIANT bad;
    VariantInit(&bad);
    bad.vt = 0x7FF;  // no such type: the copy fails
    DISPPARAMS broken = {&bad, nullptr, 1, 0};
    CopyDispParams(&copy, &broken, 1);
    EXPECT_EQ(copy.rgvarg[0].vt, VT_ERROR);
    EXPECT_TRUE(FAILED(copy.rgvarg[0].scode));
    FreeDispParams(&copy, 1);
    VariantClear(&args[1]);
}

}  // namespace

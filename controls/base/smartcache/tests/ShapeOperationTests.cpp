// Shape operations with a fake engine: the retries of a failing Boolean operation, the box's two
// answers, combining, fitting to a path and breaking a path apart in one undo group.
#include <gtest/gtest.h>

#include "ShapeFixtures.h"

namespace {
class CListView : public CRecordingView {
public:
    STDMETHOD(GetControlIndex)(IBaseControl*, LONG* index) override {
        *index = 4;
        return S_OK;
    }
    STDMETHOD(DeleteControlList)(IBaseControl**, int n) override {
        deleted += n;
        return S_OK;
    }
    STDMETHOD(InsertControlList)(IBaseControl**, LONG* indices, int n) override {
        for (int i = 0; i < n; ++i) inserted.push_back(indices[i]);
        return S_OK;
    }
    int deleted = 0;
    std::vector<LONG> inserted;
};

class ShapeOperations : public ::testing::Test {
protected:
    void SetUp() override {
        UseServerResources();
        a_ = NewShape(tagRectF{0, 0, 1, 1});
        b_ = NewShape(tagRectF{0.5, 0.5, 1.5, 1.5});
        a_->UseEngine(engine_.table);
        cookie_ = AdviseSite(AsBase(a_), &site_);
    }
    void TearDown() override {
        UnadviseSite(AsBase(a_), cookie_);
        a_->UnregisterAllViews();
        a_->Release();
        b_->Release();
    }
    CCountingEngine engine_;
    TestShapeObject* a_ = nullptr;
    TestShapeObject* b_ = nullptr;
    CFakeSite site_;
    DWORD cookie_ = 0;
    CListView view_;
};

TEST_F(ShapeOperations, AFailingBooleanTriesThreeHintsThenAsks) {
    struct Case {
        const char* what;
        bool withView;
        int answer;
        HRESULT expected;
    } const cases[] = {
        {"OK", true, IDOK, S_OK},
        {"Cancel", true, IDCANCEL, S_FALSE},
        {"no view", false, IDOK, E_FAIL},
    };
    for (const Case& c : cases) {
        engine_.booleanFlags.clear();
        a_->boxes = 0;
        a_->boxAnswer = c.answer;
        if (c.withView)
            AsBase(a_)->RegisterView(&view_);
        else
            a_->UnregisterAllViews();
        IBaseControl* operand = AsBase(b_);
        IBaseControl* result = reinterpret_cast<IBaseControl*>(1);
        EXPECT_EQ(AsBase(a_)->ShapeOperation(4, &operand, 1, 6, &result), c.expected) << c.what;
        EXPECT_EQ(result, nullptr) << c.what;
        EXPECT_EQ(engine_.booleanFlags, (std::vector<int>{6, 6 ^ 3, (6 & ~2) | 9})) << c.what;
        EXPECT_EQ(a_->boxes, c.withView ? 1 : 0) << c.what;
    }
}

TEST_F(ShapeOperations, ASucceedingBooleanMakesANewCurve) {
    engine_.booleanSucceeds = true;
    IBaseControl* operand = AsBase(b_);
    IBaseControl* result = nullptr;
    EXPECT_EQ(AsBase(a_)->ShapeOperation(3, &operand, 1, 0, &result), S_OK);
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(engine_.booleanFlags.size(), 1u);
    tagRectF r;
    result->get_Rect(&r);
    EXPECT_NEAR(r.right, 1, 1e-12);
    result->Release();
}

TEST_F(ShapeOperations, BooleanWithoutTheEngineEntryFails) {
    static CShapeEngine withoutBoolean = DefaultShapeEngine();
    withoutBoolean.pathBooleanOperation = nullptr;
    a_->UseEngine(withoutBoolean);
    IBaseControl* operand = AsBase(b_);
    IBaseControl* result = nullptr;
    EXPECT_EQ(AsBase(a_)->ShapeOperation(5, &operand, 1, 0, &result), E_FAIL);
    EXPECT_EQ(result, nullptr);
}

TEST_F(ShapeOperations, BooleanThroughTheServersEngineMakesTheResult) {
    a_->UseEngine(DefaultShapeEngine());
    IBaseControl* operand = AsBase(b_);
    IBaseControl* result = nullptr;
    EXPECT_EQ(AsBase(a_)->ShapeOperation(5, &operand, 1, 0, &result), S_OK);
    ASSERT_NE(result, nullptr);
    result->Release();
}

TEST_F(ShapeOperations, CombineAndSupport) {
    IBaseControl* operand = AsBase(b_);
    IBaseControl* result = nullptr;
    EXPECT_EQ(AsBase(a_)->ShapeOperation(2, &operand, 1, 0, &result), S_OK);
    ASSERT_NE(result, nullptr);
    TestShapeObject* combined = static_cast<TestShapeObject*>(static_cast<CTestShape*>(result));
    EXPECT_EQ(combined->Path().Count(), 2);
    result->Release();
    EXPECT_EQ(AsBase(a_)->SupportsShapeOperation(2, nullptr, 0), S_FALSE) << "one sub-path: nothing to combine";
    EXPECT_EQ(AsBase(a_)->SupportsShapeOperation(4, &operand, 1), S_OK);
    EXPECT_EQ(AsBase(a_)->SupportsShapeOperation(1, nullptr, 0), S_OK);
    EXPECT_EQ(AsBase(a_)->SupportsShapeOperation(6, &operand, 1), S_FALSE);
}

TEST_F(ShapeOperations, BreakApartIsOneUndoGroup) {
    a_->rows = 1;
    a_->columns = 3;
    a_->RebuildPath(true);
    a_->siteForNew = &site_;
    site_.Clear();
    EXPECT_EQ(a_->BreakApart(&view_), 3);
    EXPECT_EQ(view_.deleted, 1);
    EXPECT_EQ(view_.inserted, (std::vector<LONG>{4, 5, 6}));
    ASSERT_GE(site_.undo.size(), 2u);
    EXPECT_EQ(site_.undo.front().type, UDT_GroupOpen);
    EXPECT_EQ(site_.undo.back().type, UDT_GroupClose);
}
}  // namespace

namespace {
// A closed square of four line records and the end record.
void Square(double left, double top, double side, SegmentDesc* records) {
    const tagPointF corners[4] = {{left, top}, {left + side, top}, {left + side, top + side}, {left, top + side}};
    for (int i = 0; i < 4; ++i) records[i] = SegmentDesc{kSegmentLine, corners[i], corners[(i + 1) % 4], {}};
    records[4] = SegmentDesc{kSegmentEnd, corners[0], {}, {}};
}
}  // namespace

// The server's own engine behind the table: two overlapping squares combined three ways, each
// result told by points inside one square only, inside both, and outside both.
TEST(DefaultShapeEngine, CombinesOverlappingSquaresAndFreesTheResult) {
    const CShapeEngine& engine = DefaultShapeEngine();
    ASSERT_NE(engine.pathBooleanOperation, nullptr);
    ASSERT_NE(engine.ptInPolyBezier, nullptr);
    struct Case {
        int operation;
        bool onlyFirst, both, onlySecond;
    } const cases[] = {{0, true, true, true}, {1, true, false, false}, {2, false, true, false}};
    for (const Case& c : cases) {
        SegmentDesc first[5], second[5];
        Square(0, 0, 2, first);
        Square(1, 1, 2, second);
        SegmentDesc* firstArrays[] = {first};
        SegmentDesc* secondArrays[] = {second};
        const int counts[] = {5};
        SegmentDesc** out = nullptr;
        int* outCounts = nullptr;
        int outCount = 0;
        ASSERT_TRUE(engine.pathBooleanOperation(firstArrays, counts, 1, secondArrays, counts, 1, c.operation, 0, &out,
                                                &outCounts, &outCount))
            << c.operation;
        const auto inside = [&](double x, double y) {
            int hits = 0;
            for (int i = 0; i < outCount; ++i) hits += engine.ptInPolyBezier(x, y, out[i], outCounts[i]);
            return hits % 2 == 1;
        };
        EXPECT_EQ(inside(0.5, 0.5), c.onlyFirst) << c.operation;
        EXPECT_EQ(inside(1.5, 1.5), c.both) << c.operation;
        EXPECT_EQ(inside(2.5, 2.5), c.onlySecond) << c.operation;
        EXPECT_FALSE(inside(2.5, 0.5)) << c.operation;
        engine.freeBooleanResult(out, outCounts, outCount);
    }
}

// The type library inside TarnControls.dll: the slot order and names the core library binds to.
#include <gtest/gtest.h>
#include <windows.h>
#include <oleauto.h>

#include <cstddef>
#include <string>
#include <vector>

#include "TarnControls.h"

namespace {
struct Slot {
    int slot;
    const wchar_t* name;
    INVOKEKIND kind;
};

const INVOKEKIND M = INVOKE_FUNC, G = INVOKE_PROPERTYGET, P = INVOKE_PROPERTYPUT;

const Slot kBaseControl[] = {
    {3, L"CenterPoint", G}, {4, L"CenterPoint", P}, {5, L"BoundingRect", G}, {6, L"Rect", G}, {7, L"Rect", P},
    {8, L"FilledRect", G}, {9, L"RectForAlignment", G}, {10, L"FrameRect", G}, {11, L"Size", G}, {12, L"Size", P},
    {13, L"Width", G}, {14, L"Width", P}, {15, L"Height", G}, {16, L"Height", P}, {17, L"Visible", G},
    {18, L"Visible", P}, {19, L"ControlNameID", G}, {20, L"ControlName", G}, {21, L"ControlName", P},
    {22, L"Storable", G}, {23, L"Storable", P}, {24, L"RotateBy", M}, {25, L"RotateBy180", M}, {26, L"SkewBy", M},
    {27, L"MoveBy", M}, {28, L"ScaleBy", M}, {29, L"FlipHorizontally", M}, {30, L"FlipVertically", M},
    {31, L"ContainsPoint", M}, {32, L"HitTest", M}, {33, L"OverlapsWithRect", M}, {34, L"GetObjectMenu", M},
    {35, L"GetPopupMenu", M}, {36, L"GetObjectToolbar", M}, {37, L"ControlAdded", M}, {38, L"ControlDeleted", M},
    {39, L"ControlDeleting", M}, {40, L"ControlChanged", M}, {41, L"ControlReplaced", M},
    {42, L"DocumentChanged", M}, {43, L"Validate", M}, {44, L"FreeTemporaryData", M}, {45, L"Invalidate", M},
    {46, L"Inserter_Redraw", M}, {47, L"Draw", M}, {48, L"DrawUIShapes", M}, {49, L"InvalidateUIShapesInView", M},
    {50, L"DrawOutlineFast", M}, {51, L"InvalidateOutlineFast", M}, {52, L"Active", G}, {53, L"Active", P},
    {54, L"OnWindowMessage", M}, {55, L"RegisterView", M}, {56, L"UnregisterView", M},
    {57, L"UnregisterAllViews", M}, {58, L"UseSetDirty", G}, {59, L"UseSetDirty", P}, {60, L"ParseUnitsText", M},
    {61, L"FormatUnitsText", M}, {62, L"GetOwnerHWND", M}, {63, L"ResID", G}, {64, L"ResID", P},
    {65, L"PreviewMode", G}, {66, L"PreviewMode", P}, {67, L"GetCursor", M}, {68, L"GetInserterCursor", M},
    {69, L"PropMapEntries", G}, {70, L"TypeID", G}, {71, L"TypeID", P}, {72, L"SetParam", M}, {73, L"GetParam", M},
    {74, L"GetParamSize", M}, {75, L"GetParamCount", M}, {76, L"GetParamName", M}, {77, L"Owner", G},
    {78, L"Owner", P}, {79, L"SetSelMode", M}, {80, L"SupportsSelMode", M}, {81, L"SupportsInserterSelMode", M},
    {82, L"CustomHitTest", M}, {83, L"SaveForViewer", G}, {84, L"SaveForViewer", P}, {85, L"ShapeOperation", M},
    {86, L"SupportsShapeOperation", M}, {87, L"GetNextBuddy", M}, {88, L"Serializer", G}, {89, L"Serializer", P},
    {90, L"DuplicateTo", M}, {91, L"IsEqualTo", M}, {92, L"IgnoreInvalidate", M}, {93, L"FillClipboardData", M},
};

const Slot kBaseControlDispatch[] = {
    {7, L"SetCenterPoint", M}, {8, L"SetRect", M}, {9, L"SetSize", M}, {10, L"SetWidth", M},
    {11, L"SetHeight", M}, {12, L"SetLeft", M}, {13, L"SetRight", M}, {14, L"SetTop", M}, {15, L"SetBottom", M},
    {16, L"SetVisible", M}, {17, L"ControlName_Disp", G}, {18, L"ControlName_Disp", P},
    {19, L"Storable_Disp", G}, {20, L"Storable_Disp", P}, {21, L"RotateBy_Disp", M},
    {22, L"RotateBy180_Disp", M}, {23, L"SkewBy_Disp", M}, {24, L"MoveBy_Disp", M}, {25, L"ScaleBy_Disp", M},
    {26, L"FlipHorizontally_Disp", M}, {27, L"FlipVertically_Disp", M}, {28, L"StartGroupUndo", M},
    {29, L"TypeID_Disp", G}, {30, L"TypeID_Disp", P},
    // Appended after the fixed slots: the method a rename's undo record names.
    {31, L"SetControlName", M},
};

const Slot kViewEvents[] = {
    {3, L"RegisterNewControlInserter", M}, {4, L"UpdateCanvas", M}, {5, L"TransferCoordinates", M},
    {6, L"TransferSize", M}, {7, L"Invalidate", M}, {8, L"GetDC", M}, {9, L"GetControlIndex", M},
    {10, L"RegisterNewControl", M}, {11, L"InsertControl", M}, {12, L"InsertControlList", M},
    {13, L"DeleteControl", M}, {14, L"DeleteControlList", M}, {15, L"GetHWND", M}, {16, L"HitTestControlList", M},
    {17, L"SetSelMode", M}, {18, L"GetSelMode", M}, {19, L"IsControlSelected", M}, {20, L"SelectControl", M},
    {21, L"FreezeView", M}, {22, L"SnapPoint", M}, {23, L"SnapRect", M}, {24, L"ForceUndo", M},
    {25, L"ForceRedo", M},
};

const Slot kSiteEvents[] = {
    {3, L"AddUndo", M}, {4, L"SetUndoMode", M}, {5, L"Invalidate", M}, {6, L"SelectionChanged", M}};

class TypeLibrary : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t path[MAX_PATH];
        GetModuleFileNameW(nullptr, path, MAX_PATH);
        std::wstring dll(path);
        dll = dll.substr(0, dll.find_last_of(L"\\/") + 1) + L"TarnControls.dll";
        ASSERT_EQ(S_OK, LoadTypeLibEx(dll.c_str(), REGKIND_NONE, &lib_));
    }
    void TearDown() override {
        if (lib_) lib_->Release();
    }

    // The vtable form of an interface (for a dual interface, the interface behind the dispinterface).
    ITypeInfo* VtableInfo(REFIID iid) {
        ITypeInfo* info = nullptr;
        EXPECT_EQ(S_OK, lib_->GetTypeInfoOfGuid(iid, &info));
        if (!info) return nullptr;
        TYPEATTR* attr = nullptr;
        info->GetTypeAttr(&attr);
        const bool dispatch = attr->typekind == TKIND_DISPATCH;
        info->ReleaseTypeAttr(attr);
        if (dispatch) {
            HREFTYPE ref = 0;
            ITypeInfo* vtable = nullptr;
            EXPECT_EQ(S_OK, info->GetRefTypeOfImplType(-1, &ref));
            EXPECT_EQ(S_OK, info->GetRefTypeInfo(ref, &vtable));
            info->Release();
            info = vtable;
        }
        return info;
    }

    void ExpectSlots(REFIID iid, const Slot* slots, size_t count, int firstSlot) {
        ITypeInfo* info = VtableInfo(iid);
        ASSERT_NE(info, nullptr);
        TYPEATTR* attr = nullptr;
        info->GetTypeAttr(&attr);
        EXPECT_EQ(attr->cFuncs, static_cast<WORD>(count)) << "methods declared on the interface itself";
        EXPECT_EQ(attr->cbSizeVft / sizeof(void*), static_cast<size_t>(firstSlot + count));
        info->ReleaseTypeAttr(attr);
        for (size_t i = 0; i < count; ++i) {
            FUNCDESC* func = nullptr;
            ASSERT_EQ(S_OK, info->GetFuncDesc(static_cast<UINT>(i), &func));
            BSTR name = nullptr;
            info->GetDocumentation(func->memid, &name, nullptr, nullptr, nullptr);
            EXPECT_EQ(func->oVft / static_cast<int>(sizeof(void*)), slots[i].slot) << "method " << i;
            // Names in a type library are case-insensitive: the library keeps the first spelling
            // of a name ("text", a parameter of an earlier interface, for the Text property).
            EXPECT_EQ(0, _wcsicmp(name, slots[i].name)) << "slot " << slots[i].slot << ": " << name;
            EXPECT_EQ(func->invkind, slots[i].kind) << "slot " << slots[i].slot;
            SysFreeString(name);
            info->ReleaseFuncDesc(func);
        }
        info->Release();
    }

    ITypeLib* lib_ = nullptr;
};
}  // namespace

TEST_F(TypeLibrary, IdentityOfTheLibrary) {
    TLIBATTR* attr = nullptr;
    ASSERT_EQ(S_OK, lib_->GetLibAttr(&attr));
    EXPECT_TRUE(IsEqualGUID(attr->guid, LIBID_TARNCONTROLSLib));
    lib_->ReleaseTLibAttr(attr);
    BSTR name = nullptr;
    lib_->GetDocumentation(-1, &name, nullptr, nullptr, nullptr);
    EXPECT_STREQ(name, L"TARNCONTROLSLib");
    SysFreeString(name);
}

TEST_F(TypeLibrary, BaseControlSlotsThreeToNinetyThree) {
    ExpectSlots(IID_IBaseControl, kBaseControl, sizeof kBaseControl / sizeof kBaseControl[0], 3);
}

TEST_F(TypeLibrary, BaseControlDispatchSlotsAfterIDispatch) {
    ExpectSlots(IID_IBaseControlDispatch, kBaseControlDispatch,
                sizeof kBaseControlDispatch / sizeof kBaseControlDispatch[0], 7);
}

TEST_F(TypeLibrary, RectangularControlAndItsTwin) {
    const Slot plain[] = {{3, L"XScale", G},       {4, L"XScale", P},        {5, L"YScale", G},
                          {6, L"YScale", P},       {7, L"RotateAngle", G},   {8, L"RotateAngle", P},
                          {9, L"SkewAngle", G},    {10, L"SkewAngle", P},    {11, L"RotationPoint", G},
                          {12, L"RotationPoint", P}, {13, L"GetLinearTransformParams", M},
                          {14, L"SetLinearTransformParams", M}};
    ExpectSlots(IID_IRectangularControl, plain, sizeof plain / sizeof plain[0], 3);
    const Slot twin[] = {{7, L"SetXScale", M},      {8, L"SetYScale", M},        {9, L"SetRotateAngle", M},
                         {10, L"SetSkewAngle", M},  {11, L"SetRotationPoint", M},
                         {12, L"SetLinearTransformParams_Disp", M}};
    ExpectSlots(IID_IRectangularControlDispatch, twin, sizeof twin / sizeof twin[0], 7);
}

TEST_F(TypeLibrary, SmartCacheAndItsTwin) {
    const Slot plain[] = {{3, L"AttachPathClient", M}, {4, L"EnableCache", M},  {5, L"CacheEnabled", M},
                          {6, L"GetDocData", M},       {7, L"ClientMoveBy", M}, {8, L"DelegateClientsToCtrl", M},
                          {9, L"GetClientControlsList", M}};
    ExpectSlots(IID_IRectCtrlSmartCache, plain, sizeof plain / sizeof plain[0], 3);
    const Slot twin[] = {{7, L"AttachPathClient_Disp", M}, {8, L"DelegateClientsToCtrl_Disp", M}};
    ExpectSlots(IID_IRectCtrlSmartCacheDispatch, twin, sizeof twin / sizeof twin[0], 7);
}

TEST_F(TypeLibrary, TextOwnerControlAndItsTwin) {
    const Slot plain[] = {
        {3, L"LeftMargin", G}, {4, L"LeftMargin", P}, {5, L"RightMargin", G}, {6, L"RightMargin", P},
        {7, L"TopMargin", G}, {8, L"TopMargin", P}, {9, L"BottomMargin", G}, {10, L"BottomMargin", P},
        {11, L"HorizontalAlignment", G}, {12, L"HorizontalAlignment", P}, {13, L"VerticalAlignment", G},
        {14, L"VerticalAlignment", P}, {15, L"Text", G}, {16, L"Text", P}, {17, L"Font", G}, {18, L"Font", P},
        {19, L"WrapText", G}, {20, L"WrapText", P}, {21, L"FontRatio", G}, {22, L"FontRatio", P},
        {23, L"TextDir", G}, {24, L"TextDir", P}, {25, L"TextType", G}, {26, L"TextType", P},
        {27, L"Clone_Text", M}, {28, L"Compare_Text", M}, {29, L"SetTextData", M}, {30, L"GetTextData", M},
        {31, L"RangeFormatRegisterUndo", M}, {32, L"TextDataRegisterUndo", M}, {33, L"ImportFromRichEdit", M},
        {34, L"FontSize", G}, {35, L"FontSize", P}, {36, L"TextStyle", G}, {37, L"TextStyle", P},
        {38, L"FormatData", G}, {39, L"FormatData", P}, {40, L"RangeFormatData", G}, {41, L"RangeFormatData", P},
        {42, L"ActiveRange", G}, {43, L"RichTextFormat", G}, {44, L"RichTextFormat", P}, {45, L"Modified", G},
        {46, L"Modified", P}};
    ExpectSlots(IID_ITextOwnerControl, plain, sizeof plain / sizeof plain[0], 3);
    const Slot twin[] = {
        {7, L"SetTextData_Disp", M}, {8, L"SetRangeFormat_Disp", M}, {9, L"SetFontSize", M}, {10, L"SetFont", M},
        {11, L"SetTextDir", M}, {12, L"SetWrapText", M}, {13, L"SetBottomMargin", M}, {14, L"SetRightMargin", M},
        {15, L"SetTopMargin", M}, {16, L"SetLeftMargin", M}, {17, L"SetHorizontalAlignment", M},
        {18, L"SetVerticalAlignment", M}, {19, L"SetFont2", M}, {20, L"SetBold", M}, {21, L"SetItalic", M},
        {22, L"SetUnderscore", M}, {23, L"SetStrikeout", M}, {24, L"SetTextType", M}};
    ExpectSlots(IID_ITextOwnerControlDispatch, twin, sizeof twin / sizeof twin[0], 7);
    // The snapshot and range objects are known by markers without methods.
    ExpectSlots(IID_ITextData, nullptr, 0, 3);
    ExpectSlots(IID_IRangeFormat, nullptr, 0, 3);
}

TEST_F(TypeLibrary, SelectionControlAndItsTwin) {
    const Slot plain[] = {{3, L"Add", M},          {4, L"Remove", M},         {5, L"Find", M},
                          {6, L"Count", M},        {7, L"RemoveAll", M},      {8, L"GetControlList", M},
                          {9, L"Update", M},       {10, L"AddArray", M},      {11, L"GetArray", M},
                          {12, L"RemoveArray", M}, {13, L"SetSelectionMode", M},
                          {14, L"CreateNewSelectionControl", M}};
    ExpectSlots(IID_ISelectionControl, plain, sizeof plain / sizeof plain[0], 3);
    const Slot twin[] = {{7, L"MoveListBy", M},           {8, L"ScaleListBy", M},  {9, L"RotateListBy", M},
                         {10, L"SetListRotationPoint", M}, {11, L"SkewListBy", M},  {12, L"SetListCenterPoint", M},
                         {13, L"SetListRect", M}};
    ExpectSlots(IID_ISelectionControlDispatch, twin, sizeof twin / sizeof twin[0], 7);
}

TEST_F(TypeLibrary, ViewAndSiteEventSlots) {
    ExpectSlots(IID_ITarnViewEvents, kViewEvents, sizeof kViewEvents / sizeof kViewEvents[0], 3);
    ExpectSlots(IID_ITarnSiteEvents, kSiteEvents, sizeof kSiteEvents / sizeof kSiteEvents[0], 3);
}

TEST_F(TypeLibrary, CoclassesOutsideTheObjectMapAreListed) {
    const GUID* classes[] = {&CLSID_Prop_TextCtrl_Text, &CLSID_Prop_TextCtrl_Font, &CLSID_LineControl,
                             &CLSID_TarnCanvas};
    for (const GUID* clsid : classes) {
        ITypeInfo* info = nullptr;
        EXPECT_EQ(S_OK, lib_->GetTypeInfoOfGuid(*clsid, &info));
        if (info) info->Release();
    }
}

TEST(RecordLayouts, MatchWhatTheCoreLibraryLaysOut) {
    EXPECT_EQ(sizeof(MeasurementUnit), 40u);
    EXPECT_EQ(offsetof(MeasurementUnit, ShortName), 15u);
    EXPECT_EQ(offsetof(MeasurementUnit, Key), 20u);
    EXPECT_EQ(offsetof(MeasurementUnit, PixelBased), 28u);
    EXPECT_EQ(offsetof(MeasurementUnit, InchesPerUnit), 32u);
    EXPECT_EQ(sizeof(tagRectF), 32u);
    // Records that carry pointers and handles follow the processor's natural layout: four
    // pointers then two longs before the undo type; two pointers before the update rectangle.
    const size_t pointer = sizeof(void*);
    EXPECT_EQ(offsetof(tagUndoData, Type), 4 * pointer + 8);
    EXPECT_EQ(offsetof(tagDrawOptions, UpdateRect), 2 * pointer);
    EXPECT_EQ(offsetof(tagDrawOptions, ZoomValue), 2 * pointer + 16);
    // Handles travel whole: a region or event handle is as wide as a pointer.
    EXPECT_EQ(sizeof(tagDrawOptions::RgnHandle), pointer);
    EXPECT_EQ(sizeof(tagDrawOptions::hStopEvent), pointer);
}

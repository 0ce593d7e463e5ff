// TextData, range and font-holder objects: their counts, the class factory of the server, and
// recognition by this module's tag only.
#include <gtest/gtest.h>

#include "TextComTestControl.h"
#include "com/TextServerObjects.h"

TEST(TextServerObjects, TextDataCountsNothingUntilItIsQueried) {
    CComObject<CTextData>* data = nullptr;
    ASSERT_EQ(S_OK, CComObject<CTextData>::CreateInstance(&data));
    EXPECT_EQ(0, data->m_dwRef);
    ITextData* marker = nullptr;
    ASSERT_EQ(S_OK, data->QueryInterface(IID_ITextData, reinterpret_cast<void**>(&marker)));
    EXPECT_EQ(1, data->m_dwRef);
    EXPECT_EQ(&data->snapshot, ServerSnapshot(marker));
    EXPECT_EQ(nullptr, ServerRangeFormat(marker));
    EXPECT_EQ(nullptr, ServerLogFont(marker));
    EXPECT_EQ(0u, marker->Release());
}

TEST(TextServerObjects, EachObjectAnswersItsOwnKindOnly) {
    TextSnapshot snapshot;
    snapshot.leftMargin = 0.75;
    ITextData* data = nullptr;
    ASSERT_EQ(S_OK, NewTextData(snapshot, &data));
    ASSERT_NE(nullptr, ServerSnapshot(data));
    EXPECT_EQ(0.75, ServerSnapshot(data)->leftMargin);

    TextRangeFormat format;
    format.chars.resize(3);
    IRangeFormat* range = nullptr;
    ASSERT_EQ(S_OK, NewRangeFormat(format, &range));
    ASSERT_NE(nullptr, ServerRangeFormat(range));
    EXPECT_EQ(3u, ServerRangeFormat(range)->chars.size());
    EXPECT_EQ(nullptr, ServerSnapshot(range));

    LOGFONTA font{};
    lstrcpyA(font.lfFaceName, "Liberation Serif");
    IUnknown* holder = nullptr;
    ASSERT_EQ(S_OK, NewFontHolder(font, &holder));
    ASSERT_NE(nullptr, ServerLogFont(holder));
    EXPECT_STREQ("Liberation Serif", ServerLogFont(holder)->lfFaceName);
    IRangeFormat* notARange = nullptr;
    EXPECT_EQ(E_NOINTERFACE, holder->QueryInterface(IID_IRangeFormat, reinterpret_cast<void**>(&notARange)));

    EXPECT_EQ(nullptr, ServerSnapshot(nullptr));
    EXPECT_EQ(0u, data->Release());
    EXPECT_EQ(0u, range->Release());
    EXPECT_EQ(0u, holder->Release());
}

TEST(TextServerObjects, TheServerMakesTextDataAndAnotherModulesObjectsAreNotTaken) {
    HMODULE server = LoadLibraryA("TarnControls.dll");
    ASSERT_NE(nullptr, server);
    typedef HRESULT(STDAPICALLTYPE * GetClassObject)(REFCLSID, REFIID, void**);
    auto getClassObject = reinterpret_cast<GetClassObject>(GetProcAddress(server, "DllGetClassObject"));
    ASSERT_NE(nullptr, getClassObject);
    IClassFactory* factory = nullptr;
    ASSERT_EQ(S_OK, getClassObject(CLSID_TextData, IID_IClassFactory, reinterpret_cast<void**>(&factory)));
    ITextData* data = nullptr;
    ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_ITextData, reinterpret_cast<void**>(&data)));
    IUnknown* outer = reinterpret_cast<IUnknown*>(factory);  // any outer unknown: aggregation is refused
    IUnknown* inner = nullptr;
    EXPECT_EQ(CLASS_E_NOAGGREGATION, factory->CreateInstance(outer, IID_IUnknown, reinterpret_cast<void**>(&inner)));
    factory->Release();

    // The server's object carries the private interface, with the server's own tag: this test
    // program is another module, so it does not take the object's contents.
    EXPECT_EQ(nullptr, ServerSnapshot(data));
    TextComTestControlObject* control = NewTextComTestControl();
    EXPECT_EQ(E_INVALIDARG, control->SetTextData(data));
    control->Release();
    EXPECT_EQ(0u, data->Release());
}

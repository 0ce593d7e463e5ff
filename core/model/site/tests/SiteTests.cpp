// A site's stored form: its records around the control records, control indexes during a pass,
// buddies, the class-factory cache, counted control lists and damaged input.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <memory>
#include <vector>

#include "CardControls.h"
#include "ClException.h"
#include "ClModule.h"
#include "DocumentVersion.h"
#include "OptionsManager.h"
#include "SiteIcon.h"
#include "StyleLibrary.h"
#include "TarnStrings.h"
#include "SiteRecords.h"
#include "StreamHelpers.h"
#include "TarnBackground.h"
#include "TarnSite.h"
#include "UndoManager.h"

namespace {

// A site held the way the document holds it.
struct SiteRef {
    CTarnSite* site;
    explicit SiteRef(CTarnSite* s = new CTarnSite) : site(s) { site->AddRef(); }
    ~SiteRef() { site->Release(); }
    CTarnSite* operator->() const { return site; }
};

void AddPlain(CTarnSite* site, long label)
{
    IBaseControl* control = NewCardControl(label);
    ASSERT_NE(nullptr, control);
    site->InsertControlWOUndo(control, -1);
    control->Release();
}

std::vector<long> Labels(CTarnSite* site)
{
    std::vector<long> labels;
    for (int i = 0; i < site->GetControlCount(); ++i)
        labels.push_back(LabelOf(site->GetControlAt(i)));
    return labels;
}

std::vector<unsigned char> SiteBytes(CTarnSite* site)
{
    return ArchiveBytes([&](CArchive& ar) { site->Serialize(ar); });
}

// Loads the bytes into a fresh site; false when the load was refused with an exception.
bool LoadSite(const std::vector<unsigned char>& bytes, CTarnSite* site)
{
    try {
        ReadArchive(bytes, [&](CArchive& ar) { site->Serialize(ar); });
    } catch (CException* e) {
        e->Delete();
        return false;
    }
    return true;
}

TEST(SiteStorage, ControlsAndRecordsSurviveSaveAndLoad)
{
    SiteRef saved;
    saved->InitNew();
    saved->SetID(4);
    saved->GetBackground()->SetColor(0x00AA00, FALSE);
    for (long label : {10, 20, 30})
        AddPlain(saved.site, label);
    const auto bytes = SiteBytes(saved.site);

    SiteRef loaded;
    ASSERT_TRUE(LoadSite(bytes, loaded.site));
    EXPECT_EQ(4, loaded->GetID());
    EXPECT_EQ((std::vector<long>{10, 20, 30}), Labels(loaded.site));
    EXPECT_EQ(0x00AA00, loaded->GetBackground()->GetParams()->m_color);
    EXPECT_EQ(loaded.site, loaded->GetBackground()->GetMaster());
    EXPECT_EQ(bytes, SiteBytes(loaded.site));
}

TEST(SiteStorage, EmptySiteWritesCountZero)
{
    SiteRef site;
    site->InitNew();
    const auto bytes = SiteBytes(site.site);
    SiteRef loaded;
    ASSERT_TRUE(LoadSite(bytes, loaded.site));
    EXPECT_EQ(0, loaded->GetControlCount());
}

TEST(SiteStorage, ControlsThatCannotBeStoredAreNeitherCountedNorWritten)
{
    SiteRef site;
    site->InitNew();
    AddPlain(site.site, 1);
    AddPlain(site.site, 2);
    AddPlain(site.site, 3);
    site->GetControlAt(1)->put_Storable(0);
    EXPECT_EQ(2, site->GetWritableControlsNumber());
    SiteRef loaded;
    ASSERT_TRUE(LoadSite(SiteBytes(site.site), loaded.site));
    EXPECT_EQ((std::vector<long>{1, 3}), Labels(loaded.site));
}

TEST(SiteStorage, ReferencesKeepTheirPositions)
{
    SiteRef site;
    site->InitNew();
    for (long label : {1, 2, 3})
        AddPlain(site.site, label);
    // The first control names the third; indexes are those of the stored controls.
    ReferTo(site->GetControlAt(0), site->GetControlAt(2), false);
    SiteRef loaded;
    ASSERT_TRUE(LoadSite(SiteBytes(site.site), loaded.site));
    ASSERT_EQ(3, loaded->GetControlCount());
    EXPECT_EQ(loaded->GetControlAt(2), ReferredOf(loaded->GetControlAt(0)));
}

TEST(SiteStorage, BuddyStoredAfterItsClientEndsUpBelowIt)
{
    SiteRef site;
    site->InitNew();
    AddPlain(site.site, 1);  // text
    AddPlain(site.site, 2);  // its curve
    ReferTo(site->GetControlAt(0), site->GetControlAt(1), true);
    SiteRef loaded;
    ASSERT_TRUE(LoadSite(SiteBytes(site.site), loaded.site));
    EXPECT_EQ((std::vector<long>{2, 1}), Labels(loaded.site));
}

TEST(SiteStorage, OneClassObjectServesEveryControlOfItsClass)
{
    SiteRef site;
    site->InitNew();
    for (long label : {1, 2, 3, 4})
        AddPlain(site.site, label);
    SiteRef loaded;
    ASSERT_TRUE(LoadSite(SiteBytes(site.site), loaded.site));
    EXPECT_EQ(1, loaded->GetFactoryCacheSize());
}

TEST(SiteCopy, CopyHoldsItsOwnControlsAndRecords)
{
    SiteRef source;
    source->InitNew();
    source->SetID(3);
    source->GetBackground()->SetColor(0x445566, FALSE);
    for (long label : {1, 2, 3})
        AddPlain(source.site, label);
    ReferTo(source->GetControlAt(0), source->GetControlAt(2), false);
    source->GetControlAt(1)->put_Storable(0);

    SiteRef copy;
    copy->InitNew();
    AddPlain(copy.site, 99);  // replaced by the copy
    *copy.site = *source.site;
    EXPECT_EQ(3, copy->GetID());
    EXPECT_EQ(0x445566, copy->GetBackground()->GetParams()->m_color);
    EXPECT_NE(source->GetBackground(), copy->GetBackground());
    // Only what can be stored is copied, as new objects; references follow the copies.
    ASSERT_EQ((std::vector<long>{1, 3}), Labels(copy.site));
    EXPECT_NE(source->GetControlAt(0), copy->GetControlAt(0));
    EXPECT_EQ(copy->GetControlAt(1), ReferredOf(copy->GetControlAt(0)));
    EXPECT_EQ(3, source->GetControlCount());
}

TEST(SiteUndo, BackgroundChangesAreUndoneAndRedone)
{
    SiteRef site;
    site->InitNew();
    CTarnBackground* background = site->GetBackground();
    CBackgroundParams* params = background->GetParams();
    background->SetColor(0x0000FF, TRUE);
    background->SetImageLayout(kImageCentered, 2.0, 3.0, FALSE);
    background->SetPrintBackground(params->m_printBackground);  // unchanged: nothing recorded
    background->SetPrintOutline(FALSE);
    CUndoManager* undo = site->GetUndoManager();
    ASSERT_EQ(3u, undo->GetUndoCount());
    EXPECT_TRUE(site->IsModified());

    undo->Undo(true);
    EXPECT_EQ(1, params->m_printOutline);
    undo->Undo(true);
    EXPECT_EQ(kImageNone, params->m_imageType);
    EXPECT_EQ(1.0, params->m_imageWidth);
    EXPECT_EQ(1, params->m_keepAspectRatio);
    undo->Undo(true);
    EXPECT_EQ(0xFFFFFF, params->m_color);
    EXPECT_EQ(0, params->m_useWindowColor);
    EXPECT_EQ(3u, undo->GetRedoCount());

    undo->Redo(true);
    EXPECT_EQ(0x0000FF, params->m_color);
    EXPECT_EQ(1, params->m_useWindowColor);
    site->AfterSave();
    EXPECT_FALSE(site->IsModified());
}

TEST(SiteUndo, ControlRecordsAreCopiedAndLeaveNothingToRedo)
{
    SiteRef site;
    site->InitNew();
    site->GetBackground()->SetPrintOutline(FALSE);
    site->GetUndoManager()->Undo(true);
    ASSERT_EQ(1u, site->GetUndoManager()->GetRedoCount());

    // A control reports an edit while the mode is on: a new edit leaves nothing to redo.
    ITarnSiteEvents* events = site->GetISiteEvents();
    IDispatch* target = site->GetBackground()->GetIDispatch(FALSE);
    VARIANT arg;
    VariantInit(&arg);
    arg.vt = VT_BOOL;
    arg.boolVal = VARIANT_TRUE;
    DISPPARAMS params = {&arg, nullptr, 1, 0};
    wchar_t method[] = L"SetPrintOutline";
    char caption[] = "Print Outline";
    tagUndoData data = {};
    data.Description = caption;
    data.Method = method;
    data.Arguments = &params;
    data.Target = target;
    data.Type = UDT_Plain;
    EXPECT_EQ(S_OK, events->SetUndoMode(1));
    EXPECT_EQ(S_OK, events->AddUndo(&data));
    caption[0] = 'X';  // the site holds its own copy
    EXPECT_EQ(S_OK, events->SetUndoMode(0));
    EXPECT_EQ(0u, site->GetUndoManager()->GetRedoCount());
    ASSERT_EQ(1u, site->GetUndoManager()->GetUndoCount());
    EXPECT_STREQ("Print Outline", site->GetUndoManager()->GetUndoRecord(0)->GetCaption());
}

TEST(SiteGeometry, ExtremePointsOfSheetAndControls)
{
    SiteRef site;
    site->InitNew();
    site->GetBackground()->ProcessPageSetupData(8.5, 11, CRectF(1, 1, 1, 1));
    // The sheet starts at 0.5: move it by giving it margins of its own.
    site->GetBackground()->GetParams()->m_rect = CRectF(0.5, 0.25, 6.5, 9);
    EXPECT_EQ(0.5, site->GetExtremeSitePoint(37, 0, 0));
    EXPECT_EQ(0.25, site->GetExtremeSitePoint(38, 0, 0));
    EXPECT_EQ(6.5, site->GetExtremeSitePoint(39, 0, 1));
    EXPECT_EQ(1000000000.0, site->GetExtremeSitePoint(12, 0, 1));
    IBaseControl* control = NewCardControl(1);
    tagRectF reach = {0.2, 1, 7, 2};
    control->put_Rect(reach);
    site->InsertControlWOUndo(control, -1);
    control->Release();
    EXPECT_EQ(0.2, site->GetExtremeSitePoint(37, 0, 1));
    EXPECT_EQ(7.0, site->GetExtremeSitePoint(39, 0, 1));
    EXPECT_EQ(0.5, site->GetExtremeSitePoint(37, 0, 0));
    // The room around the sheet is the sheet's own size on every side.
    const CRectF total = site->GetTotalArea(1, 0, 0);
    EXPECT_DOUBLE_EQ(0.5 - 6.0, total.left);
    EXPECT_DOUBLE_EQ(9 + 8.75, total.bottom);
}

TEST(SiteSerializer, AnswersOnlyDuringAPass)
{
    SiteRef site;
    site->InitNew();
    AddPlain(site.site, 1);
    IControlSerializer* serializer = site->GetISerializer();
    long index = 0;
    EXPECT_EQ(E_FAIL, serializer->IndexOf(site->GetControlAt(0), &index));
    EXPECT_EQ(-1, index);
    IBaseControl* found = reinterpret_cast<IBaseControl*>(1);
    EXPECT_EQ(E_FAIL, serializer->ControlAt(1, &found));
    EXPECT_EQ(nullptr, found);
    EXPECT_EQ(E_POINTER, serializer->IndexOf(nullptr, nullptr));
}

TEST(SiteSerializer, IndexesDuringASaveOfThree)
{
    SiteRef site;
    site->InitNew();
    for (long label : {1, 2, 3})
        AddPlain(site.site, label);
    // The second control asks for the third's index while it is written.
    ReferTo(site->GetControlAt(1), site->GetControlAt(2), false);
    IStream* stream = StreamOver({});
    EXPECT_EQ(3, site->SerializeControls(stream, -1, 1));
    LARGE_INTEGER zero = {};
    stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    SiteRef loaded;
    loaded->InitNew();
    EXPECT_EQ(3, loaded->SerializeControls(stream, 3, 1));
    stream->Release();
    EXPECT_EQ(loaded->GetControlAt(2), ReferredOf(loaded->GetControlAt(1)));
    // Bounds of the serializer while a pass runs are checked by ControlAt itself.
    IBaseControl* out = nullptr;
    EXPECT_EQ(E_FAIL, loaded->GetISerializer()->ControlAt(0, &out));
    EXPECT_EQ(E_FAIL, loaded->GetISerializer()->ControlAt(4, &out));
}

TEST(SiteOwnerHooks, TextPopupMenuBySize)
{
    HMODULE resources = LoadLibraryA("TarnRes.dll");
    ASSERT_NE(nullptr, resources);
    HINSTANCE previous = AfxGetResourceHandle();
    AfxSetResourceHandle(resources);
    SiteRef site;
    site->InitNew();
    IBaseControl* text = NewCardControl(1);
    text->put_TypeID(201);
    IBaseControl* other = NewCardControl(2);
    IControlOwnerHooks* hooks = site->GetIOwnerHooks();

    int size = 0;
    ASSERT_EQ(S_OK, hooks->Customize_GetPopupMenu(text, 4, reinterpret_cast<BYTE*>(&size)));
    ASSERT_GT(size, 4);
    std::vector<BYTE> exact(static_cast<size_t>(size));
    EXPECT_EQ(S_OK, hooks->Customize_GetPopupMenu(text, size, exact.data()));
    HMENU menu = LoadMenuIndirectA(exact.data());
    EXPECT_NE(nullptr, menu);
    if (menu)
        DestroyMenu(menu);
    std::vector<BYTE> shorter(static_cast<size_t>(size), 0xAB);
    EXPECT_EQ(S_FALSE, hooks->Customize_GetPopupMenu(text, size - 1, shorter.data()));
    EXPECT_EQ(std::vector<BYTE>(static_cast<size_t>(size), 0xAB), shorter);

    // Buffers too small for the size answer are refused with nothing written around them.
    for (int small : {0, 1, 3}) {
        std::vector<BYTE> guarded(16, 0xCD);
        EXPECT_EQ(E_INVALIDARG, hooks->Customize_GetPopupMenu(text, small, guarded.data() + 6)) << small;
        EXPECT_EQ(std::vector<BYTE>(16, 0xCD), guarded) << small;
    }

    EXPECT_EQ(E_NOTIMPL, hooks->Customize_GetPopupMenu(other, size, exact.data()));
    EXPECT_EQ(E_NOTIMPL, hooks->Customize_GetPopupMenu(nullptr, size, exact.data()));
    int result = 0;
    EXPECT_EQ(E_POINTER, hooks->Customize_ExecInitDialog(text, nullptr, &result));
    EXPECT_EQ(E_NOTIMPL, hooks->Customize_ExecInitDialog(other, nullptr, &result));
    text->Release();
    other->Release();
    AfxSetResourceHandle(previous);
}

TEST(SiteDamage, UnreadableControlStopsTheLoad)
{
    SiteRef site;
    site->InitNew();
    AddPlain(site.site, 1);
    IBaseControl* unreadable = nullptr;
    ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_CardUnreadableControl, nullptr, CLSCTX_INPROC_SERVER,
                                           IID_IBaseControl, reinterpret_cast<void**>(&unreadable))));
    site->InsertControlWOUndo(unreadable, -1);
    unreadable->Release();
    AddPlain(site.site, 3);
    SiteRef loaded;
    EXPECT_FALSE(LoadSite(SiteBytes(site.site), loaded.site));
}

TEST(SiteDamage, UnknownClassStopsTheLoad)
{
    SiteRef site;
    site->InitNew();
    AddPlain(site.site, 1);
    auto bytes = SiteBytes(site.site);
    // The control's class id follows its 4-byte count; make it a class nobody serves.
    const unsigned char* clsid = reinterpret_cast<const unsigned char*>(&CLSID_CardTestControl);
    auto at = std::search(bytes.begin(), bytes.end(), clsid, clsid + sizeof(CLSID));
    ASSERT_NE(bytes.end(), at);
    *at ^= 0x55;
    SiteRef loaded;
    EXPECT_FALSE(LoadSite(bytes, loaded.site));
}

TEST(SiteDamage, EveryTruncationIsRefused)
{
    SiteRef site;
    site->InitNew();
    AddPlain(site.site, 1);
    AddPlain(site.site, 2);
    const auto bytes = SiteBytes(site.site);
    for (size_t cut = 0; cut < bytes.size(); cut += 3) {
        SiteRef loaded;
        EXPECT_FALSE(LoadSite(std::vector<unsigned char>(bytes.begin(), bytes.begin() + cut), loaded.site)) << cut;
    }
}

TEST(SiteDamage, ControlCountBeyondTheFileIsRefused)
{
    SiteRef site;
    site->InitNew();
    AddPlain(site.site, 1);
    auto bytes = SiteBytes(site.site);
    const unsigned char* clsid = reinterpret_cast<const unsigned char*>(&CLSID_CardTestControl);
    auto at = std::search(bytes.begin(), bytes.end(), clsid, clsid + sizeof(CLSID));
    ASSERT_NE(bytes.end(), at);
    const size_t countAt = static_cast<size_t>(at - bytes.begin()) - 4;
    const DWORD huge = 0x10000000;
    std::memcpy(&bytes[countAt], &huge, 4);
    SiteRef loaded;
    EXPECT_FALSE(LoadSite(bytes, loaded.site));
}

TEST(CountedControlList, CountIsWhatIsWritten)
{
    SiteRef site;
    site->InitNew();
    for (long label : {1, 2, 3})
        AddPlain(site.site, label);
    site->GetControlAt(2)->put_Storable(0);
    IBaseControl* foreign = NewCardControl(99);  // not on this site
    // List order differs from site order: the site's order wins.
    std::vector<IBaseControl*> list = {site->GetControlAt(2), foreign, site->GetControlAt(1), site->GetControlAt(0)};
    IStream* stream = StreamOver({});
    site->SaveCtrlListToStreamFile(stream, list);
    foreign->Release();
    const auto bytes = StreamContent(stream);
    stream->Release();
    DWORD count = 0;
    std::memcpy(&count, bytes.data(), 4);
    EXPECT_EQ(2u, count);

    IStream* source = StreamOver(bytes);
    std::vector<IBaseControl*> loaded = site->LoadCtrlListFromStreamFile(source);
    source->Release();
    ASSERT_EQ(2u, loaded.size());
    EXPECT_EQ(1, LabelOf(loaded[0]));
    EXPECT_EQ(2, LabelOf(loaded[1]));
    for (IBaseControl* control : loaded)
        control->Release();
}

TEST(CountedControlList, ShortListIsRefused)
{
    SiteRef site;
    site->InitNew();
    AddPlain(site.site, 1);
    IStream* stream = StreamOver({});
    site->SaveCtrlListToStreamFile(stream, {site->GetControlAt(0)});
    auto bytes = StreamContent(stream);
    stream->Release();
    const DWORD claimed = 2;  // one record more than there is
    std::memcpy(bytes.data(), &claimed, 4);
    IStream* source = StreamOver(bytes);
    bool refused = false;
    try {
        site->LoadCtrlListFromStreamFile(source);
    } catch (CException* e) {
        e->Delete();
        refused = true;
    }
    source->Release();
    EXPECT_TRUE(refused);
}

TEST(SiteStorage, OldDocumentsCarryAPageSetupThatIsDropped)
{
    // A version-1 site: properties, page setup, background, start, count, finish. The page setup
    // is a plain record list; some writers put its class tag in front.
    for (bool tagged : {false, true}) {
        SiteRef source;
        source->InitNew();
        source->SetID(2);
        CPageSetupData setup;
        setup.m_width = 5.0;
        const auto bytes = ArchiveBytes([&](CArchive& ar) {
            WriteObjectWithClass(ar, source->GetProperties());
            if (tagged)
                WriteObjectWithClass(ar, &setup);
            else
                setup.Serialize(ar);
            WriteObjectWithClass(ar, source->GetBackground());
            CSiteStartData start;
            WriteObjectWithClass(ar, &start);
            ar << DWORD(0);
            CSiteFinishData finish;
            WriteObjectWithClass(ar, &finish);
        });
        SetLoadingDocumentVersion(1);
        SiteRef loaded;
        const bool ok = LoadSite(bytes, loaded.site);
        SetLoadingDocumentVersion(0);
        ASSERT_TRUE(ok) << tagged;
        EXPECT_EQ(2, loaded->GetID()) << tagged;
        EXPECT_TRUE(loaded->GetBackground()->GetParams()->Equal(*source->GetBackground()->GetParams())) << tagged;
        // Saved again, it has no page setup: it reads back as a current site.
        SiteRef again;
        EXPECT_TRUE(LoadSite(SiteBytes(loaded.site), again.site)) << tagged;
        EXPECT_LT(SiteBytes(loaded.site).size(), bytes.size()) << tagged;
    }
}

// A derived site's hook is asked once per control when the site is stored, and what it claims
// is neither counted nor written.
class CClaimingSite : public CTarnSite {
public:
    int SpecialControlProcessing(IStream*, IBaseControl* control, int saving) override
    {
        if (saving)
            ++asked[LabelOf(control)];
        return saving && LabelOf(control) == 2;
    }
    std::map<long, int> asked;
};

TEST(SiteStorage, TheSpecialControlHookIsAskedOncePerControl)
{
    auto* claiming = new CClaimingSite;
    SiteRef site(claiming);
    site->InitNew();
    for (long label : {1, 2, 3})
        AddPlain(site.site, label);
    const auto bytes = SiteBytes(site.site);
    EXPECT_EQ((std::map<long, int>{{1, 1}, {2, 1}, {3, 1}}), claiming->asked);
    SiteRef loaded;
    ASSERT_TRUE(LoadSite(bytes, loaded.site));
    EXPECT_EQ((std::vector<long>{1, 3}), Labels(loaded.site));
}

TEST(SiteStorage, WrongRecordClassIsRefused)
{
    // A background where the properties belong.
    CTarnBackground background;
    background.InitNew();
    const auto bytes = ArchiveBytes([&](CArchive& ar) { WriteObjectWithClass(ar, &background); });
    SiteRef loaded;
    EXPECT_FALSE(LoadSite(bytes, loaded.site));
}

// ---- site properties: icon under the sites bar, name from the style, default name

std::vector<unsigned char> PropertiesBytes(CTarnSiteProperties& properties)
{
    return ArchiveBytes([&](CArchive& ar) { properties.Serialize(ar); });
}

bool LoadProperties(const std::vector<unsigned char>& bytes, CTarnSiteProperties& properties)
{
    try {
        ReadArchive(bytes, [&](CArchive& ar) { properties.Serialize(ar); });
    } catch (CException* e) {
        e->Delete();
        return false;
    }
    return true;
}

bool HoldsIconRecord(const std::vector<unsigned char>& bytes)
{
    const DWORD key = 0x40001004;
    for (size_t at = 0; at + 4 <= bytes.size(); ++at) {
        if (std::memcmp(bytes.data() + at, &key, 4) == 0)
            return true;
    }
    return false;
}

CSiteIcon* SampleIcon()
{
    auto* icon = new CSiteIcon;
    icon->m_nID = 9;
    icon->m_clTransColor = 0x00FF00FF;
    icon->m_IconData = {'B', 'M', 1, 2, 3, 4, 5};
    icon->m_nCheckSum = icon->CalculateCheckSum();
    return icon;
}

struct SitesBarCase {
    const char* name;
    bool haveOptions;
    bool barOnSaving;
    bool barOnLoading;
    bool iconStored;
    bool iconLoaded;
};

TEST(SiteProperties, IconTravelsOnlyWhileTheSitesBarIsEnabled)
{
    const SitesBarCase cases[] = {
        {"no options", false, false, false, false, false},
        {"bar off", true, false, false, false, false},
        {"bar on", true, true, true, true, true},
        {"stored with the bar, read without it", true, true, false, true, false},
    };
    for (const SitesBarCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<COptionsManager> options;
        if (c.haveOptions)
            options = std::make_unique<COptionsManager>(nullptr, "TarnSiteTests", "Engine", "Card");
        if (options)
            options->m_bSitesBarEnabled = c.barOnSaving;
        CTarnSiteProperties saved;
        saved.m_siteName = "Front";
        saved.m_siteId = 3;
        saved.SetIcon(SampleIcon());
        const auto bytes = PropertiesBytes(saved);
        EXPECT_EQ(c.iconStored, HoldsIconRecord(bytes));

        if (options)
            options->m_bSitesBarEnabled = c.barOnLoading;
        CTarnSiteProperties loaded;
        ASSERT_TRUE(LoadProperties(bytes, loaded));
        EXPECT_STREQ("Front", loaded.m_siteName);
        EXPECT_EQ(3, loaded.m_siteId);
        ASSERT_EQ(c.iconLoaded, loaded.GetIcon() != nullptr);
        if (c.iconLoaded) {
            EXPECT_EQ(9, loaded.GetIcon()->m_nID);
            EXPECT_EQ(0x00FF00FFu, loaded.GetIcon()->m_clTransColor);
            EXPECT_EQ(saved.GetIcon()->m_IconData, loaded.GetIcon()->m_IconData);
            EXPECT_EQ(saved.GetIcon()->m_nCheckSum, loaded.GetIcon()->m_nCheckSum);
        }
    }
}

TEST(SiteProperties, DamagedIconLeavesTheSiteWithoutIconAndLoadsTheRest)
{
    COptionsManager options(nullptr, "TarnSiteTests", "Engine", "Card");
    options.m_bSitesBarEnabled = true;
    // The icon record holds a record list cut short: a key with half of its length.
    const std::vector<unsigned char> list = {
        0x03, 0x10, 0x00, 0x40, 4, 0, 0, 0, 6, 0, 0, 0,                  // site id 6
        0x04, 0x10, 0x00, 0x40, 6, 0, 0, 0, 0x03, 0x00, 0x01, 0x40, 4, 0,  // damaged icon
        0, 0, 0, 0};
    CTarnSiteProperties loaded;
    loaded.SetIcon(SampleIcon());
    ASSERT_TRUE(LoadProperties(list, loaded));
    EXPECT_EQ(6, loaded.m_siteId);
    EXPECT_EQ(nullptr, loaded.GetIcon());
}

TEST(SiteProperties, NameComesFromTheStyleTheLibraryKnows)
{
    COptionsManager options(nullptr, "TarnSiteTests", "Engine", "Card");
    options.m_pStyleLib = options.CreateStyleLib();
    CTarnSiteStyle* style = options.m_pStyleLib->CreateSiteStyle();
    style->m_nID = 5;
    style->m_strName = "Inside left";
    options.m_pStyleLib->m_SiteStyles.Add(style);
    struct Case {
        int styleId;
        const char* expected;
    } const cases[] = {{5, "Inside left"}, {6, "Stored"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.styleId);
        CTarnSiteProperties saved;
        saved.m_siteName = "Stored";
        saved.m_styleId = c.styleId;
        CTarnSiteProperties loaded;
        ASSERT_TRUE(LoadProperties(PropertiesBytes(saved), loaded));
        EXPECT_STREQ(c.expected, loaded.m_siteName);
    }
}

TEST(SiteProperties, NewSitesTakeTheDefaultNameAndCopiesTheIcon)
{
    CTarnSiteProperties fresh;
    fresh.InitNew();
    EXPECT_FALSE(fresh.m_siteName.IsEmpty());
    EXPECT_STREQ(static_cast<LPCSTR>(TarnString(kIdsDefaultSiteName)), fresh.m_siteName);

    CTarnSiteProperties withIcon;
    withIcon.SetIcon(SampleIcon());
    CTarnSiteProperties copy;
    copy.Duplicate(&withIcon);
    ASSERT_NE(nullptr, copy.GetIcon());
    EXPECT_NE(withIcon.GetIcon(), copy.GetIcon());
    EXPECT_EQ(withIcon.GetIcon()->m_IconData, copy.GetIcon()->m_IconData);
    // A source without icon leaves the copy's own.
    CTarnSiteProperties without;
    CSiteIcon* own = copy.GetIcon();
    copy.Duplicate(&without);
    EXPECT_EQ(own, copy.GetIcon());
}

}  // namespace

// Path clients: they follow the owner, leave its list when either side goes, are saved as indices,
// come back when the serializer goes, and fill the control list Tarn hands over.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "ComControlList.h"
#include "ShapeFixtures.h"

namespace {

TEST(PathClients, ClientsFollowTheOwnersMovesAndPlacement) {
    TestShapeObject* owner = NewShape(tagRectF{0, 0, 2, 2});
    TestShapeObject* client = NewShape(tagRectF{5, 5, 6, 6});
    ASSERT_EQ(AsRectCache(owner)->AttachPathClient(AsBase(client), 1), S_OK);
    EXPECT_EQ(owner->Clients().size(), 1u);
    AsRect(owner)->put_RotateAngle(0.25);
    EXPECT_DOUBLE_EQ(client->Transform().RotateAngle, 0.25) << "the placement is passed on";
    EXPECT_DOUBLE_EQ(client->Transform().XOffset, 1.0);
    AsBase(owner)->MoveBy(tagSizeF{1, 0});
    EXPECT_DOUBLE_EQ(owner->Transform().XOffset, 2.0);
    EXPECT_DOUBLE_EQ(client->Transform().XOffset, 3.0) << "placed like the owner, then moved with it";
    ASSERT_EQ(AsRectCache(owner)->AttachPathClient(AsBase(client), 0), S_OK);
    EXPECT_TRUE(owner->Clients().empty());
    EXPECT_EQ(AsRectCache(owner)->AttachPathClient(AsBase(owner), 1), S_OK);
    EXPECT_TRUE(owner->Clients().empty()) << "a path does not follow itself";
    owner->Release();
    client->Release();
}

TEST(PathClients, ANewEffectRebuildsThePathAndNudgesTheClients) {
    TestShapeObject* owner = NewShape(tagRectF{0, 0, 2, 2});
    TestShapeObject* client = NewShape(tagRectF{5, 5, 6, 6});
    AsRectCache(owner)->AttachPathClient(AsBase(client), 1);
    const int builds = owner->builds, changes = client->transformChanges();
    owner->EffectPart().SetEffectNumber(4);
    EXPECT_EQ(owner->EffectPart().effectNumber, 4);
    EXPECT_GT(owner->builds, builds) << "the path is warped anew";
    EXPECT_EQ(client->transformChanges() - changes, 2) << "nudged, then placed";
    EXPECT_DOUBLE_EQ(client->Transform().XOffset, owner->Transform().XOffset);
    owner->Release();
    client->Release();
}

TEST(PathClients, AClientDestroyedWhileAttachedLeavesTheOwnersList) {
    TestShapeObject* owner = NewShape(tagRectF{0, 0, 2, 2});
    TestShapeObject* other = NewShape(tagRectF{0, 0, 2, 2});
    TestShapeObject* client = NewShape(tagRectF{5, 5, 6, 6});
    AsRectCache(owner)->AttachPathClient(AsBase(client), 1);
    AsRectCache(other)->AttachPathClient(AsBase(client), 1);
    client->Release();
    EXPECT_TRUE(owner->Clients().empty());
    EXPECT_TRUE(other->Clients().empty());
    AsBase(owner)->Invalidate();
    AsBase(owner)->MoveBy(tagSizeF{1, 1});
    // And an owner that goes first leaves nothing behind in its clients.
    TestShapeObject* second = NewShape(tagRectF{5, 5, 6, 6});
    AsRectCache(owner)->AttachPathClient(AsBase(second), 1);
    owner->Release();
    other->Release();
    AsBase(second)->Invalidate();
    second->Release();
}

TEST(PathClients, SavedAsIndicesAndAttachedAgainWhenTheSerializerGoes) {
    TestShapeObject* owner = NewShape(tagRectF{0, 0, 2, 2});
    TestShapeObject* first = NewShape(tagRectF{5, 5, 6, 6});
    TestShapeObject* second = NewShape(tagRectF{7, 5, 8, 6});
    TestShapeObject* stranger = NewShape(tagRectF{9, 5, 10, 6});
    CFakeSerializer serializer;
    serializer.controls = {AsBase(owner), AsBase(first), AsBase(second)};
    AsRectCache(owner)->AttachPathClient(AsBase(first), 1);
    AsRectCache(owner)->AttachPathClient(AsBase(stranger), 1);  // not being saved: index -1
    AsRectCache(owner)->AttachPathClient(AsBase(second), 1);
    AsBase(owner)->put_Serializer(&serializer);
    const std::vector<BYTE> bytes = SavedBytes(AsBase(owner));
    AsBase(owner)->put_Serializer(nullptr);

    TestShapeObject* loaded = nullptr;
    TestShapeObject::CreateInstance(&loaded);
    loaded->AddRef();
    IStream* stream = StreamOf(bytes);
    ASSERT_EQ(loaded->Load(stream), S_OK);
    stream->Release();
    EXPECT_EQ(loaded->PendingClientIndices(), (std::vector<long>{2, -1, 3}));
    AsBase(loaded)->put_Serializer(&serializer);
    EXPECT_TRUE(loaded->Clients().empty()) << "attached only once the serializer goes";
    AsBase(loaded)->put_Serializer(nullptr);
    EXPECT_EQ(loaded->Clients(), (std::vector<IBaseControl*>{AsBase(first), AsBase(second)}));
    EXPECT_TRUE(loaded->PendingClientIndices().empty());
    EXPECT_EQ(serializer.refs, 0u);
    for (TestShapeObject* s : {loaded, owner, first, second, stranger}) s->Release();
}

TEST(PathClients, AStoredCountSizesNothingBeyondTheRecords) {
    TestShapeObject* owner = NewShape(tagRectF{0, 0, 2, 2});
    std::vector<BYTE> bytes = SavedBytes(AsBase(owner));
    bytes.resize(bytes.size() - 4);  // drop the terminator, add records, end again
    auto named = [&](const char* name, long value) {
        const ULONG length = static_cast<ULONG>(std::strlen(name)), size = 4;
        bytes.insert(bytes.end(), reinterpret_cast<const BYTE*>(&length), reinterpret_cast<const BYTE*>(&length) + 4);
        bytes.insert(bytes.end(), name, name + length);
        bytes.insert(bytes.end(), reinterpret_cast<const BYTE*>(&size), reinterpret_cast<const BYTE*>(&size) + 4);
        bytes.insert(bytes.end(), reinterpret_cast<const BYTE*>(&value), reinterpret_cast<const BYTE*>(&value) + 4);
    };
    named("nPathClients", 0x7FFFFFFF);
    named("Client0", 7);
    named("Client1", 8);
    named("Client3", 9);  // after a gap: not read
    bytes.insert(bytes.end(), 4, 0);
    TestShapeObject* loaded = nullptr;
    TestShapeObject::CreateInstance(&loaded);
    loaded->AddRef();
    IStream* stream = StreamOf(bytes);
    EXPECT_EQ(loaded->Load(stream), S_OK);
    stream->Release();
    EXPECT_EQ(loaded->PendingClientIndices(), (std::vector<long>{7, 8}));
    loaded->Release();
    owner->Release();
}

TEST(PathClients, ClientsFillTheListTarnHandsOver) {
    TestShapeObject* owner = NewShape(tagRectF{0, 0, 2, 2});
    TestShapeObject* client = NewShape(tagRectF{5, 5, 6, 6});
    AsRectCache(owner)->AttachPathClient(AsBase(client), 1);
    AsRectCache(owner)->AttachPathClient(AsBase(client), 1);  // twice: the list keeps it once
    EXPECT_EQ(AsRectCache(owner)->GetClientControlsList(nullptr), E_POINTER);
    CComControlList* list = new CComControlList;
    IUnknown* handed = static_cast<IUnknown*>(list);
    handed->AddRef();
    EXPECT_EQ(AsRectCache(owner)->GetClientControlsList(handed), S_OK);
    EXPECT_EQ(list->GetCount(), 1);
    EXPECT_EQ(list->GetHead(), AsBase(client));
    handed->Release();  // lets go of the client once and frees the list
    EXPECT_EQ(AsRectCache(owner)->DelegateClientsToCtrl(nullptr), E_INVALIDARG);
    owner->Release();
    client->Release();
}

TEST(PathClients, DelegatingDetachesEachClientWithARecord) {
    UseServerResources();
    TestShapeObject* owner = NewShape(tagRectF{0, 0, 2, 2});
    TestShapeObject* heir = NewShape(tagRectF{3, 0, 4, 2});
    TestShapeObject* client = NewShape(tagRectF{5, 5, 6, 6});
    CFakeSite site;
    const DWORD cookie = AdviseSite(AsBase(owner), &site);
    AsRectCache(owner)->AttachPathClient(AsBase(client), 1);
    EXPECT_EQ(AsRectCache(owner)->DelegateClientsToCtrl(AsBase(heir)), S_OK);
    EXPECT_TRUE(owner->Clients().empty());
    ASSERT_EQ(site.undo.size(), 1u);
    EXPECT_EQ(site.undo[0].method, L"AttachPathClient_Disp");
    EXPECT_EQ(site.undo[0].caption, "Edit Path");
    ASSERT_EQ(Replay(site.undo[0]), S_OK);  // undo attaches the client again
    EXPECT_EQ(owner->Clients().size(), 1u);
    UnadviseSite(AsBase(owner), cookie);
    site.Clear();
    for (TestShapeObject* s : {owner, heir, client}) s->Release();
}

TEST(PathClients, DeletingTheOwnerLetsEveryClientGo) {
    UseServerResources();
    TestShapeObject* owner = NewShape(tagRectF{0, 0, 2, 2});
    TestShapeObject* first = NewShape(tagRectF{5, 5, 6, 6});
    TestShapeObject* second = NewShape(tagRectF{7, 5, 8, 6});
    CFakeSite site;
    const DWORD cookie = AdviseSite(AsBase(owner), &site);
    AsRectCache(owner)->AttachPathClient(AsBase(first), 1);
    AsRectCache(owner)->AttachPathClient(AsBase(second), 1);
    EXPECT_EQ(AsBase(owner)->ControlDeleted(AsBase(owner)), S_OK);
    EXPECT_TRUE(owner->Clients().empty());
    // Each detach is undoable, the last client first.
    ASSERT_EQ(site.undo.size(), 2u);
    EXPECT_EQ(site.undo[0].args.back().punkVal, AsBase(second));
    UnadviseSite(AsBase(owner), cookie);
    site.Clear();
    for (TestShapeObject* s : {owner, first, second}) s->Release();
}

TEST(SmartCacheControls, EqualPlacementAndColoursMakeEqualControls) {
    TestShapeObject* a = NewShape(tagRectF{0, 0, 2, 1}, RGB(1, 2, 3));
    TestShapeObject* b = NewShape(tagRectF{0, 0, 2, 1}, RGB(1, 2, 3));
    EXPECT_EQ(AsBase(a)->IsEqualTo(AsBase(b)), S_OK);
    b->ColorPart().slots[0].color = RGB(9, 9, 9);
    EXPECT_EQ(AsBase(a)->IsEqualTo(AsBase(b)), S_FALSE);
    b->ColorPart().slots[0].color = RGB(1, 2, 3);
    AsBase(b)->MoveBy(tagSizeF{1e-9, 0});
    EXPECT_EQ(AsBase(a)->IsEqualTo(AsBase(b)), S_FALSE);
    EXPECT_EQ(AsBase(a)->IsEqualTo(nullptr), S_FALSE);
    // Command 20037 is enabled except during a skew drag.
    IUIUpdater* updater = nullptr;
    ASSERT_EQ(AsBase(a)->QueryInterface(IID_IUIUpdater, reinterpret_cast<void**>(&updater)), S_OK);
    LONG enabled = -1, checked = -1, radio = -1;
    EXPECT_EQ(updater->Update(20037, &enabled, &checked, &radio), S_OK);
    EXPECT_EQ(enabled, 1);
    EXPECT_EQ(checked, 0);
    EXPECT_EQ(updater->Update(29999, &enabled, &checked, &radio), S_FALSE);
    updater->Release();
    a->Release();
    b->Release();
}

TEST(ControlStreams, TenThousandMutatedStreamsLoadOrAreRefused) {
    TestShapeObject* owner = NewShape(tagRectF{0.5, 0.25, 2, 1});
    TestShapeObject* client = NewShape(tagRectF{5, 5, 6, 6});
    CFakeSerializer serializer;
    serializer.controls = {AsBase(owner), AsBase(client)};
    AsRectCache(owner)->AttachPathClient(AsBase(client), 1);
    BSTR name = SysAllocString(L"Figure");
    AsBase(owner)->put_ControlName(name);
    SysFreeString(name);
    AsBase(owner)->put_Serializer(&serializer);
    const std::vector<BYTE> original = SavedBytes(AsBase(owner));
    AsBase(owner)->put_Serializer(nullptr);
    std::mt19937 random(20);
    int loaded = 0, refused = 0;
    for (int round = 0; round < 10000; ++round) {
        std::vector<BYTE> bytes = original;
        const int kind = round % 4;
        const int edits = 1 + static_cast<int>(random() % 4);
        for (int e = 0; e < edits; ++e) {
            const size_t at = random() % bytes.size();
            if (kind == 0) bytes[at] = static_cast<BYTE>(random());
            if (kind == 1) bytes[at] ^= static_cast<BYTE>(1u << (random() % 8));
            if (kind == 2 && at + 4 <= bytes.size()) {
                const ULONG big = random() % 3 == 0 ? 0xFFFFFFFFu : static_cast<ULONG>(random() % 100000);
                std::memcpy(&bytes[at], &big, 4);
            }
        }
        if (kind == 3) bytes.resize(random() % bytes.size());
        TestShapeObject* copy = nullptr;
        TestShapeObject::CreateInstance(&copy);
        copy->AddRef();
        IStream* stream = StreamOf(bytes);
        const HRESULT hr = copy->Load(stream);
        stream->Release();
        if (SUCCEEDED(hr)) {
            ++loaded;
            // What loaded is usable: its frame is finite and it saves again.
            const CLinearTransform& t = copy->Transform();
            EXPECT_TRUE(std::isfinite(t.XScale) && std::isfinite(t.XOffset) && std::isfinite(t.SkewAngle));
            AsBase(copy)->put_Serializer(&serializer);
            AsBase(copy)->put_Serializer(nullptr);
            EXPECT_FALSE(SavedBytes(AsBase(copy)).empty());
        } else {
            ++refused;
        }
        copy->Release();
    }
    EXPECT_GT(loaded, 0);
    EXPECT_GT(refused, 0);
    owner->Release();
    client->Release();
}
}  // namespace

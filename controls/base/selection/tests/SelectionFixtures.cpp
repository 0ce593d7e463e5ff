#include "SelectionFixtures.h"

#include <gtest/gtest.h>

#include <cmath>

LONG CBuddyRect::live = 0;

BuddyRectObject* NewBuddyRect(const tagRectF& rect, IUnknown* owner) {
    BuddyRectObject* object = nullptr;
    if (FAILED(BuddyRectObject::CreateInstance(&object))) return nullptr;
    object->AddRef();
    object->InitNew();
    object->put_Rect(rect);
    if (owner) object->put_Owner(owner);
    return object;
}

IBaseControl* AsBase(CBuddyRect* control) { return static_cast<IBaseControl*>(control); }

CComObject<CSelectionControl>* NewSelection() {
    CComObject<CSelectionControl>* object = nullptr;
    if (FAILED(CComObject<CSelectionControl>::CreateInstance(&object))) return nullptr;
    object->AddRef();
    object->InitNew();
    return object;
}

ISelectionControl* AsSel(CSelectionControl* s) { return static_cast<ISelectionControl*>(s); }
ISelectionControlDispatch* AsSelDisp(CSelectionControl* s) { return static_cast<ISelectionControlDispatch*>(s); }

IUnknown* NewList(const std::vector<IBaseControl*>& controls) {
    CComControlList* list = new CComControlList;
    list->AddRef();
    for (IBaseControl* control : controls) list->Add(control, 0);
    return static_cast<IUnknown*>(list);
}

std::vector<BYTE> BytesOf(IStream* stream) {
    STATSTG stat = {};
    stream->Stat(&stat, STATFLAG_NONAME);
    std::vector<BYTE> bytes(static_cast<size_t>(stat.cbSize.QuadPart));
    LARGE_INTEGER zero = {};
    stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    ULONG read = 0;
    if (!bytes.empty()) stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read);
    return bytes;
}

Affine Translation(double dx, double dy) { return Affine{1, 0, 0, 1, dx, dy}; }

Affine ScaleAbout(const tagPointF& c, double sx, double sy, double ox, double oy, bool halfTurn) {
    const double k = halfTurn ? -1 : 1;
    return Affine{k * sx, 0, 0, k * sy, c.x + ox - k * sx * c.x, c.y + oy - k * sy * c.y};
}

Affine RotationAbout(const tagPointF& p, double angle) {
    const double cs = std::cos(angle), sn = std::sin(angle);
    return Affine{cs, -sn, sn, cs, p.x - cs * p.x + sn * p.y, p.y - sn * p.x - cs * p.y};
}

Affine SkewAbout(const tagPointF& r, double coeff, double kx, double ky) {
    const double a = coeff, b = coeff * kx, c = coeff * ky, d = coeff;
    return Affine{a, b, c, d, r.x - a * r.x - b * r.y, r.y - c * r.x - d * r.y};
}

std::vector<tagPointF> CornersOfAll(const std::vector<CBuddyRect*>& controls) {
    std::vector<tagPointF> corners;
    for (CBuddyRect* control : controls) {
        tagPointF four[4];
        CornersOf(control, four);
        corners.insert(corners.end(), four, four + 4);
    }
    return corners;
}

void ExpectCornersFollow(const std::vector<tagPointF>& before, const std::vector<CBuddyRect*>& controls,
                         const Affine& map, const char* what) {
    const std::vector<tagPointF> after = CornersOfAll(controls);
    ASSERT_EQ(after.size(), before.size()) << what;
    for (size_t i = 0; i < before.size(); i += 4) {
        for (size_t k = i; k < i + 4; ++k) {
            const tagPointF expected = map.Map(before[k]);
            double nearest = 1e300;
            for (size_t j = i; j < i + 4; ++j)
                nearest = std::fmin(nearest, std::hypot(after[j].x - expected.x, after[j].y - expected.y));
            EXPECT_LT(nearest, 1e-9) << what << ": control " << i / 4 << " corner " << k - i;
        }
    }
}

void SelectionInView::Open(const std::vector<tagRectF>& rects, bool select) {
    selection = NewSelection();
    static_cast<IBaseControl*>(selection)->RegisterView(&view);
    cookie = AdviseSite(static_cast<IBaseControl*>(selection), &site);
    for (const tagRectF& r : rects) {
        controls.push_back(NewBuddyRect(r, &owner));
        moved.push_back(controls.back());
        if (select) AsSel(selection)->Add(AsBase(controls.back()));
    }
}

void SelectionInView::TearDown() {
    SetModifierKeys(false, false);
    site.Clear();
    AsSel(selection)->RemoveAll();
    UnadviseSite(static_cast<IBaseControl*>(selection), cookie);
    static_cast<IBaseControl*>(selection)->UnregisterAllViews();
    EXPECT_EQ(selection->Release(), 0u);
    for (CBuddyRect* c : controls) EXPECT_EQ(AsBase(c)->Release(), 0u);
}

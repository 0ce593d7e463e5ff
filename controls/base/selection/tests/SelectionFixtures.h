#pragma once
// A selection in a fake view with a recording site, test controls that can be bound to a buddy,
// control lists as a view hands them over, and the affine maps the group transforms must follow.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "ComControlList.h"
#include "RectFixtures.h"
#include "selection/SelectionControl.h"

// A rectangular test control that can be bound to another control.
class CBuddyRect : public CTestRectControl {
public:
    CBuddyRect() { InterlockedIncrement(&live); }
    ~CBuddyRect() override { InterlockedDecrement(&live); }
    static LONG live;  // test controls alive, to see that loads leave none behind

    STDMETHOD(GetNextBuddy)(IBaseControl** out) override {
        if (!out) return E_POINTER;
        *out = buddy;
        if (!buddy) return S_FALSE;
        buddy->AddRef();
        return S_OK;
    }
    STDMETHOD(OnWindowMessage)(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* plResult,
                               ITarnViewEvents* view) override {
        ++messages;
        return CTestRectControl::OnWindowMessage(msg, wParam, lParam, plResult, view);
    }
    STDMETHOD(DrawOutlineFast)(HDC, tagDrawOptions*, ITarnViewEvents*, double* matrix) override {
        ++outlines;
        if (matrix) std::copy(matrix, matrix + 9, lastMatrix);
        return S_OK;
    }
    STDMETHOD(SetSelMode)(LONG mode, ITarnViewEvents* view) override {
        if (refusesModes && mode != 0) return E_FAIL;
        selMode = mode;
        return S_OK;
    }
    IBaseControl* buddy = nullptr;  // no reference: the test keeps both alive
    int messages = 0;
    int outlines = 0;
    double lastMatrix[9] = {};
    bool refusesModes = false;
    LONG selMode = 0;
};
typedef CComObject<CBuddyRect> BuddyRectObject;

// A control with one reference and an owner (the site's part), placed on `rect`.
BuddyRectObject* NewBuddyRect(const tagRectF& rect, IUnknown* owner);
IBaseControl* AsBase(CBuddyRect* control);

// A selection with one reference, made by InitNew.
CComObject<CSelectionControl>* NewSelection();
ISelectionControl* AsSel(CSelectionControl* s);
ISelectionControlDispatch* AsSelDisp(CSelectionControl* s);

// Everything a stream holds, from its start.
std::vector<BYTE> BytesOf(IStream* stream);

// A CComControlList of the controls (one reference on the list, held by the caller).
IUnknown* NewList(const std::vector<IBaseControl*>& controls);

// x' = a x + b y + e, y' = c x + d y + f.
struct Affine {
    double a, b, c, d, e, f;
    tagPointF Map(const tagPointF& p) const { return tagPointF{a * p.x + b * p.y + e, c * p.x + d * p.y + f}; }
};
Affine Translation(double dx, double dy);
// About `centre`: scale by (sx, sy) and move by (ox, oy); a half turn reflects through the centre too.
Affine ScaleAbout(const tagPointF& centre, double sx, double sy, double ox, double oy, bool halfTurn);
Affine RotationAbout(const tagPointF& p, double angle);
Affine SkewAbout(const tagPointF& ref, double coeff, double kx, double ky);

// The corners of each control (its frame placed by the layer).
std::vector<tagPointF> CornersOfAll(const std::vector<CBuddyRect*>& controls);
// Every control's corners are where `map` puts the corners it had (in any order), within 1e-9.
void ExpectCornersFollow(const std::vector<tagPointF>& before, const std::vector<CBuddyRect*>& controls,
                         const Affine& map, const char* what);

// A selection registered in a view with a recording site, over test controls the fixture owns.
class SelectionInView : public ::testing::Test {
protected:
    // Makes one control a rectangle (owned by `owner`), optionally selecting each.
    void Open(const std::vector<tagRectF>& rects, bool select);
    void TearDown() override;

    CRecordingView view;
    CFakeSite site;
    CFakeSite owner;
    DWORD cookie = 0;
    CComObject<CSelectionControl>* selection = nullptr;
    std::vector<BuddyRectObject*> controls;
    std::vector<CBuddyRect*> moved;
};

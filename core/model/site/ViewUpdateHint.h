#pragma once
// What a document tells its views when part of a site changed: the kind of update, the area (in
// document inches or in view pixels, by kind) and whether the views' off-screen canvases are
// concerned too. Sent with the site's id as the hint (0 for every site).
#include "ClGeometry.h"
#include "ClObject.h"
#include "RectF.h"
#include "TarnApi.h"

class TARN_API CViewUpdateHint : public CObject {
public:
    // The kinds a view knows.
    enum Kind {
        InvalidateAll = 0,
        ValidateDocRect = 1,
        InvalidateDocRect = 2,
        ValidateViewRect = 3,
        InvalidateViewRect = 4,
        UpdateSiteOffset = 5,
        UpdateAll = 6,
        UpdateAllForced = 7,
        HideFrame = 8,
        UpdateVisibleAreaRestriction = 9,
        NormalSelectionMode = 10,
    };

    explicit CViewUpdateHint(int kind = InvalidateAll, int flag = 1) : m_nKind(kind), m_nFlag(flag) {}
    CViewUpdateHint(int kind, const CRectF& docRect, int flag) : m_nKind(kind), m_rectF(docRect), m_nFlag(flag) {}
    CViewUpdateHint(int kind, const CRect& viewRect, int flag) : m_nKind(kind), m_rect(viewRect), m_nFlag(flag) {}

    int m_nKind;
    CRectF m_rectF{0.0, 0.0, 0.0, 0.0};
    CRect m_rect{0, 0, 0, 0};
    int m_nFlag;
};

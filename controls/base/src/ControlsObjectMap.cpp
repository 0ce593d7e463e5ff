#include "tarn/ControlsObjectMap.h"

#include "TarnControls.h"
#include "atlfactory.h"
#include "atlobject.h"
#include "canvas/TarnCanvas.h"
#include "controlarray/ControlArray.h"
#include "inserter/ControlInserter.h"
#include "notificator/NewControlNotificator.h"
#include "rendering/TarnRendering.h"
#include "resourcebrowser/ResourceBrowser.h"
#include "selection/SelectionControl.h"
#ifdef TARN_SERVER_HAS_TEXT
#include "com/TextServerObjects.h"
#endif

namespace {
template <UINT scriptId>
HRESULT WINAPI RunRegistrationScript(BOOL registering) {
    return AtlModule()->UpdateRegistryFromResource(scriptId, registering);
}

// A class whose kind is built elsewhere in this server and not linked in yet: the aggregation
// rule is already the class's own, and creation says plainly that the class is not available.
template <bool aggregatable>
struct PendingClass {
    static HRESULT WINAPI CreateInstance(void* outer, REFIID, void** ppv) {
        if (ppv) *ppv = nullptr;
        if (outer && !aggregatable) return CLASS_E_NOAGGREGATION;
        return E_NOTIMPL;
    }
};

LPCTSTR WINAPI NoDescription() { return nullptr; }
const AtlCategoryMapEntry* WINAPI NoCategories() { return nullptr; }
void WINAPI NoClassHook(bool) {}

typedef CComCreator<CComObjectNoLock<CComClassFactory>> FactoryCreator;

#define TARN_PENDING_ENTRY(clsid, script, aggregatable)                                                    \
    {&(clsid), RunRegistrationScript<script>, FactoryCreator::CreateInstance,                              \
     PendingClass<aggregatable>::CreateInstance, nullptr, 0, NoDescription, NoCategories, NoClassHook}

// When a class is linked into the server, its entry becomes OBJECT_ENTRY(clsid, class), whose
// class declares the same script id and aggregation rule.
_ATL_OBJMAP_ENTRY g_objectMap[] = {
    OBJECT_ENTRY(CLSID_ControlArray, CControlArray)
    TARN_PENDING_ENTRY(CLSID_FillPropControl, 22140, true),
    OBJECT_ENTRY(CLSID_ResourceBrowser, CResourceBrowser)
    OBJECT_ENTRY(CLSID_TarnCanvas, CTarnCanvas)
    OBJECT_ENTRY(CLSID_TarnRendering, CTarnRendering)
    OBJECT_ENTRY(CLSID_NewControlNotificator, CNewControlNotificator)
    OBJECT_ENTRY(CLSID_ControlInserter, CControlInserter)
    TARN_PENDING_ENTRY(CLSID_LineControl, 21004, false),
    TARN_PENDING_ENTRY(CLSID_ImageControl, 21006, false),
    TARN_PENDING_ENTRY(CLSID_TextControl, 21008, false),
    TARN_PENDING_ENTRY(CLSID_TextAlongCurveControl, 21008, false),
    TARN_PENDING_ENTRY(CLSID_FigureControl, 21018, false),
    TARN_PENDING_ENTRY(CLSID_PolybezierControl, 21186, false),
    TARN_PENDING_ENTRY(CLSID_GroupControl, 21023, false),
    OBJECT_ENTRY(CLSID_SelectionControl, CSelectionControl)
    TARN_PENDING_ENTRY(CLSID_ImageData, 21017, false),
#ifdef TARN_SERVER_HAS_TEXT
    OBJECT_ENTRY(CLSID_TextData, CTextData)
#else
    TARN_PENDING_ENTRY(CLSID_TextData, 21009, false),
#endif
    TARN_PENDING_ENTRY(CLSID_ColorData, 21010, false),
    TARN_PENDING_ENTRY(CLSID_EffectData, 21011, false),
    TARN_PENDING_ENTRY(CLSID_PolybezierData, 21192, false),
    TARN_PENDING_ENTRY(CLSID_Prop_TextCtrl_RichText, 21032, true),
    TARN_PENDING_ENTRY(CLSID_Prop_TextCtrl_Align, 21013, true),
    TARN_PENDING_ENTRY(CLSID_Prop_Ctrl_Color, 21015, true),
    TARN_PENDING_ENTRY(CLSID_Prop_Ctrl_Transparency, 21031, true),
    TARN_PENDING_ENTRY(CLSID_Prop_RectCtrl_LinearParams, 21016, false),
    TARN_PENDING_ENTRY(CLSID_Prop_LineCtrl_Color, 21020, false),
    TARN_PENDING_ENTRY(CLSID_Prop_BaseCtrl_Position, 21019, false),
    TARN_PENDING_ENTRY(CLSID_Prop_FigCtrl_Shape, 21021, false),
    TARN_PENDING_ENTRY(CLSID_Prop_LineCtrl_Points, 21022, false),
    TARN_PENDING_ENTRY(CLSID_Prop_RectCtrl_Effect, 21025, true),
    TARN_PENDING_ENTRY(CLSID_Prop_PbzCtrl_Curve, 21193, true),
    {nullptr, nullptr, nullptr, nullptr, nullptr, 0, nullptr, nullptr, nullptr}};
}  // namespace

_ATL_OBJMAP_ENTRY* ControlsObjectMap() { return g_objectMap; }

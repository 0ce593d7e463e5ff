// A control class plugs into a server's object map the way the kinds will: the drawing-control base
// with the co-class helpers, its aggregation rule and its factory.
#include <gtest/gtest.h>

#include "ControlFixtures.h"
#include "atlfactory.h"

namespace {
class CPluggedControl : public CTestDrawControl, public CComCoClass<CPluggedControl, &CLSID_TestDrawControl> {
public:
    DECLARE_NOT_AGGREGATABLE(CPluggedControl)
    DECLARE_NO_REGISTRY()
};

BEGIN_OBJECT_MAP(g_pluggedMap)
OBJECT_ENTRY(CLSID_TestDrawControl, CPluggedControl)
END_OBJECT_MAP()
}  // namespace

TEST(ObjectMapPattern, KindClassesAreMadeThroughTheirEntry) {
    _ATL_OBJMAP_ENTRY& entry = g_pluggedMap[0];
    IClassFactory* factory = nullptr;
    ASSERT_EQ(S_OK, entry.pfnGetClassObject(reinterpret_cast<void*>(entry.pfnCreateInstance), IID_IClassFactory,
                                            reinterpret_cast<void**>(&factory)));
    IUnknown* outer = reinterpret_cast<IUnknown*>(factory);  // never called: refused before use
    void* object = nullptr;
    EXPECT_EQ(factory->CreateInstance(outer, IID_IUnknown, &object), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(object, nullptr);

    IBaseControl* control = nullptr;
    ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IBaseControl, reinterpret_cast<void**>(&control)));
    IPersistStream* persist = nullptr;
    ASSERT_EQ(S_OK, control->QueryInterface(IID_IPersistStream, reinterpret_cast<void**>(&persist)));
    CLSID clsid{};
    persist->GetClassID(&clsid);
    EXPECT_TRUE(IsEqualCLSID(clsid, CLSID_TestDrawControl));
    persist->Release();
    EXPECT_EQ(control->Release(), 0u);
    factory->Release();
}

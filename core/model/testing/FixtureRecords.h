#pragma once
// Small persistent classes with every kind of property record, shared by the tests and by the
// program that writes and reads archives for the independent Python check.
#include "ClArchive.h"
#include "Persistent.h"
#include "Registry.h"
#include "TarnPropertyBag.h"

constexpr long kFixtureCountId = 0x40001001;
constexpr long kFixtureEmptyId = 0x40001002;

class CFixtureChild : public CPersistent {
    DECLARE_SERIAL(CFixtureChild)
public:
    int m_value = 0;
    CString m_label;

    HRESULT OnPropSave(IStream* stream) override;
    HRESULT OnPropLoad(CTarnPropertyBag* bag) override;
    bool Equal(const CPersistent& other) const override;
};

class CFixtureRecord : public CPersistent {
    DECLARE_SERIAL(CFixtureRecord)
public:
    CString m_name;
    int m_count = 0;
    double m_scale = 0.0;
    CFixtureChild m_child;
    CPersistentArray m_items;
    bool m_hasEmptyRecord = false;

    HRESULT OnPropSave(IStream* stream) override;
    HRESULT OnPropLoad(CTarnPropertyBag* bag) override;
    bool Equal(const CPersistent& other) const override;

    CPersistent* CreateItem() { return new CFixtureChild; }
};

// A record whose loading always fails, for the clean-up paths of the readers.
class CFixtureRefusing : public CPersistent {
    DECLARE_SERIAL(CFixtureRefusing)
public:
    HRESULT OnPropLoad(CTarnPropertyBag*) override { return E_FAIL; }
};

CFixtureRecord* MakeFixtureRecord(const char* name, int count, double scale, int items);

// A setting kept in the registry; its Load fails when the value is missing.
class CFixtureSetting : public CPersistent {
    DECLARE_SERIAL(CFixtureSetting)
public:
    int m_value = 0;
    double m_ratio = 0.0;

    BOOL Load(CRegistry* registry) override;
    BOOL Store(CRegistry* registry) override;

    CPersistent* CreateSetting() { return new CFixtureSetting; }
};

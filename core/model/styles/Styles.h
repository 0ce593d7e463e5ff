#pragma once
#include <vector>

#include "Persistent.h"
#include "TarnApi.h"
#include "geometry/FloatRecords.h"

class CTarnStyleLib;

// A named, numbered layout template kept in the registry.
class TARN_API CTarnStyle : public CPersistent {
public:
    BOOL Load(CRegistry* registry) override;
    BOOL Store(CRegistry* registry) override;
    bool Equal(const CPersistent& other) const override;
    void Duplicate(const CPersistent* source) override;

    // The library that made the style, else the application's.
    CTarnStyleLib* GetStyleLib() const;
    void SetStyleLib(CTarnStyleLib* library) { m_pStyleLib = library; }

    int m_nID = -1;
    CString m_strName;

protected:
    CTarnStyleLib* m_pStyleLib = nullptr;
};

// The size and icon of a site.
class TARN_API CTarnSiteStyle : public CTarnStyle {
public:
    BOOL Load(CRegistry* registry) override;
    BOOL Store(CRegistry* registry) override;
    bool Equal(const CPersistent& other) const override;
    void Duplicate(const CPersistent* source) override;
    virtual CTarnSiteStyle* Clone();

    tagSizeF m_Size{8.5, 11.0};
    int m_nIconID = -1;
};

// One placement of a site style on a page style.
class TARN_API CSitePosStyle : public CPersistent {
public:
    BOOL Load(CRegistry* registry) override;
    BOOL Store(CRegistry* registry) override;
    bool Equal(const CPersistent& other) const override;
    void Duplicate(const CPersistent* source) override;

    CTarnStyleLib* m_pStyleLib = nullptr;
    CTarnSiteStyle* m_pSiteStyle = nullptr;  // borrowed from the library
    tagPointF m_Pos{0.0, 0.0};
    BOOL m_bPrint = 1;
    double m_dRotateAngle = 0.0;
    BOOL m_bHFlip = 0;
    BOOL m_bVFlip = 0;
};

// Site styles placed on a printed page with margins.
class TARN_API CTarnPageStyle : public CTarnStyle {
public:
    BOOL Load(CRegistry* registry) override;
    BOOL Store(CRegistry* registry) override;
    bool Equal(const CPersistent& other) const override;
    void Duplicate(const CPersistent* source) override;

    virtual CSitePosStyle* CreateSiteInfo();
    // The n-th placement of the site style (the last one when there are fewer), or null.
    virtual CSitePosStyle* GetSiteInfo(int siteStyleId, int n);
    virtual int GetSiteNumber(int siteStyleId);

    tagSizeF m_Size{8.5, 11.0};
    tagRectF m_Margins{1.0, 1.0, 1.0, 1.0};
    bool m_bOverridePageSetup = false;
    BOOL m_bCenterlinesForAlignment = 1;
    CPersistentArray m_SitePositions;

private:
    CPersistent* NewSiteInfo() { return CreateSiteInfo(); }
};

// The page styles and site styles of a whole document (borrowed from the library).
class TARN_API CTarnDocStyle : public CTarnStyle {
public:
    BOOL Load(CRegistry* registry) override;
    BOOL Store(CRegistry* registry) override;
    bool Equal(const CPersistent& other) const override;
    void Duplicate(const CPersistent* source) override;
    virtual CTarnDocStyle* Clone();
    virtual int GetSitesCount() const { return static_cast<int>(m_SiteStyles.size()); }
    virtual int GetPagesCount() const { return static_cast<int>(m_PageStyles.size()); }

    std::vector<CTarnSiteStyle*> m_SiteStyles;
    std::vector<CTarnPageStyle*> m_PageStyles;
};

// A group of document styles (borrowed from the library).
class TARN_API CTarnDocType : public CTarnStyle {
public:
    BOOL Load(CRegistry* registry) override;
    BOOL Store(CRegistry* registry) override;
    bool Equal(const CPersistent& other) const override;
    void Duplicate(const CPersistent* source) override;

    std::vector<CTarnDocStyle*> m_DocStyles;
};

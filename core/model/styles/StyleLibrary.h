#pragma once
#include "Persistent.h"
#include "Styles.h"
#include "TarnApi.h"

class COptionsManager;
class CSiteIcon;

// Every style of the process, kept under "Styles" of the application's options key.
class TARN_API CTarnStyleLib : public CPersistent {
public:
    explicit CTarnStyleLib(COptionsManager* owner = nullptr);
    ~CTarnStyleLib() override;

    // The library held by the application's options manager; null before there is one.
    static CTarnStyleLib* Instance();

    virtual CTarnSiteStyle* CreateSiteStyle();
    virtual CTarnPageStyle* CreatePageStyle();
    virtual CTarnDocStyle* CreateDocStyle();
    virtual CTarnDocType* CreateDocType();
    virtual CSiteIcon* CreateSiteIcon();
    // Through the owner's registry, positioned at the application's key. Load: FALSE when
    // "Styles" does not exist. Store: writes only when modified.
    virtual BOOL Load();
    virtual BOOL Store();
    virtual BOOL LoadSiteStyles(CRegistry* registry);
    virtual BOOL LoadPageStyles(CRegistry* registry);
    virtual BOOL LoadDocStyles(CRegistry* registry);
    virtual BOOL LoadDocTypes(CRegistry* registry);
    virtual BOOL LoadSiteIcons(CRegistry* registry);
    virtual int SiteID2Index(int id);
    virtual int PageID2Index(int id);
    virtual int DocID2Index(int id);
    virtual CTarnSiteStyle* GetSiteStyleByID(int id);
    virtual CTarnDocStyle* GetDocStyleByID(int id);
    virtual CTarnPageStyle* GetPageStyleByID(int id);
    virtual CSiteIcon* GetIconByID(int id);
    virtual void Duplicate(const CTarnStyleLib& source);
    void InitNew() override {}

    // Gives the library at least one site, page and document style, linked to one another.
    void EnsureDefaultStyles();

    bool IsModified() const { return m_bModified; }
    void SetModified(bool modified) { m_bModified = modified; }

    CPersistentArray m_SiteStyles;
    CPersistentArray m_PageStyles;
    CPersistentArray m_DocStyles;
    CPersistentArray m_DocTypes;
    CPersistentArray m_SiteIcons;

private:
    CPersistent* NewSiteStyle() { return CreateSiteStyle(); }
    CPersistent* NewPageStyle() { return CreatePageStyle(); }
    CPersistent* NewDocStyle() { return CreateDocStyle(); }
    CPersistent* NewDocType() { return CreateDocType(); }
    CPersistent* NewSiteIcon();
    CRegistry* OwnerRegistry();

    COptionsManager* m_pOwner;
    bool m_bModified = false;
};

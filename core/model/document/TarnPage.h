#pragma once
// One printed sheet: its size, margins and layout flags, and where the sites are placed on it.
#include "ClArchive.h"
#include "ClObject.h"
#include "Persistent.h"
#include "PointF.h"
#include "RectF.h"
#include "TarnApi.h"

class CTarnDoc;
class CTarnSite;
class CTarnPage;
class CSitesContours;
class CSitePosStyle;
class CPageSetupData;


class TARN_API CTarnPage : public CObject {
    DECLARE_SERIAL(CTarnPage)
public:
    class TARN_API CTarnPageProperties : public CPersistent {
    public:
        HRESULT OnPropSave(IStream* stream) override;
        HRESULT OnPropLoad(CTarnPropertyBag* bag) override;
        void Duplicate(const CPersistent* source) override;
        bool Equal(const CPersistent& other) const override;

        double m_width = 8.5;
        double m_height = 11.0;
        CRectF m_margins{1.0, 1.0, 1.0, 1.0};
        int m_overridePageSetup = 0;
        int m_centerlinesForAlignment = 1;
    };

    class TARN_API CSitePosInfo : public CPersistent {
    public:
        HRESULT OnPropSave(IStream* stream) override;
        HRESULT OnPropLoad(CTarnPropertyBag* bag) override;
        void Duplicate(const CPersistent* source) override;
        bool Equal(const CPersistent& other) const override;

        // Position, printing and orientation from a placement of a page style; the caller sets
        // the site.
        virtual void SetStyle(const CSitePosStyle* style);
        virtual CTarnPage* GetMaster() const { return m_master; }
        virtual void SetMaster(CTarnPage* page) { m_master = page; }
        // The placed site, while the page's document still has it.
        virtual CTarnSite* GetSite() const;

        int m_siteId = -1;
        CPointF m_position{0, 0};
        int m_print = 1;
        double m_rotateAngle = 0;
        int m_hFlip = 0;
        int m_vFlip = 0;
        CTarnPage* m_master = nullptr;
    };

    CTarnPage();
    explicit CTarnPage(CTarnDoc* document);
    ~CTarnPage() override;

    void Serialize(CArchive& ar) override;

    // Size, margins, flags and placements from a page style of the style library; placements
    // the page already has stay. An unknown style changes nothing.
    virtual void SetStyle(int pageStyleId);
    // Paper size and margins between the page and a page setup record; the flags stay.
    virtual void GetPageSetupData(CPageSetupData* setup) const;
    virtual void SetPageSetupData(const CPageSetupData* setup);
    virtual void SerializeProperties(CArchive& ar);
    virtual void SerializeSites(CArchive& ar);
    virtual void InitNew();
    virtual void Duplicate(CTarnPage* source);
    virtual BOOL IsSiteOnPage(int siteId);
    virtual CTarnPageProperties* CreateProperties();
    virtual CSitePosInfo* CreateSitePosInfo();
    virtual void SetMaster(CTarnDoc* document) { m_master = document; }
    virtual CTarnDoc* GetMaster() const { return m_master; }
    virtual int GetSitesCount() const { return m_placements.GetSize(); }
    virtual CSitePosInfo* GetSitePosInfo(int index) const;
    virtual void AddSiteInfo(int siteId, tagPointF position, int unused);
    virtual int RemoveSiteInfo(int siteId);
    // Whether the placement at index gets its centre lines marked, for CenterlinesForAlignment.
    virtual BOOL IsPlacementMarked(int index, int mark) const;
    // The outlines of the placed sites at their places on the page; placements of sites the
    // document no longer has get none. Returns the number of placements.
    virtual int FillSiteContours(CSitesContours* contours, int mark);

    CTarnPageProperties* GetProperties() const { return m_properties; }

private:
    CTarnPageProperties* m_properties = nullptr;
    CTarnDoc* m_master = nullptr;
    CPointerArray<CSitePosInfo, 1> m_placements;
};

class TARN_API CTarnPageList : public CObject {
    DECLARE_SERIAL(CTarnPageList)
public:
    CTarnPageList() = default;
    explicit CTarnPageList(CTarnDoc* document) : m_master(document) {}
    ~CTarnPageList() override = default;

    void Serialize(CArchive& ar) override;
    void SetMaster(CTarnDoc* document);
    CTarnDoc* GetMaster() const { return m_master; }
    // Copies of the source's pages, each of its source page's own class.
    void CopyFrom(const CTarnPageList& source);

    int GetSize() const { return m_pages.GetSize(); }
    CTarnPage* GetAt(int index) const { return m_pages[index]; }
    void Add(CTarnPage* page) { m_pages.Add(page); }
    void RemoveAll() { m_pages.RemoveAll(); }

private:
    CTarnDoc* m_master = nullptr;
    CPointerArray<CTarnPage, 1> m_pages;
};

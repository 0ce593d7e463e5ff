#pragma once
#include "ViewerPersistent.h"
#include "ViewerSiteIcon.h"

#include <memory>
#include <string>

class CViewerSiteProperties : public CViewerPersistent
{
public:
    CViewerSiteProperties() : CViewerPersistent("CTarnSiteProperties") {}
    int OnLoadProperties(CViewerPropertyBag& bag) override;

    int GetSiteID() const { return m_siteId; }
    void SetSiteID(int id) { m_siteId = id; }
    int GetStyleID() const { return m_styleId; }
    const std::string& GetName() const { return m_name; }
    const CViewerSiteIcon* GetIcon() const { return m_icon.get(); }

protected:
    explicit CViewerSiteProperties(const char* className) : CViewerPersistent(className) {}

private:
    int m_siteId = 0;
    int m_styleId = 0;
    std::string m_name;
    std::unique_ptr<CViewerSiteIcon> m_icon;
};

// A card panel's properties add its size as fractions of the page's printable rectangle.
class CCardViewerSiteProperties : public CViewerSiteProperties
{
public:
    struct RelativeSize
    {
        double width = 0, height = 0;
    };

    CCardViewerSiteProperties() : CViewerSiteProperties("CKDXSiteProperties") {}
    int OnLoadProperties(CViewerPropertyBag& bag) override;
    const RelativeSize& GetSize() const { return m_size; }

private:
    RelativeSize m_size;
};

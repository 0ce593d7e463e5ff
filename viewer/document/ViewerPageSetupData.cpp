#include "ViewerPageSetupData.h"
#include "ViewerPageList.h"

#include <utility>

CViewerPageSetupData::CViewerPageSetupData(CViewerPageList& pages) : m_pages(pages)
{
    const CPageGeometry geometry = GetEditedPage().GetGeometry();
    width = geometry.width;
    height = geometry.height;
    margins = {geometry.leftMargin, geometry.topMargin, geometry.rightMargin, geometry.bottomMargin};
    landscape = width > height;
    ComputeMarginLimits();
}

CViewerPage& CViewerPageSetupData::GetEditedPage() const
{
    return m_pages.GetPage(kEditedPage);
}

void CViewerPageSetupData::ComputeMarginLimits()
{
    maximumMargins.left = maximumMargins.right = width / 2 - 0.1;
    maximumMargins.top = maximumMargins.bottom = height / 2 - 0.1;
}

void CViewerPageSetupData::Apply()
{
    CViewerPage& page = GetEditedPage();
    if (!page.GetPageProperties())
        page.EnsureProperties();
    CPageGeometry& geometry = page.GetPageProperties()->geometry;
    geometry.width = width;
    geometry.height = height;
    geometry.leftMargin = margins.left;
    geometry.topMargin = margins.top;
    geometry.rightMargin = margins.right;
    geometry.bottomMargin = margins.bottom;
}

void CCardViewerPageSetupData::Apply()
{
    CViewerPageSetupData::Apply();
    CViewerPageList& pages = GetPages();
    const auto* current = dynamic_cast<const CCardViewerPageProperties*>(GetEditedPage().GetPageProperties());
    if (!current)
        return;
    auto frontOf = [&](size_t index) {
        const auto* properties = dynamic_cast<const CCardViewerPageProperties*>(pages.GetPage(index).GetPageProperties());
        return properties ? properties->frontSide != 0 : false;
    };
    // A front side pairs with the back that follows it, a back side with the front before it.
    size_t pair = kEditedPage;
    if (current->frontSide && kEditedPage + 1 < pages.GetCount() && !frontOf(kEditedPage + 1))
        pair = kEditedPage + 1;
    else if (!current->frontSide && kEditedPage > 0 && frontOf(kEditedPage - 1))
        pair = kEditedPage - 1;
    if (pair == kEditedPage)
        return;

    CViewerPage& other = pages.GetPage(pair);
    const auto* otherProperties = dynamic_cast<const CCardViewerPageProperties*>(other.GetPageProperties());
    CCardViewerPageProperties copy = *current;
    copy.frontSide = otherProperties ? otherProperties->frontSide : 0;
    CPageGeometry& g = copy.geometry;
    if (g.width > g.height)
        std::swap(g.leftMargin, g.rightMargin);
    else
        std::swap(g.topMargin, g.bottomMargin);
    other.SetPageProperties(copy.Clone());
}

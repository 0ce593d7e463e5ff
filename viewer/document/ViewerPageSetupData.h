#pragma once
#include "ViewerGeometry.h"

#include <cstddef>

class CViewerPageList;
class CViewerPage;

// What the page-setup dialog edits: the paper size and margins of the first page of a copy of the
// document's page list. Apply writes them into that page.
class CViewerPageSetupData
{
public:
    static constexpr double kMinimumPaperSide = 0.5;
    static constexpr double kMaximumPaperSide = 40.0;

    // pages must hold at least one page; the first one is edited.
    explicit CViewerPageSetupData(CViewerPageList& pages);
    virtual ~CViewerPageSetupData() = default;
    virtual void Apply();
    virtual void ComputeMarginLimits();

    CViewerPageList& GetPages() const { return m_pages; }
    CViewerPage& GetEditedPage() const;

    double width, height;
    CRectD margins;                 // left, top, right, bottom
    CRectD maximumMargins;
    CRectD minimumMargins;          // all 0
    bool landscape = false;
    bool initialising = true;
    double customWidth = 6.0, customHeight = 6.0;

protected:
    static const size_t kEditedPage = 0;

private:
    CViewerPageList& m_pages;
};

// A card side shares its paper with the other side of the same sheet: applying the setup also gives
// that side the same paper, with its margins mirrored across the fold.
class CCardViewerPageSetupData : public CViewerPageSetupData
{
public:
    using CViewerPageSetupData::CViewerPageSetupData;
    void Apply() override;
};

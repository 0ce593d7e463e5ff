#pragma once
// Composes whole cards for the tests, record by record as the card application stores them.
#include "CardBytes.h"

#include <string>
#include <utility>
#include <vector>

namespace cardcomposer {

using cardbytes::Bytes;

struct SitePlan
{
    int id = 0;
    std::string name = "Panel";
    double relativeWidth = 1.0, relativeHeight = 1.0;
    double rectRight = 6.5, rectBottom = 9.0;   // stored background rectangle
    int printBackground = 1;
    COLORREF color = 0xFFFFFF;
    bool storeImageType = true;
    int imageType = 2;
    Bytes icon;                                  // .bmp bytes; empty: no icon record
    bool storeHotSpots = false;
    std::vector<std::pair<int, int>> hotSpots;   // shape number, target page
    std::vector<GUID> controls;
};

struct PlacementPlan
{
    int siteId = 0;
    double relativeX = 0, relativeY = 0;
    double angle = 0;
    int horizontalFlip = 0, verticalFlip = 0;
};

struct PagePlan
{
    double width = 8.5, height = 11.0;
    double left = 0.25, top = 0.25, right = 0.25, bottom = 0.25;
    double spacing = 0.2;
    uint8_t frontSide = 1;
    int foldLine = 1;
    std::vector<PlacementPlan> placements;
};

struct CardPlan
{
    bool card = true;             // card classes, or the core ones
    bool nullSite = false;        // a null object tag in place of the first site
    bool nullPage = false;        // a null object tag in place of the first page
    std::string signature = "TARN";
    uint32_t version = 2;
    bool storePrintBackgnd = false;
    int printBackgnd = 0;
    std::vector<SitePlan> sites;
    std::vector<PagePlan> pages;
};

Bytes ComposeContents(const CardPlan& card);
// The compound file of a card, its "Contents" framed when compressed.
Bytes ComposeCardFile(const CardPlan& card, bool compressed);
Bytes CardFileWithContents(const Bytes& contents, bool compressed);
// A small 4-bit .bmp file.
Bytes SmallBitmapFile();

extern const GUID kLineControl, kFigureControl, kTextControl, kImageControl, kTextAlongCurveControl;

}  // namespace cardcomposer

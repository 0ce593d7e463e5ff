#pragma once
// What both sides of a card's road must agree on: the sites, their backgrounds, the pages and where
// each page places its sites. Plain values only, so that the framework's writer and the viewer's
// reader each fill one without seeing the other's headers.
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace cardsummary {

struct BackgroundSummary
{
    uint32_t color = 0xFFFFFF;
    int useWindowColor = 0;
    int printBackground = 0;
    int imageType = 0;
    double imageWidth = 1.0, imageHeight = 1.0;
};

struct SiteSummary
{
    int id = -1;
    std::string name;
    BackgroundSummary background;
};

struct PlacementSummary
{
    int siteId = -1;
    double x = 0, y = 0;
    int printed = 1;
    double angle = 0;
    int horizontalFlip = 0, verticalFlip = 0;
};

struct PageSummary
{
    double width = 8.5, height = 11.0;
    double left = 1.0, top = 1.0, right = 1.0, bottom = 1.0;
    std::vector<PlacementSummary> placements;
};

struct CardSummary
{
    std::vector<SiteSummary> sites;
    std::vector<PageSummary> pages;
};

}  // namespace cardsummary

#pragma once
#include "ViewerGeometry.h"

#include <vector>

// One placed site of a printed page, as printing and the page view use it.
struct CPlacementRecord
{
    double siteWidth = 0, siteHeight = 0;
    double scale = 1.0;
    double x = 0, y = 0;
    double angle = 0;
    int siteId = -1;
};

struct CPageLayout
{
    CPageGeometry geometry;
    std::vector<CPlacementRecord> placements;
};

using CPlacementList = std::vector<CPageLayout>;

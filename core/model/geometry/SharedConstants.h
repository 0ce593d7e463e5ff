#pragma once
#include "RectF.h"

// Internal linkage on purpose: every source file carries its own copy, initialised at load.
static const CSizeF kFitMargin(0.05, 0.05);
static const SIZE kExtraSpacePercentA = {100, 100};
static const SIZE kExtraSpacePercentB = {100, 100};
static const CSizeF kOptionsSize(24.0, 24.0);
static const CSizeF kDefaultSiteSize(8.5, 11.0);
static const CSizeF kDefaultPageSize(8.5, 11.0);
static const CRectF kDefaultMargins(1.0, 1.0, 1.0, 1.0);
static const CSizeF kZeroOffset(0.0, 0.0);
static const CRectF kPageSizeLimits(0.5, 0.5, 40.0, 40.0);
static const SIZE kBarSizeA = {200, 125};
static const SIZE kBarSizeB = {200, 125};

#pragma once
#include <windows.h>

// Window messages between the viewer's windows.
const UINT VWM_START = WM_USER + 5;          // sent by Create to every new window
const UINT VWM_VIEWCHANGED = WM_USER + 6;    // the view left its fitted state
const UINT VWM_GOTOPAGE = WM_USER + 20;      // wParam: index of the site to show

// Command ids of the toolbar and the accelerators.
const UINT ID_PAN = 1002;
const UINT ID_CLIPMARGINS = 1003;
const UINT ID_ZOOMTOPAGE = 1004;
const UINT ID_PAGESETUP = 40006;
const UINT ID_ZOOM = 40011;
const UINT ID_PRINT = 40012;
const UINT ID_PAGE_FIRST = 50000;            // the button of site n (from 0) is ID_PAGE_FIRST + n
const UINT ID_PAGE_LAST = 50100;
const UINT ID_NEXTPAGE = 50200;
const UINT ID_PREVPAGE = 50201;

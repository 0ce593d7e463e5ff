#pragma once
// String ids of the test program's own resources.
#define IDS_GREETING 101
#define IDS_FORMAT 102
#define IDS_LAST_OF_BLOCK 111
#define IDS_EMPTY_NEIGHBOUR 112
#define IDB_TEST_BITMAP 201
// The program's own text for one of the library's string ids.
#define IDS_OVERRIDDEN_UNTITLED 57345
#define IDR_TEST_MENU 301
#define ID_TEST_NEW 100
#define ID_TEST_OPEN 101
#define IDD_TEST_DIALOG 401
#define IDC_NUMBER 1001
#define IDC_NAME 1002
#define IDC_RATIO 1003
#define IDC_CHECK 1004
#define IDC_RADIO1 1005
#define IDC_RADIO2 1006
#define IDC_RADIO3 1007
#define IDC_COMBO 1008
#define IDD_PAGE_ONE 402
#define IDD_PAGE_TWO 403
#define IDC_PAGE_NUMBER 1101
#define IDC_PAGE_TEXT 1102
#define IDR_TEST_DOC 501
#define ID_DOC_CMD 32001
#define ID_VIEW_CMD 32002
#define ID_NOBODY_CMD 32003
#define IDR_MAIN_MDI 502
#define IDR_BARS_DOC 503
#define ID_BARS_VIEW_CMD 32010
#define ID_BARS_DOC_CMD 32011
#define ID_BARS_NOBODY_CMD 32012
#define WM_BARS_PROBE (WM_USER + 77)

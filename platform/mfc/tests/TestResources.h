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

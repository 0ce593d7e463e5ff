#pragma once
// Numeric ids of the viewer's own resources (the program keeps only numeric ids, so that a card can be
// stored in a copy of it).
#define IDI_VIEWER 101
#define IDC_ZOOM_CURSOR 104
#define IDC_PAN_CURSOR 105
#define IDB_TOOLS 111
#define IDR_ACCELERATORS 119
#define IDC_HOTSPOT_CURSOR 119
#define IDS_CARD_VIEWER_TITLE 120
#define IDS_PAN_TOOL 305
#define IDS_ZOOM_TOOL 306
#define IDS_ZOOM_TO_PAGE 307
#define IDS_CLIP_TO_MARGINS 308
#define IDS_PAGE_SETUP 309
#define IDS_PRINT 310
#define IDS_VIEWER_TITLE 312
#define IDS_DOCUMENT_NAME 314
#define IDS_NO_CARD 315

#pragma once
// Resource ids of the Mosk server.
#define IDS_PROJNAME 100
#define IDS_ZSTREAM_DESC 101
#define IDR_ZSTREAM 102
#define IDS_ZSTORAGE_DESC 103
#define IDR_ZSTORAGE 104

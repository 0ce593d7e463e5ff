#pragma once
// The cookies that every download request carries: four fixed values and KD_DATA made from them.
#include <classlib.h>
#include "TarnApi.h"

namespace DownloadCookies {
extern const char* const kUserId;
extern const char* const kEmail;
extern const char* const kUserName;
extern const char* const kStation;

// For each character of the e-mail text: its code XOR the code of the user-id character at the same
// position (the user id repeats), in decimal with at least two digits; cut to twice the e-mail's
// length.
TARN_API CString MakeDataValue(const char* email, const char* userId);
}

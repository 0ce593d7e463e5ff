#include "DownloadCookies.h"
#include <cstdio>
#include <cstring>
#include <string>

namespace DownloadCookies {

const char* const kUserId = "TARN-USER-0001";
const char* const kEmail = "cards@tarn.example";
const char* const kUserName = "Tarn Card User";
const char* const kStation = "1";

CString MakeDataValue(const char* email, const char* userId)
{
    const size_t emailLength = std::strlen(email), idLength = std::strlen(userId);
    std::string value;
    for (size_t i = 0; i < emailLength && idLength; ++i) {
        char digits[8];
        const unsigned code = static_cast<unsigned char>(email[i]) ^ static_cast<unsigned char>(userId[i % idLength]);
        std::snprintf(digits, sizeof digits, "%02u", code);
        value += digits;
    }
    if (value.size() > 2 * emailLength)
        value.resize(2 * emailLength);
    return CString(value.c_str());
}

} // namespace DownloadCookies

#include "TestFonts.h"

#include <cstring>

namespace testfonts {

bool Register() {
    static const bool registered = AddFontResourceExA(kDejaVuSans, FR_PRIVATE, nullptr) > 0 &&
                                   AddFontResourceExA(kLiberationSerif, FR_PRIVATE, nullptr) > 0 &&
                                   AddFontResourceExA(kLiberationSerifItalic, FR_PRIVATE, nullptr) > 0;
    return registered;
}

LOGFONTA Logical(const char* face, LONG weight, bool italic, bool underline, bool strikeOut, BYTE charset, LONG height) {
    LOGFONTA lf{};
    lf.lfHeight = height;
    lf.lfWeight = weight;
    lf.lfItalic = italic;
    lf.lfUnderline = underline;
    lf.lfStrikeOut = strikeOut;
    lf.lfCharSet = charset;
    std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
    return lf;
}

}  // namespace testfonts

#include "CodePages.h"

#include <windows.h>

unsigned CodePageFromCharset(unsigned charset) {
    CHARSETINFO info{};
    if (charset <= 255 &&
        TranslateCharsetInfo(reinterpret_cast<DWORD*>(static_cast<UINT_PTR>(charset)), &info, TCI_SRCCHARSET))
        return info.ciACP;
    return 1252;
}

unsigned CodePageFromLanguage(unsigned language) {
    switch (language & 0x3FF) {
    case 1: return 1256;
    case 4: return 936;
    case 13: return 1255;
    case 17: return 932;
    case 18: return 949;
    case 25: return 1251;
    case 30: return 874;
    default: return 1252;
    }
}

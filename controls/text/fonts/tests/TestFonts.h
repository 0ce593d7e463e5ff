#pragma once
// The font files the text tests use, registered for this process only.
#include <windows.h>

#include <string>

namespace testfonts {

constexpr const char* kDejaVuSans = "Z:\\usr\\share\\fonts\\truetype\\dejavu\\DejaVuSans.ttf";
constexpr const char* kLiberationSerif = "Z:\\usr\\share\\fonts\\truetype\\liberation2\\LiberationSerif-Regular.ttf";
constexpr const char* kLiberationSerifItalic =
    "Z:\\usr\\share\\fonts\\truetype\\liberation2\\LiberationSerif-Italic.ttf";

// Registers the three files once; false when one is missing.
bool Register();

LOGFONTA Logical(const char* face, LONG weight = FW_NORMAL, bool italic = false, bool underline = false,
                 bool strikeOut = false, BYTE charset = DEFAULT_CHARSET, LONG height = 0);

}  // namespace testfonts

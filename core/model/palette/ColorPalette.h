#pragma once
#include <windows.h>

#include <vector>

#include "ClString.h"
#include "TarnApi.h"

// A named list of named colours offered by the colour bar.
class TARN_API ColorPalette {
public:
    struct Item {
        COLORREF color;
        CString name;  // may be empty
    };

    ColorPalette() = default;
    virtual ~ColorPalette() = default;

    CString m_name;
    std::vector<Item> m_items;  // in file order
};

// Reads a palette file into `palette` (its name and items are replaced). FALSE when the file cannot
// be opened, does not begin with the magic "TARN" (exact case) or ends before its last colour; the
// palette is then left empty.
TARN_API BOOL ReadColorPaletteFile(const char* path, ColorPalette& palette);

// The built-in palette: 99 named colours, then the colour cube values from black up to 0xFF6699.
TARN_API void FillDefaultColorPalette(ColorPalette& palette);

#include "ColorPalette.h"

#include "ClString.h"

namespace {

struct NamedColor {
    const char* name;
    COLORREF color;
};

const NamedColor kNamedColors[] = {
    {"Black", 0x000000},
    {"90% Black", 0x191919},
    {"80% Black", 0x333333},
    {"70% Black", 0x4C4C4C},
    {"60% Black", 0x666666},
    {"50% Black", 0x7F7F7F},
    {"40% Black", 0x999999},
    {"30% Black", 0xB2B2B2},
    {"20% Black", 0xCCCCCC},
    {"10% Black", 0xE5E5E5},
    {"White", 0xFFFFFF},
    {"Blue", 0xFF0000},
    {"Cyan", 0xFFFF00},
    {"Green", 0x00FF00},
    {"Yellow", 0x00FFFF},
    {"Red", 0x0000FF},
    {"Magenta", 0xFF00FF},
    {"Purple", 0xCC0099},
    {"Orange", 0x0066FF},
    {"Pink", 0xCC99FF},
    {"Dark Brown", 0x333366},
    {"Powder Blue", 0xFFCCCC},
    {"Pastel Blue", 0xFF9999},
    {"Baby Blue", 0xFF9966},
    {"Electric Blue", 0xFF6666},
    {"Twilight Blue", 0xCC6666},
    {"Navy Blue", 0x993300},
    {"Deep Navy Blue", 0x660000},
    {"Desert Blue", 0x996633},
    {"Sky Blue", 0xFFCC00},
    {"Ice Blue", 0xFFFF99},
    {"Light BlueGreen", 0xCCCC99},
    {"Ocean Green", 0x999966},
    {"Moss Green", 0x666633},
    {"Dark Green", 0x333300},
    {"Forest Green", 0x336600},
    {"Grass Green", 0x339900},
    {"Kentucky Green", 0x669933},
    {"Light Green", 0x66CC33},
    {"Spring Green", 0x33CC33},
    {"Turquoise", 0xCCFF66},
    {"Sea Green", 0x99CC33},
    {"Faded Green", 0x99CC99},
    {"Ghost Green", 0xCCFFCC},
    {"Mint Green", 0x99FF99},
    {"Army Green", 0x669966},
    {"Avocado Green", 0x339966},
    {"Martian Green", 0x33CC99},
    {"Dull Green", 0x66CC99},
    {"Chartreuse", 0x00FF99},
    {"Moon Green", 0x66FFCC},
    {"Murky Green", 0x003333},
    {"Olive Drab", 0x336666},
    {"Khaki", 0x669999},
    {"Olive", 0x339999},
    {"Banana Yellow", 0x33CCCC},
    {"Light Yellow", 0x66FFFF},
    {"Chalk", 0x99FFFF},
    {"Pale Yellow", 0xCCFFFF},
    {"Brown", 0x336699},
    {"Red Brown", 0x3366CC},
    {"Gold", 0x3399CC},
    {"Autumn Orange", 0x3366FF},
    {"Light Orange", 0x3399FF},
    {"Peach", 0x6699FF},
    {"Deep Yellow", 0x00CCFF},
    {"Sand", 0x99CCFF},
    {"Walnut", 0x003366},
    {"Ruby Red", 0x000099},
    {"Brick Red", 0x0033CC},
    {"Tropical Pink", 0x6666FF},
    {"Soft Pink", 0x9999FF},
    {"Faded Pink", 0xCCCCFF},
    {"Crimson", 0x663399},
    {"Regal Red", 0x6633CC},
    {"Deep Rose", 0x9933CC},
    {"Neon Red", 0x6600FF},
    {"Deep Pink", 0x9966FF},
    {"Hot Pink", 0x9933FF},
    {"Dusty Rose", 0x9966CC},
    {"Plum", 0x660066},
    {"Deep Violet", 0x990099},
    {"Light Violet", 0xFF99FF},
    {"Violet", 0xCC66CC},
    {"Dusty Plum", 0x996699},
    {"Pale Purple", 0xCC99CC},
    {"Majestic Purple", 0xCC3399},
    {"Neon Purple", 0xFF33CC},
    {"Light Purple", 0xFF66CC},
    {"Twilight Violet", 0xCC6699},
    {"Easter Purple", 0xFF99CC},
    {"Deep Purple", 0x660033},
    {"Grape", 0x993366},
    {"Blue Violet", 0xFF6699},
    {"Blue Purple", 0xFF0099},
    {"Deep River", 0xCC0066},
    {"Deep Azure", 0xFF3366},
    {"Storm Blue", 0x990033},
    {"Deep Blue", 0xCC0033},
};

}  // namespace

void FillDefaultColorPalette(ColorPalette& palette)
{
    if (!palette.m_name.LoadString(12225) || palette.m_name.IsEmpty())
        palette.m_name = "Default";
    palette.m_items.clear();
    for (const NamedColor& named : kNamedColors)
        palette.m_items.push_back({named.color, named.name});

    // The colour cube follows, in increasing COLORREF order, as far as 0xFF6699.
    const BYTE levels[] = {0x00, 0x33, 0x66, 0x99, 0xCC, 0xFF};
    for (BYTE blue : levels)
        for (BYTE green : levels)
            for (BYTE red : levels) {
                const COLORREF color = RGB(red, green, blue);
                if (color > 0xFF6699)
                    return;
                palette.m_items.push_back({color, CString()});
            }
}

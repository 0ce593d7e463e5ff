#include "FrameLayout.h"

#include "ViewerMessages.h"
#include "ViewerResources.h"

#include <string>

int NextPageIndex(int current, int siteCount)
{
    return current < siteCount - 1 ? current + 1 : 0;
}

int PreviousPageIndex(int current, int siteCount)
{
    return (current < 1 ? siteCount : current) - 1;
}

void KeepAspectWhileSizing(UINT edge, RECT& window, double aspect)
{
    if (!(aspect > 0))
        return;
    switch (edge) {
    case WMSZ_LEFT:
    case WMSZ_RIGHT:
        window.bottom = window.top + static_cast<LONG>((window.right - window.left) / aspect);
        break;
    case WMSZ_TOP:
    case WMSZ_TOPRIGHT:
    case WMSZ_BOTTOM:
    case WMSZ_BOTTOMRIGHT:
        window.right = window.left + static_cast<LONG>(aspect * (window.bottom - window.top));
        break;
    case WMSZ_TOPLEFT:
    case WMSZ_BOTTOMLEFT:
        window.left = window.right - static_cast<LONG>(aspect * (window.bottom - window.top));
        break;
    default:
        break;
    }
}

SIZE StartupFrameSize(int toolbarWidth, double aspect)
{
    SIZE size;
    size.cx = toolbarWidth + 20;
    size.cy = aspect > 0 ? static_cast<LONG>(size.cx / aspect) : size.cx;
    return size;
}

FrameLayoutRects LayOutFrame(const RECT& client, int toolbarHeight, bool hasSoundLists)
{
    const int strip = 25;
    FrameLayoutRects layout;
    layout.view = client;
    layout.view.top = client.top + toolbarHeight;
    if (hasSoundLists) {
        layout.view.bottom = client.bottom - strip;
        layout.soundPanelsPlaced = true;
        const int half = (client.right - client.left) / 2;
        layout.soundPanelOne = {client.left, client.bottom - strip, client.left + half, client.bottom};
        layout.soundPanelTwo = {client.left + half, client.bottom - strip, client.right, client.bottom};
    }
    if (layout.view.bottom < layout.view.top)
        layout.view.bottom = layout.view.top;
    return layout;
}

char AccessKeyOf(const char* text)
{
    for (const char* p = text; p && *p; ++p) {
        if (*p != '&')
            continue;
        if (p[1] == '&') {
            ++p;   // a doubled "&" stands for itself
            continue;
        }
        char key[2] = {p[1], 0};
        CharUpperBuffA(key, 1);
        return key[0];
    }
    return 0;
}

std::map<UINT, UINT> BuildKeyTable(const std::function<std::string(UINT)>& loadText)
{
    std::map<UINT, UINT> table;
    table.emplace(VK_MULTIPLY, ID_ZOOMTOPAGE);
    const struct
    {
        UINT text, command;
    } tools[] = {{IDS_PRINT, ID_PRINT},           {IDS_PAN_TOOL, ID_PAN},
                 {IDS_ZOOM_TOOL, ID_ZOOM},        {IDS_ZOOM_TO_PAGE, ID_ZOOMTOPAGE},
                 {IDS_CLIP_TO_MARGINS, ID_CLIPMARGINS}, {IDS_PAGE_SETUP, ID_PAGESETUP}};
    for (const auto& tool : tools) {
        const std::string text = loadText(tool.text);
        table.emplace(static_cast<UINT>(static_cast<unsigned char>(AccessKeyOf(text.c_str()))), tool.command);
    }
    return table;
}

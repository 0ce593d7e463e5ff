#pragma once
#include <windows.h>

#include <functional>
#include <map>
#include <string>

// Rules of the main frame that need no window: page walking, proportions and layout.

// The site after current, wrapping to the first; the site before current, wrapping to the last.
int NextPageIndex(int current, int siteCount);
int PreviousPageIndex(int current, int siteCount);

// Keeps a window rectangle being dragged by edge (WMSZ_*) at the proportion width / height = aspect.
void KeepAspectWhileSizing(UINT edge, RECT& window, double aspect);

// The frame's first size: as wide as the toolbar plus 20 pixels, as high as the page's proportion
// asks (truncated). A page without a usable proportion gives a square window.
SIZE StartupFrameSize(int toolbarWidth, double aspect);

struct FrameLayoutRects
{
    RECT view = {};
    bool soundPanelsPlaced = false;
    RECT soundPanelOne = {}, soundPanelTwo = {};
};
// Places the view below the toolbar; with sound lists a 25-pixel strip at the bottom holds the two
// sound panels side by side.
FrameLayoutRects LayOutFrame(const RECT& client, int toolbarHeight, bool hasSoundLists);

// The key of a tool's text: the character after the first "&" that is not doubled, upper-cased; 0 when
// the text has none.
char AccessKeyOf(const char* text);

// The frame's key table: numeric-pad * zooms to the page, then the access keys of the tool texts; the
// first entry of a key wins. loadText(id) gives the text of a string id (empty when missing).
std::map<UINT, UINT> BuildKeyTable(const std::function<std::string(UINT)>& loadText);

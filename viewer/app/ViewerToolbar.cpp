#include "ViewerToolbar.h"

#include "ResString.h"
#include "ViewerDoc.h"
#include "ViewerMessages.h"
#include "ViewerResources.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>

namespace {
const int kImageWidth = 28, kImageHeight = 20;
const COLORREF kKeyColour = RGB(192, 192, 192);

TBBUTTON Button(int image, UINT command)
{
    TBBUTTON button = {};
    button.iBitmap = image;
    button.idCommand = static_cast<int>(command);
    button.fsState = TBSTATE_ENABLED;
    button.fsStyle = TBSTYLE_BUTTON;
    return button;
}

TBBUTTON Separator()
{
    TBBUTTON separator = {};
    separator.fsStyle = TBSTYLE_SEP;
    return separator;
}
}  // namespace

CViewerToolbar::~CViewerToolbar()
{
    if (m_tooltip && IsWindow(m_tooltip))
        DestroyWindow(m_tooltip);
}

bool CViewerToolbar::Create(HWND frame, const CViewerDoc& document)
{
    const TBBUTTON buttons[] = {Button(0, ID_PAN),          Separator(), Button(1, ID_ZOOM),       Separator(),
                                Button(2, ID_ZOOMTOPAGE),   Separator(), Button(3, ID_CLIPMARGINS), Separator(),
                                Button(4, ID_PAGESETUP),    Separator(), Button(5, ID_PRINT),      Separator()};
    HINSTANCE module = GetModuleHandleA(nullptr);
    m_toolbar = CreateToolbarEx(frame, WS_CHILD | WS_VISIBLE, 0, 10, module, IDB_TOOLS, buttons, 12, kImageWidth,
                                kImageHeight, kImageWidth, kImageHeight, sizeof(TBBUTTON));
    if (!m_toolbar)
        return false;
    SendMessageA(m_toolbar, TB_SETINDENT, 5, 0);
    m_tooltip = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, m_toolbar, nullptr, module, nullptr);
    if (m_tooltip)
        SetWindowPos(m_tooltip, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    AddExtraButtons(document);
    const struct
    {
        int index;
        UINT text;
    } tips[] = {{0, IDS_PAN_TOOL},         {2, IDS_ZOOM_TOOL},   {4, IDS_ZOOM_TO_PAGE},
                {6, IDS_CLIP_TO_MARGINS}, {8, IDS_PAGE_SETUP}, {10, IDS_PRINT}};
    for (const auto& tip : tips) {
        CResString text;
        text.Load(tip.text);
        AddTip(tip.index, text.Text());
    }
    if (m_tooltip)
        SendMessageA(m_tooltip, TTM_ACTIVATE, TRUE, 0);
    ShowWindow(m_toolbar, SW_SHOW);
    return true;
}

void CViewerToolbar::SetPressed(UINT command, bool pressed)
{
    SendMessageA(m_toolbar, TB_PRESSBUTTON, command, MAKELONG(pressed ? TRUE : FALSE, 0));
}

void CViewerToolbar::SelectTool(UINT command)
{
    SetPressed(ID_PAN, command == ID_PAN);
    SetPressed(ID_ZOOM, command == ID_ZOOM);
}

void CViewerToolbar::Enable(UINT command, bool enabled)
{
    SendMessageA(m_toolbar, TB_ENABLEBUTTON, command, MAKELONG(enabled ? TRUE : FALSE, 0));
}

void CViewerToolbar::AutoSize() { SendMessageA(m_toolbar, TB_AUTOSIZE, 0, 0); }

SIZE CViewerToolbar::MaxSize() const
{
    SIZE size = {};
    SendMessageA(m_toolbar, TB_GETMAXSIZE, 0, reinterpret_cast<LPARAM>(&size));
    return size;
}

int CViewerToolbar::Height() const
{
    RECT rect = {};
    GetWindowRect(m_toolbar, &rect);
    return rect.bottom - rect.top;
}

void CViewerToolbar::AddTip(int buttonIndex, const char* text)
{
    if (!m_tooltip)
        return;
    TOOLINFOA info = {};
    info.cbSize = TTTOOLINFOA_V1_SIZE;   // the 44-byte form every version of the common controls takes
    info.uFlags = TTF_SUBCLASS;
    info.hwnd = m_toolbar;
    info.uId = 0;
    SendMessageA(m_toolbar, TB_GETITEMRECT, buttonIndex, reinterpret_cast<LPARAM>(&info.rect));
    info.lpszText = const_cast<char*>(text);
    SendMessageA(m_tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
}

int CViewerToolbar::AddBitmapButton(UINT command, int position, HBITMAP bitmap)
{
    HIMAGELIST images = reinterpret_cast<HIMAGELIST>(SendMessageA(m_toolbar, TB_GETIMAGELIST, 0, 0));
    int cellWidth = kImageWidth, cellHeight = kImageHeight;
    if (images)
        ImageList_GetIconSize(images, &cellWidth, &cellHeight);

    HDC screen = GetDC(nullptr);
    HDC work = CreateCompatibleDC(screen);
    HBITMAP cell = CreateCompatibleBitmap(screen, cellWidth, cellHeight);
    HGDIOBJ old = SelectObject(work, cell);
    HBRUSH key = CreateSolidBrush(kKeyColour);
    const RECT all = {-1, -1, cellWidth + 2, cellHeight + 2};
    FillRect(work, &all, key);
    DeleteObject(key);
    if (bitmap) {
        BITMAP info = {};
        GetObjectA(bitmap, sizeof info, &info);
        DrawStateA(work, nullptr, nullptr, reinterpret_cast<LPARAM>(bitmap), 0, (cellWidth - info.bmWidth) / 2,
                   (cellHeight - info.bmHeight) / 2, info.bmWidth, info.bmHeight, DST_BITMAP);
    }
    SelectObject(work, old);
    int image = -1;
    if (images) {
        image = ImageList_AddMasked(images, cell, kKeyColour);
        SendMessageA(m_toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
    }
    DeleteObject(cell);
    DeleteDC(work);
    ReleaseDC(nullptr, screen);

    const int count = static_cast<int>(SendMessageA(m_toolbar, TB_BUTTONCOUNT, 0, 0));
    int index = count;
    if (position == -2)
        index = 0;
    else if (position != -1) {
        const int before = static_cast<int>(SendMessageA(m_toolbar, TB_COMMANDTOINDEX, position, 0));
        index = before >= 0 ? before : count;
    }
    TBBUTTON button = Button(image, command);
    SendMessageA(m_toolbar, TB_INSERTBUTTON, index, reinterpret_cast<LPARAM>(&button));
    return index;
}

void CViewerToolbar::AddSeparator()
{
    TBBUTTON separator = Separator();
    SendMessageA(m_toolbar, TB_ADDBUTTONS, 1, reinterpret_cast<LPARAM>(&separator));
}

void CCardViewerToolbar::AddExtraButtons(const CViewerDoc& document)
{
    AddSeparator();
    AddSeparator();
    // Page commands end at ID_PAGE_LAST: a button beyond would carry the id of another command (the 201st
    // would walk to the next page), so later sites are reached by next and previous only.
    const size_t buttons = std::min<size_t>(document.GetSiteCount(), ID_PAGE_LAST - ID_PAGE_FIRST + 1);
    for (size_t i = 0; i < buttons; ++i) {
        const CViewerSite& site = document.GetSiteByIndex(i);
        const CViewerSiteProperties* properties = site.GetSiteProperties();
        HBITMAP icon = properties && properties->GetIcon() ? properties->GetIcon()->CreateBitmap() : nullptr;
        const int index = AddBitmapButton(ID_PAGE_FIRST + static_cast<UINT>(i), -1, icon);
        if (icon)
            DeleteObject(icon);
        AddSeparator();
        char tip[256];
        std::snprintf(tip, sizeof tip, "%s (Ctrl+%i)", properties ? properties->GetName().c_str() : "",
                      static_cast<int>(i + 1));
        AddTip(index, tip);
    }
}

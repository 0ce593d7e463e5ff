#include "FrameLayout.h"
#include "ViewerApp.h"
#include "ViewerDoc.h"
#include "ViewerFrame.h"
#include "ViewerMessages.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>

std::unique_ptr<CViewerPageWnd> CCardViewerFrame::CreateView() const
{
    return std::make_unique<CCardViewerPageWnd>();
}
std::unique_ptr<CViewerDoc> CCardViewerFrame::CreateDocument() const { return std::make_unique<CCardViewerDoc>(); }
std::unique_ptr<CViewerToolbar> CCardViewerFrame::CreateToolbar() const
{
    return std::make_unique<CCardViewerToolbar>();
}

void CCardViewerFrame::ShowTitle()
{
    const CViewerSite* site = GetView() ? GetView()->GetSite() : nullptr;
    const char* name = site && site->GetSiteProperties() ? site->GetSiteProperties()->GetName().c_str() : "";
    char title[256];
    std::snprintf(title, sizeof title, "%s - %s", TheViewerApp().GetTitle(), name);
    SendMessageA(m_hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(title));
}

void CCardViewerFrame::SetPageButtons(int index)
{
    if (!GetToolbar() || !GetDocument())
        return;
    const size_t buttons = std::min<size_t>(GetDocument()->GetSiteCount(), ID_PAGE_LAST - ID_PAGE_FIRST + 1);
    for (size_t i = 0; i < buttons; ++i)
        GetToolbar()->SetPressed(ID_PAGE_FIRST + static_cast<UINT>(i), static_cast<int>(i) == index);
}

void CCardViewerFrame::GoToPage(int index)
{
    CViewerFrame::GoToPage(index);
    ShowTitle();
    SetPageButtons(index);
}

LRESULT CCardViewerFrame::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case VWM_START:
        if (StartUp()) {
            ShowTitle();
            SetPageButtons(0);
        }
        return 1;
    case VWM_GOTOPAGE: {
        const int index = static_cast<int>(wParam);
        const int count = GetDocument() ? static_cast<int>(GetDocument()->GetSiteCount()) : 0;
        if (index < 0 || index >= count || index == CurrentPageIndex()) {
            SetPageButtons(index);
            return 0;
        }
        GoToPage(index);
        return 1;
    }
    case WM_COMMAND: {
        if (!GetView())
            break;
        const UINT command = LOWORD(wParam);
        const int count = static_cast<int>(GetDocument()->GetSiteCount());
        if (command >= ID_PAGE_FIRST && command <= ID_PAGE_LAST)
            SendMessageA(hwnd, VWM_GOTOPAGE, command - ID_PAGE_FIRST, 0);
        else if (command == ID_NEXTPAGE)
            SendMessageA(hwnd, VWM_GOTOPAGE, NextPageIndex(CurrentPageIndex(), count), 0);
        else if (command == ID_PREVPAGE)
            SendMessageA(hwnd, VWM_GOTOPAGE, PreviousPageIndex(CurrentPageIndex(), count), 0);
        break;
    }
    default:
        break;
    }
    return CViewerFrame::WindowProc(hwnd, message, wParam, lParam);
}

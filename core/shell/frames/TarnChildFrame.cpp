#include "TarnChildFrame.h"

#include "ChildFrameTitle.h"
#include "ClDocument.h"

IMPLEMENT_DYNCREATE(CTarnChildFrame, CMDIChildWnd)

BOOL CTarnChildFrame::PreCreateWindow(CREATESTRUCTA& cs)
{
    cs.style |= WS_VISIBLE | WS_MAXIMIZE;
    m_bAddToTitle = (cs.style & FWS_ADDTOTITLE) != 0;
    return CMDIChildWnd::PreCreateWindow(cs);
}

void CTarnChildFrame::OnUpdateFrameTitle(BOOL bAddToTitle)
{
    if (CWnd* main = AfxGetMainWnd())
        if (auto* mainFrame = DYNAMIC_DOWNCAST(CFrameWnd, main); mainFrame && mainFrame != this)
            mainFrame->OnUpdateFrameTitle(TRUE);
    if (!m_bAddToTitle || !bAddToTitle) return;
    CDocument* doc = GetActiveDocument();
    if (!doc) {
        SetWindowText(m_strTitle);
        return;
    }
    // The window's number among the document's frames, in the order their views joined it.
    int count = 0;
    int number = 0;
    for (POSITION pos = doc->GetFirstViewPosition(); pos;) {
        CView* view = doc->GetNextView(pos);
        ++count;
        if (view && view->GetParentFrame() == this && number == 0) number = count;
    }
    SetWindowText(MakeChildFrameTitle(doc->GetTitle(), GetAdditionalDescription(), number, count));
}

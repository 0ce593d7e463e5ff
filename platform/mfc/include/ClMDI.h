#pragma once
// Multiple-document frames: a main frame with an MDI client that holds one child frame per
// view, and the template that makes a document with its child frame for each file.
#include "ClDocView.h"

#define AFX_IDM_FIRST_MDICHILD 0xFF00
#define ID_WINDOW_NEW 0xE130
#define ID_WINDOW_ARRANGE 0xE131
#define ID_WINDOW_CASCADE 0xE132
#define ID_WINDOW_TILE_HORZ 0xE133
#define ID_WINDOW_TILE_VERT 0xE134

class CMDIChildWnd;

class CLASSLIB_API CMDIFrameWnd : public CFrameWnd
{
    DECLARE_DYNCREATE(CMDIFrameWnd)
public:
    CMDIFrameWnd();

    // The MDI client; its window list goes into the menu popup that holds the window commands.
    BOOL OnCreateClient(LPCREATESTRUCTA lpcs, CCreateContext* pContext) override;
    BOOL CreateClient(LPCREATESTRUCTA lpcs, CMenu* pWindowMenu);
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Commands: the active child frame first, then this frame and the application.
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    CDocument* GetActiveDocument() override;

    CMDIChildWnd* MDIGetActive(BOOL* pbMaximized = nullptr) const;
    void MDIActivate(CWnd* pWndActivate) { ::SendMessageA(m_hWndMDIClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(pWndActivate->m_hWnd), 0); }
    void MDICascade() { ::SendMessageA(m_hWndMDIClient, WM_MDICASCADE, 0, 0); }
    void MDITile(int nType = MDITILE_HORIZONTAL) { ::SendMessageA(m_hWndMDIClient, WM_MDITILE, static_cast<WPARAM>(nType), 0); }
    void MDIIconArrange() { ::SendMessageA(m_hWndMDIClient, WM_MDIICONARRANGE, 0, 0); }
    void MDINext() { ::SendMessageA(m_hWndMDIClient, WM_MDINEXT, 0, 0); }
    // The popup of the menu that holds the window commands, or null.
    HMENU GetWindowMenuPopup(HMENU hMenuBar);
    void OnUpdateFrameTitle(BOOL bAddToTitle) override;

    BOOL OnWindowCommand(UINT nID);

    HWND m_hWndMDIClient;

protected:
    DECLARE_MESSAGE_MAP()
};

class CLASSLIB_API CMDIChildWnd : public CFrameWnd
{
    DECLARE_DYNCREATE(CMDIChildWnd)
public:
    CMDIChildWnd();
    ~CMDIChildWnd() override;

    // A child of the application's main MDI frame (or of pParentWnd, an MDI frame); its menu
    // (of the same id) replaces the frame's while it is active.
    BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                   CWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr) override;
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
    CMDIFrameWnd* GetMDIFrame() const;
    void MDIActivate();
    void MDIDestroy();
    // Through the MDI client, which then activates another child.
    BOOL DestroyWindow() override;
    void ActivateFrame(int nCmdShow = -1) override;
    void OnUpdateFrameTitle(BOOL bAddToTitle) override;
    void PostNcDestroy() override;

    int OnCreate(LPCREATESTRUCTA lpcs);
    LRESULT OnMDIActivate(WPARAM wParam, LPARAM lParam);

    HMENU m_hMenuShared;

protected:
    DECLARE_MESSAGE_MAP()
};

class CLASSLIB_API CMultiDocTemplate : public CDocTemplate
{
    DECLARE_DYNAMIC(CMultiDocTemplate)
public:
    CMultiDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass, CRuntimeClass* pViewClass);
    ~CMultiDocTemplate() override;

    void AddDocument(CDocument* pDoc) override;
    void RemoveDocument(CDocument* pDoc) override;
    POSITION GetFirstDocPosition() const override { return m_docList.GetHeadPosition(); }
    CDocument* GetNextDoc(POSITION& rPos) const override { return static_cast<CDocument*>(m_docList.GetNext(rPos)); }
    // Every file gets a new document in a new child frame.
    CDocument* OpenDocumentFile(LPCSTR lpszPathName, BOOL bMakeVisible = TRUE) override;
    // New documents are numbered: "Card1", "Card2" ...
    void SetDefaultTitle(CDocument* pDocument) override;

    CPtrList m_docList;
    UINT m_nUntitledCount;
};

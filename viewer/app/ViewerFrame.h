#pragma once
#include "ViewerPageWnd.h"
#include "ViewerToolbar.h"
#include "ViewerWnd.h"

#include <map>
#include <memory>

class CViewerDoc;
class CMediaPanelDlg;

// The main frame: it loads the card, holds the document, the toolbar and the page view, and turns
// toolbar buttons, accelerators and keys into commands.
class CViewerFrame : public CViewerWnd
{
public:
    CViewerFrame();
    ~CViewerFrame() override;

    LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;
    // The position of the shown site in the document's site list, -1 when none is shown.
    virtual int CurrentPageIndex() const;
    virtual void GoToPage(int index);
    virtual std::unique_ptr<CViewerPageWnd> CreateView() const;
    virtual std::unique_ptr<CViewerDoc> CreateDocument() const;
    virtual std::unique_ptr<CViewerToolbar> CreateToolbar() const;

    // True after start-up when the program holds no card that can be shown: the frame then has no view
    // and the program ends after telling the user.
    bool HasNoCard() const { return m_noCard; }
    CViewerDoc* GetDocument() const { return m_document.get(); }
    CViewerPageWnd* GetView() const { return m_view.get(); }
    CViewerToolbar* GetToolbar() const { return m_toolbar.get(); }
    // The sound panels (0: wave, 1: MIDI); null on a card without sounds.
    CMediaPanelDlg* GetSoundPanel(int index) const { return m_soundPanels[index].get(); }

protected:
    // Start-up on VWM_START: loads the card and makes the toolbar and the view; false when there is no
    // card to show.
    bool StartUp();
    double CurrentPageAspect() const;

private:
    void OnCommand(UINT command, WPARAM wParam, LPARAM lParam);
    void LayOut();
    void RefreshCursor();
    // Hands both sound panels the lists of the site and starts them from the beginning.
    void PlaySiteSounds(int siteId);

    std::unique_ptr<CViewerDoc> m_document;
    std::unique_ptr<CViewerPageWnd> m_view;
    std::unique_ptr<CViewerToolbar> m_toolbar;
    std::unique_ptr<CMediaPanelDlg> m_soundPanels[2];
    std::map<UINT, UINT> m_keyTable;
    bool m_noCard = false;
};

// The frame of the card viewer: page buttons, page walking and the window title per site.
class CCardViewerFrame : public CViewerFrame
{
public:
    LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;
    void GoToPage(int index) override;
    std::unique_ptr<CViewerPageWnd> CreateView() const override;
    std::unique_ptr<CViewerDoc> CreateDocument() const override;
    std::unique_ptr<CViewerToolbar> CreateToolbar() const override;

private:
    void ShowTitle();
    void SetPageButtons(int index);
};

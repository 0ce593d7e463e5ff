#pragma once
// The MDI child frame that holds one editing view: always opened maximised, captioned with its
// document's title, its own description and its window number when the document has several.
#include "ClMDI.h"
#include "TarnApi.h"

class TARN_API CTarnChildFrame : public CMDIChildWnd {
    DECLARE_DYNCREATE(CTarnChildFrame)
public:
    BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
    void OnUpdateFrameTitle(BOOL bAddToTitle) override;
    // Text shown after the document's title (" - text"); none here.
    virtual CString GetAdditionalDescription() { return CString(); }

protected:
    // Kept at creation: the system need not keep this framework style bit on a child window.
    BOOL m_bAddToTitle = FALSE;
};

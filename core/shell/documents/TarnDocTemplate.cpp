#include "TarnDocTemplate.h"

#include "ClException.h"
#include "DocumentPaths.h"
#include "TarnDoc.h"

IMPLEMENT_DYNAMIC(CTarnDocTemplate, CMultiDocTemplate)

CTarnDocTemplate::CTarnDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                                   CRuntimeClass* pViewClass)
    : CMultiDocTemplate(nIDResource, pDocClass, pFrameClass, pViewClass)
{
}

void CTarnDocTemplate::ReportFailure(UINT nIDPrompt) { AfxMessageBox(nIDPrompt); }

CDocument* CTarnDocTemplate::OpenDocumentFile(LPCSTR lpszPathName, BOOL bMakeVisible)
{
    CDocument* made = CreateNewDocument();
    auto* doc = DYNAMIC_DOWNCAST(CTarnDoc, made);
    if (!doc) {
        delete made;
        ReportFailure(TARN_IDP_FAILED_TO_CREATE_DOC);
        return nullptr;
    }
    const BOOL autoDelete = doc->m_bAutoDelete;
    doc->m_bAutoDelete = FALSE;   // the document must outlive a frame that fails to be made
    CFrameWnd* frame = CreateNewFrame(doc, nullptr);
    doc->m_bAutoDelete = autoDelete;
    if (!frame) {
        delete doc;
        ReportFailure(TARN_IDP_FAILED_TO_CREATE_DOC);
        return nullptr;
    }

    const bool emptyFile = lpszPathName && IsZeroLengthFile(lpszPathName);
    if (lpszPathName && !emptyFile) {
        doc->BeginWaitCursor();
        const BOOL opened = doc->OnOpenDocument(lpszPathName);
        doc->EndWaitCursor();
        if (!opened) {
            frame->DestroyWindow();   // takes the view and the document with it; the file is untouched
            return nullptr;
        }
        doc->SetPathName(lpszPathName);
        InitialUpdateFrame(frame, doc, bMakeVisible);
        return doc;
    }

    // A new card: untitled, or in the place of the empty file.
    if (!lpszPathName) SetDefaultTitle(doc);
    if (!bMakeVisible) doc->m_bEmbedded = TRUE;
    if (!doc->OnNewDocument()) {
        frame->DestroyWindow();
        return nullptr;
    }
    if (emptyFile)
        doc->SetPathName(lpszPathName);
    else
        ++m_nUntitledCount;
    InitialUpdateFrame(frame, doc, bMakeVisible);
    return doc;
}

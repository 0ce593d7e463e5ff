#pragma once
// The application's multi-document template: cards open in child frames; an empty card file
// opens as a new card that keeps the file's path, so that saving writes into it.
#include "ClMDI.h"
#include "TarnApi.h"

// The framework's message that a document could not be made.
#define TARN_IDP_FAILED_TO_CREATE_DOC 61700

class TARN_API CTarnDocTemplate : public CMultiDocTemplate {
    DECLARE_DYNAMIC(CTarnDocTemplate)
public:
    CTarnDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass, CRuntimeClass* pViewClass);

    CDocument* OpenDocumentFile(LPCSTR lpszPathName, BOOL bMakeVisible = TRUE) override;

protected:
    // Tells the user; tests capture it.
    virtual void ReportFailure(UINT nIDPrompt);
};

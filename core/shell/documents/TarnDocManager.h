#pragma once
// The application's document manager: reads the path it is given the way the shell and the
// command line give it, opens the card with the template that claims it best (an open card is
// brought to the front), and registers the document types with the shell, "New" entry included.
#include "ClDocView.h"
#include "TarnApi.h"

class TARN_API CTarnDocManager : public CDocManager {
    DECLARE_DYNAMIC(CTarnDocManager)
public:
    CDocument* OpenDocumentFile(LPCSTR lpszFileName) override;
    // Each template with a file-type id and an extension: the type, its extension (unless another
    // program owns it), its open command and the shell's "New" entry. Registry failures are ignored.
    virtual void RegisterShellFileTypes(BOOL bCompat);

protected:
    virtual void ReportFailure(UINT nIDPrompt);
};

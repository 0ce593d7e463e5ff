#pragma once
// The card document's ways out besides its own file: a stand-alone viewer program holding the card, and
// mail with the card attached. The document's commands call these.
#include "CardMail.h"
#include "TarnDoc.h"

// The viewer template beside the running application: its path less the extension, then "Viewer.emp".
TARN_API CString GetEmptyViewerName();

// Saves the document as a viewer program at newFile from the given template (by default the one beside
// the application). The document keeps its path, its open file and its modified state; failures are told
// through the document's ShowMessage.
TARN_API BOOL SaveDocumentToViewer(CTarnDoc& document, LPCSTR newFile, LPCSTR templatePath = nullptr);

// Whether mail can be sent (cached for the process).
TARN_API BOOL IsDocumentMailAvailable();

// Mails the card through the given mail library (by default the system's); every text may be null. TRUE
// when mail was reached (also when the user cancelled), FALSE when it could not be loaded or the card not
// be saved for sending. An attachment without a title is named after the document's file, or after its
// title with the template's filterExtension (such as ".crd"). The document's open file is restored
// afterwards in every case.
TARN_API BOOL SendDocumentByMail(CTarnDoc& document, HWND owner, LPCSTR attachmentPath, LPCSTR attachmentTitle,
                                 LPCSTR recipientName, LPCSTR recipientAddress, LPCSTR subject, LPCSTR noteText,
                                 LPCSTR filterExtension = nullptr, CMailLibrary* library = nullptr);

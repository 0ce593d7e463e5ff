#pragma once
// How the document manager reads a path it is asked to open, and which template it opens it with.
#include <windows.h>

#include <vector>

#include "ClDocView.h"
#include "ClString.h"
#include "TarnApi.h"

// One leading double quote is dropped and the text is cut at the last double quote (paths from
// the command line or the shell come quoted); the path is then made absolute, and a shell
// shortcut is replaced by its target.
TARN_API CString CleanDocumentPath(LPCSTR raw);
// The target of a shell shortcut (.lnk), or an empty string when the file is not one.
TARN_API CString ResolveShortcut(LPCSTR path);
// The index of the template that claims the file best: the first of equal answers, and the first
// that has the document open already ends the search. -1 when none claims it at all.
TARN_API int ChooseDocTemplate(const std::vector<CDocTemplate::Confidence>& answers);
// A file that exists and holds nothing: opened as a new card that takes the file's path.
TARN_API bool IsZeroLengthFile(LPCSTR path);

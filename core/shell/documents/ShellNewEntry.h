#pragma once
// The shell's "New" entry of a document type: the shell copies a template file named after the
// program when the user makes a new document of that type.
#include <windows.h>

#include "ClString.h"
#include "TarnApi.h"

struct ShellNewEntry {
    CString key;        // under HKEY_CLASSES_ROOT
    CString fileName;   // the value "FileName"
};

// Whether the type may have the entry: an extension whose default value names another program's
// file type belongs to that program. currentOwner: the extension key's default value (empty when
// missing).
TARN_API bool MayRegisterShellNew(const CString& currentOwner, const CString& fileTypeId);
// extension with its dot (".crd"); appName: the host program's name without its extension.
TARN_API ShellNewEntry MakeShellNewEntry(const CString& extension, const CString& fileTypeId, const CString& appName);
// Writes the entry for one document type unless another program owns the extension, and drops
// the "NullFile" value the framework's registration left. Registry failures are ignored; the
// answer says whether the entry was written.
TARN_API bool RegisterShellNew(const CString& extension, const CString& fileTypeId, const CString& appName);

#include "DocumentPaths.h"

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

CString CleanDocumentPath(LPCSTR raw)
{
    CString path(raw ? raw : "");
    if (!path.IsEmpty() && path[0] == '"') path = path.Mid(1);
    const int lastQuote = path.ReverseFind('"');
    if (lastQuote >= 0) path = path.Left(lastQuote);
    if (path.IsEmpty()) return path;

    char full[MAX_PATH];
    const DWORD length = ::GetFullPathNameA(path, MAX_PATH, full, nullptr);
    if (length > 0 && length < MAX_PATH) path = full;
    const CString target = ResolveShortcut(path);
    return target.IsEmpty() ? path : target;
}

CString ResolveShortcut(LPCSTR path)
{
    const CString name(path ? path : "");
    if (name.GetLength() < 4 || name.Right(4).CompareNoCase(".lnk") != 0) return CString();
    CString target;
    IShellLinkA* link = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                  reinterpret_cast<void**>(&link))))
        return target;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        WCHAR wide[MAX_PATH];
        ::MultiByteToWideChar(CP_ACP, 0, name, -1, wide, MAX_PATH);
        char resolved[MAX_PATH] = "";
        if (SUCCEEDED(file->Load(wide, STGM_READ)) && SUCCEEDED(link->GetPath(resolved, MAX_PATH, nullptr, 0)))
            target = resolved;
        file->Release();
    }
    link->Release();
    return target;
}

int ChooseDocTemplate(const std::vector<CDocTemplate::Confidence>& answers)
{
    int best = -1;
    CDocTemplate::Confidence bestAnswer = CDocTemplate::noAttempt;
    for (size_t i = 0; i < answers.size(); ++i) {
        if (answers[i] > bestAnswer) {
            bestAnswer = answers[i];
            best = static_cast<int>(i);
        }
        if (answers[i] == CDocTemplate::yesAlreadyOpen) break;
    }
    return best;
}

bool IsZeroLengthFile(LPCSTR path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!path || !::GetFileAttributesExA(path, GetFileExInfoStandard, &data)) return false;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return false;
    return data.nFileSizeHigh == 0 && data.nFileSizeLow == 0;
}

#include "TarnDocManager.h"

#include <vector>

#include "ClException.h"
#include "ClResourceIds.h"
#include "DocumentPaths.h"
#include "ShellNewEntry.h"

IMPLEMENT_DYNAMIC(CTarnDocManager, CDocManager)

void CTarnDocManager::ReportFailure(UINT nIDPrompt) { AfxMessageBox(nIDPrompt); }

CDocument* CTarnDocManager::OpenDocumentFile(LPCSTR lpszFileName)
{
    const CString path = CleanDocumentPath(lpszFileName);
    std::vector<CDocTemplate::Confidence> answers;
    std::vector<CDocTemplate*> templates;
    std::vector<CDocument*> openDocs;
    for (POSITION pos = GetFirstDocTemplatePosition(); pos;) {
        CDocTemplate* docTemplate = GetNextDocTemplate(pos);
        CDocument* open = nullptr;
        answers.push_back(docTemplate->MatchDocType(path, open));
        templates.push_back(docTemplate);
        openDocs.push_back(open);
        if (answers.back() == CDocTemplate::yesAlreadyOpen) break;
    }
    const int best = ChooseDocTemplate(answers);
    if (best < 0) {
        ReportFailure(AFX_IDP_FAILED_TO_OPEN_DOC);
        return nullptr;
    }
    if (answers[static_cast<size_t>(best)] == CDocTemplate::yesAlreadyOpen) {
        // The card is open already: its window comes to the front, so a save writes it back.
        CDocument* open = openDocs[static_cast<size_t>(best)];
        POSITION views = open->GetFirstViewPosition();
        if (CView* view = views ? open->GetNextView(views) : nullptr)
            if (CFrameWnd* frame = view->GetParentFrame()) frame->ActivateFrame();
        return open;
    }
    return templates[static_cast<size_t>(best)]->OpenDocumentFile(path);
}

namespace {
void SetClassesValue(const CString& key, LPCSTR name, const CString& value)
{
    HKEY handle = nullptr;
    if (::RegCreateKeyExA(HKEY_CLASSES_ROOT, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle, nullptr) != ERROR_SUCCESS)
        return;
    ::RegSetValueExA(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(static_cast<LPCSTR>(value)),
                     static_cast<DWORD>(value.GetLength() + 1));
    ::RegCloseKey(handle);
}

CString ClassesDefault(const CString& key)
{
    char value[256] = "";
    DWORD size = sizeof value;
    if (::RegGetValueA(HKEY_CLASSES_ROOT, key, nullptr, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
        return CString();
    return value;
}
}  // namespace

void CTarnDocManager::RegisterShellFileTypes(BOOL bCompat)
{
    char module[MAX_PATH] = "";
    ::GetModuleFileNameA(nullptr, module, MAX_PATH);
    CString appName(module);
    appName = appName.Mid(appName.ReverseFind('\\') + 1);
    if (appName.ReverseFind('.') > 0) appName = appName.Left(appName.ReverseFind('.'));
    CString openCommand;
    openCommand.Format("\"%s\" \"%%1\"", module);

    for (POSITION pos = GetFirstDocTemplatePosition(); pos;) {
        CDocTemplate* docTemplate = GetNextDocTemplate(pos);
        CString typeId, typeName, extension;
        if (!docTemplate->GetDocString(typeId, CDocTemplate::regFileTypeId) || typeId.IsEmpty()) continue;
        if (!docTemplate->GetDocString(extension, CDocTemplate::filterExt) || extension.IsEmpty()) continue;
        docTemplate->GetDocString(typeName, CDocTemplate::regFileTypeName);
        SetClassesValue(typeId, nullptr, typeName);
        SetClassesValue(typeId + "\\shell\\open\\command", nullptr, openCommand);
        if (bCompat) {
            CString icon;
            icon.Format("%s,0", module);
            SetClassesValue(typeId + "\\DefaultIcon", nullptr, icon);
        }
        if (!MayRegisterShellNew(ClassesDefault(extension), typeId)) continue;
        SetClassesValue(extension, nullptr, typeId);
        RegisterShellNew(extension, typeId, appName);
    }
}

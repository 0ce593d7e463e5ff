// The card file: the main stream "Contents" with its signature, version and records, the
// default controls, the thumbnails, the wrapping of the root storage by the compressed-storage
// server, and saving so that a failure never damages the file already on disk.
#include <cstring>
#include <memory>
#include <vector>

#include "ArchiveLimits.h"
#include "ClException.h"
#include "ClOleStreamFile.h"
#include "CompoundFileCheck.h"
#include "ControlInfo.h"
#include "DocumentVersion.h"
#include "Mosk.h"
#include "PropertySetCheck.h"
#include "TarnBackground.h"
#include "TarnDoc.h"
#include "TarnPage.h"
#include "TarnSite.h"
#include "TarnStrings.h"
#include "TarnThumbnail.h"
#include "UnsupportedFormatException.h"
#include "WideText.h"

namespace {

constexpr UINT kArchiveBuffer = 4096;
// Smallest stored site: four tagged records with empty lists and a zero control count.
constexpr ULONG kMinStoredSite = 4 * (2 + 4) + 4;
const WCHAR kThumbnails[] = L"Thumbnails";
const WCHAR kDefControls[] = L"DefControls";
constexpr UINT kFailedToOpen = 61697;

template <class T>
void ReadExpected(CArchive& ar, T*& target)
{
    CObject* object = nullptr;
    ReadObjectWithClass(ar, object);
    T* typed = dynamic_cast<T*>(object);
    if (!typed) {
        delete object;
        AfxThrowArchiveException(CArchiveException::badClass);
    }
    delete target;
    target = typed;
}

// The card's summary property sets, as streams of the root storage.
const wchar_t* const kSummarySetStreams[] = {L"\005SummaryInformation", L"\005DocumentSummaryInformation"};

// A save over the card's own file goes into a new file; the summary sets come along so that the
// save continues them (the revision number advances) instead of starting them anew.
void CopySummarySets(IStorage* from, IStorage* to)
{
    for (const wchar_t* name : kSummarySetStreams) {
        IStream* source = nullptr;
        if (FAILED(from->OpenStream(name, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &source)) || !source)
            continue;
        IStream* copy = nullptr;
        if (SUCCEEDED(to->CreateStream(name, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, 0, &copy)) && copy) {
            ULARGE_INTEGER all;
            all.QuadPart = ~0ULL;
            if (FAILED(source->CopyTo(copy, all, nullptr, nullptr)))
                to->DestroyElement(name);
            copy->Release();
        }
        source->Release();
    }
}

// Keeps the loading version visible to the objects read on this thread, for one load.
struct LoadingVersionScope {
    ~LoadingVersionScope() { SetLoadingDocumentVersion(0); }
};

}  // namespace

// ---- "Contents"

void CTarnDoc::Serialize(CArchive& ar)
{
    LoadingVersionScope versionScope;
    SerializeSignature(ar);
    SerializeVersion(ar);
    SerializeProperties(ar);
    SerializeStartData(ar);
    SerializeSites(ar);
    SerializePages(ar);
    SerializeFinishData(ar);
    SerializeSounds(ar);
    if (ar.IsLoading()) {
        if (!m_pageList) {
            m_pageList = CreatePageList();
            m_pageList->SetMaster(this);
        }
        // Cards from before pages existed get the pages of the default style.
        if (GetPageCount() == 0) {
            m_keepSurplusSites = true;
            try {
                SetStyleWOUndo(DefaultDocStyle());
            } catch (...) {
                m_keepSurplusSites = false;
                throw;
            }
            m_keepSurplusSites = false;
        }
    }
    SerializeThumbnails(ar);
    SerializeDefControls(ar);
    AfterSerialize(ar);
}

void CTarnDoc::SerializeSignature(CArchive& ar)
{
    CString signature = TarnString(kIdsSignature);
    if (signature.GetLength() > 255)
        signature = signature.Left(255);
    if (ar.IsStoring()) {
        ar.Write(static_cast<LPCSTR>(signature), signature.GetLength());
        return;
    }
    for (int i = 0; i < signature.GetLength(); ++i) {
        BYTE c = 0;
        ar >> c;
        if (c != static_cast<BYTE>(signature[i]))
            AfxThrowArchiveException(CArchiveException::badIndex);
    }
}

void CTarnDoc::SerializeVersion(CArchive& ar)
{
    if (ar.IsStoring()) {
        m_docVersion = TarnVersionString(kIdsWrittenVersion);
        ar << static_cast<DWORD>(m_docVersion);
        return;
    }
    DWORD version = 0;
    ar >> version;
    const int oldest = TarnVersionString(kIdsOldestVersion);
    const int newest = TarnVersionString(kIdsNewestVersion);
    if (static_cast<long long>(version) < oldest)
        throw new CUnsupportedTarnFormatException(CUnsupportedTarnFormatException::tooOld);
    if (static_cast<long long>(version) > newest)
        throw new CUnsupportedTarnFormatException(CUnsupportedTarnFormatException::tooNew);
    m_docVersion = static_cast<int>(version);
    SetLoadingDocumentVersion(m_docVersion);
}

void CTarnDoc::SerializeProperties(CArchive& ar)
{
    if (ar.IsStoring()) {
        if (!m_properties) {
            m_properties = CreateTarnDocProperties();
            m_properties->InitNew();
        }
        // A viewer copy carries the card only, not its summary.
        if (!m_saveForViewer)
            m_properties->SaveToPropStg(m_lpRootStg);
        WriteObjectWithClass(ar, m_properties);
    } else {
        // The default controls live in the properties but are stored apart: keep them.
        CTarnDocProperties* previous = m_properties;
        m_properties = nullptr;
        try {
            ReadExpected(ar, m_properties);
        } catch (...) {
            m_properties = previous;
            throw;
        }
        if (previous) {
            for (const auto& entry : previous->GetDefaultControls())
                m_properties->SetDefaultControl(entry.first, entry.second);
            delete previous;
        }
        m_properties->LoadFromPropStg(m_lpRootStg);
    }
}

void CTarnDoc::SerializeStartData(CArchive& ar)
{
    if (ar.IsStoring()) {
        if (!m_startData)
            m_startData = new CDocStartData;
        WriteObjectWithClass(ar, m_startData);
    } else {
        ReadExpected(ar, m_startData);
    }
}

void CTarnDoc::SerializeFinishData(CArchive& ar)
{
    if (ar.IsStoring()) {
        if (!m_finishData)
            m_finishData = new CDocFinishData;
        WriteObjectWithClass(ar, m_finishData);
    } else {
        ReadExpected(ar, m_finishData);
    }
}

void CTarnDoc::SerializeSites(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << static_cast<DWORD>(GetSiteNumber());
        for (CTarnSite* site : m_sites)
            WriteObjectWithClass(ar, site);
        return;
    }
    const DWORD count = ReadCheckedCount(ar, kMinStoredSite);
    for (DWORD i = 0; i < count; ++i) {
        const int wasTemplate = CTarnSite::m_bIsTemplate;
        CTarnSite::m_bIsTemplate = m_isTemplate;
        CTarnSite* site = nullptr;
        try {
            ReadExpected(ar, site);
        } catch (...) {
            CTarnSite::m_bIsTemplate = wasTemplate;
            throw;
        }
        CTarnSite::m_bIsTemplate = wasTemplate;
        if (site->GetID() == -1)
            site->SetID(static_cast<int>(i));
        site->SetMaster(this, -1);
        AddSite(site);
    }
    RecomputeNextSiteId();
}

void CTarnDoc::SerializePages(CArchive& ar)
{
    if (m_docVersion <= 1)
        return;
    if (ar.IsStoring()) {
        if (!m_pageList)
            m_pageList = CreatePageList();
        WriteObjectWithClass(ar, m_pageList);
    } else {
        ReadExpected(ar, m_pageList);
    }
    m_pageList->SetMaster(this);
}

void CTarnDoc::AfterSerialize(CArchive&) {}

// ---- other streams of the root storage

void CTarnDoc::SerializeThumbnails(CArchive& ar)
{
    if (!ar.IsStoring() || !m_lpRootStg)
        return;
    IStorage* plain = PlainStorageOf(m_lpRootStg);
    if (!plain)
        return;
    IStream* stream = nullptr;
    const HRESULT hr = plain->CreateStream(kThumbnails, STGM_CREATE | STGM_SHARE_EXCLUSIVE | STGM_READWRITE, 0, 0, &stream);
    plain->Release();
    if (FAILED(hr))
        return;
    COleStreamFile file(stream);  // the file owns the stream's reference from here on
    std::vector<std::unique_ptr<CTarnThumbnail>> thumbnails;
    try {
        CArchive thumbs(&file, CArchive::store | CArchive::bNoFlushOnDelete, kArchiveBuffer);
        const int count = GetPreviewPagesNumber();
        thumbs << static_cast<DWORD>(count);
        for (int i = 0; i < count; ++i) {
            thumbnails.emplace_back(CreateThumbnail());
            thumbnails.back()->FillData(this, i);
            thumbnails.back()->Serialize(thumbs);
        }
        for (auto& thumbnail : thumbnails)
            thumbnail->SerializeEx(thumbs);
        thumbs.Close();
    } catch (...) {
        file.Abort();
        throw;
    }
    file.Close();
}

const std::vector<KnownControl>& CTarnDoc::GetKnownControls() const
{
    m_knownControls.clear();
    for (int i = 0; i < g_arrControlInfo.GetSize(); ++i) {
        const tagControlInfo& info = g_arrControlInfo[i];
        if (info.clsid)
            m_knownControls.push_back(KnownControl{static_cast<int>(info.toolId), static_cast<int>(info.typeId),
                                                   *info.clsid});
    }
    return m_knownControls;
}

void CTarnDoc::SerializeDefControls(CArchive& ar)
{
    if (!m_lpRootStg || !m_properties)
        return;
    if (ar.IsStoring()) {
        IStream* stream = nullptr;
        if (FAILED(m_lpRootStg->CreateStream(kDefControls, STGM_CREATE | STGM_SHARE_EXCLUSIVE | STGM_READWRITE, 0, 0,
                                             &stream)))
            return;
        for (const auto& entry : m_properties->GetDefaultControls()) {
            IPersistStream* persist = nullptr;
            if (entry.second &&
                SUCCEEDED(entry.second->QueryInterface(IID_IPersistStream, reinterpret_cast<void**>(&persist)))) {
                OleSaveToStream(persist, stream);
                persist->Release();
            }
        }
        stream->Release();
        return;
    }
    IStream* stream = nullptr;
    if (SUCCEEDED(m_lpRootStg->OpenStream(kDefControls, nullptr, STGM_SHARE_EXCLUSIVE | STGM_READ, 0, &stream))) {
        const std::vector<KnownControl>& known = GetKnownControls();
        CLSID clsid = {};
        // The records carry no length: an unknown or unreadable one ends the stream.
        while (SUCCEEDED(ReadClassStm(stream, &clsid))) {
            const KnownControl* entry = nullptr;
            for (const KnownControl& k : known) {
                if (IsEqualCLSID(k.clsid, clsid))
                    entry = &k;
            }
            if (!entry)
                break;
            IPersistStream* persist = nullptr;
            if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IPersistStream,
                                        reinterpret_cast<void**>(&persist))))
                break;
            IBaseControl* control = nullptr;
            persist->QueryInterface(IID_IBaseControl, reinterpret_cast<void**>(&control));
            const HRESULT loaded = control ? (control->IgnoreInvalidate(1), persist->Load(stream)) : E_NOINTERFACE;
            persist->Release();
            if (FAILED(loaded)) {
                if (control)
                    control->Release();
                break;
            }
            long typeId = 0;
            control->get_TypeID(&typeId);
            if (typeId > 100 && typeId <= 200) {
                for (const KnownControl& k : known) {
                    if (k.toolId == typeId)
                        typeId = k.typeId;
                }
            }
            if (typeId > 200)
                m_properties->SetDefaultControl(typeId, control);
            control->Release();
        }
        stream->Release();
    }
    CreateDefControls();
}

void CTarnDoc::CreateDefControls()
{
    if (!m_properties)
        return;
    for (const KnownControl& k : GetKnownControls()) {
        if (m_properties->GetDefaultControl(k.typeId))
            continue;
        IBaseControl* control = nullptr;
        if (FAILED(CoCreateInstance(k.clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseControl,
                                    reinterpret_cast<void**>(&control))))
            continue;
        control->IgnoreInvalidate(1);
        control->put_TypeID(k.toolId);
        m_properties->SetDefaultControl(k.typeId, control);
        control->Release();
    }
}

// ---- storage

template <class Work>
void CTarnDoc::WithWrappedRoot(bool wrap, Work work)
{
    IStorage* previous = m_lpRootStg;
    IStorage* wrapper = nullptr;
    if (wrap && m_zstorage && previous && SUCCEEDED(m_zstorage->put_Donor(previous)))
        m_zstorage->QueryInterface(IID_IStorage, reinterpret_cast<void**>(&wrapper));
    if (wrapper)
        m_lpRootStg = wrapper;
    auto restore = [&] {
        m_lpRootStg = previous;
        if (wrapper) {
            wrapper->Release();
            m_zstorage->put_Donor(nullptr);
        }
    };
    try {
        work();
    } catch (...) {
        restore();
        throw;
    }
    restore();
}

void CTarnDoc::LoadFromStorage()
{
    try {
        // Loading always goes through the wrapper: it passes plain streams through.
        WithWrappedRoot(true, [&] { COleDocument::LoadFromStorage(); });
    } catch (CException* e) {
        m_bad = TRUE;
        if (!m_hideLoadException)
            throw;
        DeleteContents();
        e->Delete();
    }
}

void CTarnDoc::SaveToStorage(CObject* pObject)
{
    WithWrappedRoot(IsSaveCompressedData() != FALSE, [&] {
        COleStreamFile file;
        CFileException error;
        if (!file.CreateStream(m_lpRootStg, "Contents", CFile::modeReadWrite | CFile::shareExclusive | CFile::modeCreate,
                               &error))
            AfxThrowFileException(error.m_cause, error.m_lOsError);
        try {
            CArchive ar(&file, CArchive::store | CArchive::bNoFlushOnDelete, kArchiveBuffer);
            ar.m_pDocument = this;
            if (pObject)
                pObject->Serialize(ar);
            else
                Serialize(ar);
            ar.Close();
            file.Close();
            HRESULT hr = m_lpRootStg->Commit(STGC_CONSOLIDATE);
            if (FAILED(hr))
                hr = m_lpRootStg->Commit(STGC_OVERWRITE);
            if (FAILED(hr))
                hr = m_lpRootStg->Commit(STGC_ONLYIFCURRENT);
            if (FAILED(hr))
                AfxThrowOleException(hr);
        } catch (...) {
            file.Abort();
            CommitItems(FALSE);
            throw;
        }
    });
}

BOOL CTarnDoc::OnOpenDocument(LPCSTR lpszPathName)
{
    m_bad = FALSE;
    m_lastReport.Empty();
    const BOOL hide = m_hideLoadException;
    CString why;
    if (lpszPathName && !CompoundFileStructureIsSound(lpszPathName, &why)) {
        CArchiveException error(CArchiveException::badSchema, lpszPathName);
        ReportSaveLoadException(lpszPathName, &error, FALSE, 0);
        m_bad = TRUE;
        return FALSE;
    }
    // The class library reports and swallows the load's exceptions; the flag tells whether one came.
    if (!COleDocument::OnOpenDocument(lpszPathName) || m_bad) {
        m_bad = TRUE;
        if (hide)
            DeleteContents();
        return FALSE;
    }
    if (m_lpRootStg) {
        STATSTG stat = {};
        if (SUCCEEDED(m_lpRootStg->Stat(&stat, STATFLAG_NONAME)))
            m_readOnly = (stat.grfMode & 3) == 0;
    }
    return TRUE;
}

BOOL CTarnDoc::OnSaveDocument(LPCSTR lpszPathName)
{
    if (!lpszPathName || !*lpszPathName)
        return FALSE;
    m_lastReport.Empty();
    // A new file in the target's folder takes the card; the target is replaced only at the end.
    char folder[MAX_PATH] = "";
    lstrcpynA(folder, lpszPathName, MAX_PATH);
    char* slash = strrchr(folder, '\\');
    char* forward = strrchr(folder, '/');
    if (forward && (!slash || forward > slash))
        slash = forward;
    if (slash)
        slash[1] = 0;
    else
        lstrcpyA(folder, ".\\");
    char temporary[MAX_PATH] = "";
    if (!GetTempFileNameA(folder, "crd", 0, temporary)) {
        CFileException error(CFileException::accessDenied, static_cast<LONG>(GetLastError()), lpszPathName);
        ReportSaveLoadException(lpszPathName, &error, TRUE, 0);
        return FALSE;
    }
    IStorage* target = nullptr;
    const std::vector<WCHAR> temporaryWide = WideText(temporary);
    HRESULT hr = StgCreateDocfile(temporaryWide.data(), STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_CREATE | STGM_TRANSACTED,
                                  0, &target);
    if (FAILED(hr)) {
        DeleteFileA(temporary);
        CFileException error(COleStreamFile::ScodeToFileCause(hr), hr, lpszPathName);
        ReportSaveLoadException(lpszPathName, &error, TRUE, 0);
        return FALSE;
    }

    IStorage* previous = m_lpRootStg;
    if (previous && !m_strPathName.IsEmpty() && m_strPathName.CompareNoCase(lpszPathName) == 0)
        CopySummarySets(previous, target);
    m_lpRootStg = target;
    try {
        SaveToStorage(nullptr);
    } catch (CException* e) {
        m_lpRootStg = previous;
        target->Release();
        DeleteFileA(temporary);
        ReportSaveLoadException(lpszPathName, e, TRUE, 0);
        e->Delete();
        return FALSE;
    }
    target->Release();
    m_lpRootStg = previous;

    // The old file may be held open by this document: let it go only now that the new one is
    // complete, and take it back when it can't be replaced.
    const bool heldTarget = previous && !m_strPathName.IsEmpty() && m_strPathName.CompareNoCase(lpszPathName) == 0;
    if (heldTarget)
        ReleaseRootStorage();
    if (!MoveFileExA(temporary, lpszPathName, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD code = GetLastError();
        DeleteFileA(temporary);
        if (heldTarget) {
            const std::vector<WCHAR> wide = WideText(lpszPathName);
            StgOpenStorage(wide.data(), nullptr, STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_TRANSACTED, nullptr, 0,
                           &m_lpRootStg);
        }
        CFileException error(CFileException::accessDenied, static_cast<LONG>(code), lpszPathName);
        ReportSaveLoadException(lpszPathName, &error, TRUE, 0);
        return FALSE;
    }
    if (m_bRemember) {
        ReleaseRootStorage();
        const std::vector<WCHAR> wide = WideText(lpszPathName);
        if (FAILED(StgOpenStorage(wide.data(), nullptr, STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_TRANSACTED, nullptr,
                                  0, &m_lpRootStg)))
            m_lpRootStg = nullptr;
    }
    SetModifiedFlag(FALSE);
    for (CTarnSite* site : m_sites)
        site->AfterSave();
    return TRUE;
}

int CTarnDoc::ShowMessage(const CString& text, UINT type) { return MessageBoxA(nullptr, text, nullptr, type); }

void CTarnDoc::ReportSaveLoadException(LPCSTR lpszPathName, CException* e, BOOL bSaving, UINT nIDPDefault)
{
    if (!bSaving)
        m_bad = TRUE;
    if (!bSaving && m_hideLoadException)
        return;
    if (e && e->IsKindOf(RUNTIME_CLASS(CUserException)))
        return;
    char text[512] = "";
    CString message;
    if (e && e->GetErrorMessage(text, sizeof text))
        message = text;
    if (message.IsEmpty()) {
        const UINT id = nIDPDefault ? nIDPDefault : kFailedToOpen;
        CString format;
        if (!format.LoadString(id))
            format = bSaving ? "The card %1 could not be saved." : "The card %1 could not be opened.";
        message.FormatMessage(static_cast<LPCSTR>(format), lpszPathName ? lpszPathName : "");
    }
    m_lastReport = message;
    ShowMessage(message, MB_OK | MB_ICONEXCLAMATION);
}

// How a site and its controls are written into the document and read back: the site's records
// around a count of control records, each record a class id followed by the control's own data.
#include <algorithm>

#include "ArchiveLimits.h"
#include "ClException.h"
#include "ClOleStreamFile.h"
#include "DocumentVersion.h"
#include "Persistent.h"
#include "SiteRecords.h"
#include "TarnBackground.h"
#include "TarnSite.h"
#include "UndoManager.h"

namespace {

// A control record holds at least its class id.
constexpr ULONG kMinControlRecord = sizeof(CLSID);

IStream* StreamOf(CArchive& ar)
{
    COleStreamFile* file = DYNAMIC_DOWNCAST(COleStreamFile, ar.GetFile());
    if (!file || !file->GetStream())
        AfxThrowArchiveException(CArchiveException::generic);
    return file->GetStream();
}

// Reads an object of the expected class (or a class derived from it) into target.
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

// Whether the archive's next bytes are a class tag (a new class, a class seen before, or the long
// form) rather than the first key of a record list, whose low word never has the top bit set.
bool NextIsClassTag(CArchive& ar)
{
    ar.Flush();
    CFile* file = ar.GetFile();
    WORD tag = 0;
    const UINT got = file->Read(&tag, sizeof tag);
    file->Seek(-static_cast<LONG>(got), CFile::current);
    return got == sizeof tag && (tag & 0x8000 || tag == 0x7FFF);
}

long StorableOf(IBaseControl* control)
{
    long storable = 0;
    return SUCCEEDED(control->get_Storable(&storable)) ? storable : 0;
}

// Takes the load back when a control's record can't be read: nothing after it can be found.
[[noreturn]] void ThrowUnreadableControl() { AfxThrowArchiveException(CArchiveException::badSchema); }

}  // namespace

void CTarnSite::Serialize(CArchive& ar)
{
    SerializeProperties(ar);
    if (ar.IsLoading() && GetLoadingDocumentVersion() == 1)
        SerializePageSetupData(ar);
    SerializeBackground(ar);
    SerializeStartData(ar);
    const int convert = !m_bIsTemplate;
    if (ar.IsStoring()) {
        // The count is what is really written: controls a derived site claims are left out.
        // The controls to store are chosen once: the derived site's hook sees each control once,
        // and the count is what is then written.
        IStream* stream = StreamOf(ar);
        ChooseControlsToStore(stream);
        ar << static_cast<DWORD>(m_serialization.size());
        ar.Flush();
        m_controlsChosen = true;
        SerializeControls(stream, -1, convert);
    } else {
        const DWORD count = ReadCheckedCount(ar, kMinControlRecord);
        ar.Flush();
        SerializeControls(StreamOf(ar), static_cast<long>(count), convert);
    }
    SerializeFinishData(ar);
}

void CTarnSite::SerializeProperties(CArchive& ar)
{
    if (ar.IsStoring()) {
        if (!m_properties)
            m_properties = CreateSiteProperties();
        WriteObjectWithClass(ar, m_properties);
    } else {
        ReadExpected(ar, m_properties);
    }
}

void CTarnSite::SerializePageSetupData(CArchive& ar)
{
    // Old documents kept a page setup here; pages hold it now, so it is read and dropped, and
    // never written. It is a plain record list; some writers put a class tag before it.
    if (ar.IsStoring())
        return;
    if (NextIsClassTag(ar)) {
        CPageSetupData* dropped = nullptr;
        ReadExpected(ar, dropped);
        delete dropped;
        return;
    }
    CPageSetupData dropped;
    dropped.Serialize(ar);
}

void CTarnSite::SerializeBackground(CArchive& ar)
{
    if (ar.IsStoring()) {
        if (!m_background) {
            m_background = CreateBackground();
            m_background->InitNew();
        }
        WriteObjectWithClass(ar, m_background);
    } else {
        m_undoManager->ClearUndoStack();
        m_undoManager->ClearRedoStack();
        ReadExpected(ar, m_background);
        m_background->SetMaster(this, 0);
    }
}

void CTarnSite::SerializeStartData(CArchive& ar)
{
    if (ar.IsStoring()) {
        if (!m_startData)
            m_startData = CreateStartData();
        WriteObjectWithClass(ar, m_startData);
    } else {
        ReadExpected(ar, m_startData);
    }
}

void CTarnSite::SerializeFinishData(CArchive& ar)
{
    if (ar.IsStoring()) {
        if (!m_finishData)
            m_finishData = CreateFinishData();
        WriteObjectWithClass(ar, m_finishData);
    } else {
        ReadExpected(ar, m_finishData);
    }
}

void CTarnSite::ClearSerializationArray()
{
    for (IBaseControl* control : m_serialization) {
        if (control)
            control->Release();
    }
    m_serialization.clear();
}

int CTarnSite::SpecialControlProcessing(IStream*, IBaseControl*, int) { return 0; }

void CTarnSite::ChooseControlsToStore(IStream* stream)
{
    ClearSerializationArray();
    for (const HeldControl& held : m_controls) {
        if (SpecialControlProcessing(stream, held.control, 1) || !StorableOf(held.control))
            continue;
        held.control->AddRef();
        m_serialization.push_back(held.control);
    }
}

long CTarnSite::SerializeControls(IStream* stream, long count, int convert)
{
    const bool chosen = m_controlsChosen;
    m_controlsChosen = false;
    IUnknown* serializer = reinterpret_cast<IUnknown*>(GetISerializer());
    if (count < 0) {
        if (!chosen)
            ChooseControlsToStore(stream);
        for (IBaseControl* control : m_serialization) {
            control->put_Serializer(serializer);
            SaveControlToStreamFile(stream, control);
            control->put_Serializer(nullptr);
        }
        const long written = static_cast<long>(m_serialization.size());
        ClearSerializationArray();
        return written;
    }

    ClearSerializationArray();
    try {
        for (long i = 0; i < count; ++i) {
            IBaseControl* control = LoadControlFromStreamFile(stream, convert);
            if (!control)
                ThrowUnreadableControl();
            if (SpecialControlProcessing(stream, control, 0)) {
                control->Release();
                continue;
            }
            control->put_Serializer(serializer);
            m_serialization.push_back(control);
        }
    } catch (...) {
        for (IBaseControl* control : m_serialization)
            control->put_Serializer(nullptr);
        ClearSerializationArray();
        throw;
    }
    std::vector<IBaseControl*> unused;
    AppendLoaded(unused, true);
    const long loaded = static_cast<long>(m_serialization.size());
    ClearSerializationArray();
    return loaded;
}

void CTarnSite::AppendLoaded(std::vector<IBaseControl*>& target, bool toSite)
{
    auto present = [&](IBaseControl* control) {
        return toSite ? GetControlPosition(control) >= 0
                      : std::find(target.begin(), target.end(), control) != target.end();
    };
    auto append = [&](IBaseControl* control) {
        if (toSite) {
            InsertControlWOUndo(control, -1);
        } else {
            control->AddRef();
            target.push_back(control);
        }
    };
    for (IBaseControl* control : m_serialization) {
        if (!control)
            continue;
        control->put_Serializer(nullptr);
        IBaseControl* buddy = nullptr;
        if (SUCCEEDED(control->GetNextBuddy(&buddy)) && buddy) {
            if (!present(buddy))
                append(buddy);
            buddy->Release();
        }
        if (!present(control))
            append(control);
    }
}

void CTarnSite::SaveControlToStreamFile(IStream* stream, IBaseControl* control)
{
    IPersistStream* persist = nullptr;
    if (!stream || !control ||
        FAILED(control->QueryInterface(IID_IPersistStream, reinterpret_cast<void**>(&persist))))
        return;
    OleSaveToStream(persist, stream);
    persist->Release();
}

IClassFactory* CTarnSite::FactoryFor(REFCLSID clsid)
{
    for (const CachedFactory& entry : m_factories) {
        if (IsEqualCLSID(entry.clsid, clsid))
            return entry.factory;
    }
    IClassFactory* factory = nullptr;
    if (FAILED(CoGetClassObject(clsid, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                                reinterpret_cast<void**>(&factory))) ||
        !factory)
        return nullptr;
    m_factories.push_back(CachedFactory{clsid, factory});
    return factory;
}

IBaseControl* CTarnSite::LoadControlFromStreamFile(IStream* stream, int)
{
    CLSID clsid = {};
    if (!stream || FAILED(ReadClassStm(stream, &clsid)))
        return nullptr;
    IClassFactory* factory = FactoryFor(clsid);
    if (!factory)
        return nullptr;
    IPersistStream* persist = nullptr;
    if (FAILED(factory->CreateInstance(nullptr, IID_IPersistStream, reinterpret_cast<void**>(&persist))) || !persist)
        return nullptr;
    IBaseControl* control = nullptr;
    if (SUCCEEDED(persist->Load(stream)))
        persist->QueryInterface(IID_IBaseControl, reinterpret_cast<void**>(&control));
    persist->Release();
    if (control)
        control->put_Owner(reinterpret_cast<IUnknown*>(GetIOwnerHooks()));
    return control;
}

void CTarnSite::SaveCtrlListToStreamFile(IStream* stream, const std::vector<IBaseControl*>& list)
{
    ClearSerializationArray();
    for (const HeldControl& held : m_controls) {
        if (std::find(list.begin(), list.end(), held.control) == list.end() || !StorableOf(held.control))
            continue;
        held.control->AddRef();
        m_serialization.push_back(held.control);
    }
    // The count written is the number of records that follow, whatever the list held besides.
    const DWORD count = static_cast<DWORD>(m_serialization.size());
    ULONG written = 0;
    if (FAILED(stream->Write(&count, sizeof count, &written)) || written != sizeof count) {
        ClearSerializationArray();
        AfxThrowFileException(CFileException::diskFull);
    }
    IUnknown* serializer = reinterpret_cast<IUnknown*>(GetISerializer());
    for (IBaseControl* control : m_serialization) {
        control->put_Serializer(serializer);
        SaveControlToStreamFile(stream, control);
        control->put_Serializer(nullptr);
    }
    ClearSerializationArray();
}

std::vector<IBaseControl*> CTarnSite::LoadCtrlListFromStreamFile(IStream* stream)
{
    DWORD count = 0;
    ULONG got = 0;
    if (FAILED(stream->Read(&count, sizeof count, &got)) || got != sizeof count)
        AfxThrowArchiveException(CArchiveException::endOfFile);
    STATSTG stat = {};
    LARGE_INTEGER zero = {};
    ULARGE_INTEGER position = {};
    if (SUCCEEDED(stream->Stat(&stat, STATFLAG_NONAME)) && SUCCEEDED(stream->Seek(zero, STREAM_SEEK_CUR, &position))) {
        const ULONGLONG left = stat.cbSize.QuadPart > position.QuadPart ? stat.cbSize.QuadPart - position.QuadPart : 0;
        if (count > left / kMinControlRecord)
            AfxThrowArchiveException(CArchiveException::badSchema);
    }
    ClearSerializationArray();
    IUnknown* serializer = reinterpret_cast<IUnknown*>(GetISerializer());
    try {
        for (DWORD i = 0; i < count; ++i) {
            IBaseControl* control = LoadControlFromStreamFile(stream, 0);
            if (!control)
                ThrowUnreadableControl();
            control->put_Serializer(serializer);
            m_serialization.push_back(control);
        }
    } catch (...) {
        for (IBaseControl* control : m_serialization)
            control->put_Serializer(nullptr);
        ClearSerializationArray();
        throw;
    }
    std::vector<IBaseControl*> list;
    AppendLoaded(list, false);
    ClearSerializationArray();
    return list;
}

CTarnSite& CTarnSite::operator=(const CTarnSite& other)
{
    if (&other == this)
        return *this;
    if (!m_properties)
        m_properties = CreateSiteProperties();
    if (other.m_properties)
        m_properties->Duplicate(other.m_properties);
    if (!m_startData)
        m_startData = CreateStartData();
    if (other.m_startData)
        m_startData->Duplicate(other.m_startData);
    if (other.m_background) {
        CObject* created = other.m_background->GetRuntimeClass()->CreateObject();
        CTarnBackground* background = dynamic_cast<CTarnBackground*>(created);
        if (!background) {
            delete created;
            AfxThrowNotSupportedException();
        }
        background->Duplicate(*other.m_background);
        background->SetMaster(this, other.m_background->GetParams() ? other.m_background->GetParams()->m_masterKind : 0);
        // Records of the old background would call an object that no longer exists.
        m_undoManager->ClearUndoStack();
        m_undoManager->ClearRedoStack();
        delete m_background;
        m_background = background;
    }

    IStream* memory = nullptr;
    if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &memory)))
        AfxThrowFileException(CFileException::generic);
    try {
        const long count = const_cast<CTarnSite&>(other).SerializeControls(memory, -1, 0);
        LARGE_INTEGER zero = {};
        memory->Seek(zero, STREAM_SEEK_SET, nullptr);
        DeleteAllControlsWOUndo();
        SerializeControls(memory, count, !m_bIsTemplate);
    } catch (...) {
        memory->Release();
        throw;
    }
    memory->Release();

    if (!m_finishData)
        m_finishData = CreateFinishData();
    if (other.m_finishData)
        m_finishData->Duplicate(other.m_finishData);
    return *this;
}

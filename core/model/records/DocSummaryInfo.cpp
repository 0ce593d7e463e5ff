#include "DocSummaryInfo.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "PropertySetCheck.h"

namespace {

constexpr ULONGLONG kTicksPerMinute = 60ull * 10000000ull;

ULONGLONG Ticks(const FILETIME& time)
{
    return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

FILETIME FromTicks(ULONGLONG ticks)
{
    FILETIME time;
    time.dwLowDateTime = static_cast<DWORD>(ticks);
    time.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    return time;
}

bool IsZero(const FILETIME& time)
{
    return time.dwLowDateTime == 0 && time.dwHighDateTime == 0;
}

CString LoggedOnUser()
{
    char name[256] = {};
    DWORD size = sizeof name;
    if (!GetUserNameA(name, &size))
        return CString();
    return CString(name);
}

// Values written in one call; strings stay alive in the caller's CStrings.
class PropertyBatch {
public:
    void Text(PROPID id, const CString& value)
    {
        PROPVARIANT v;
        PropVariantInit(&v);
        if (!value.IsEmpty()) {
            v.vt = VT_LPSTR;
            v.pszVal = const_cast<char*>(static_cast<LPCSTR>(value));
        }
        Add(id, v);
    }
    void Time(PROPID id, const FILETIME& value, bool emptyWhenZero)
    {
        PROPVARIANT v;
        PropVariantInit(&v);
        if (!(emptyWhenZero && IsZero(value))) {
            v.vt = VT_FILETIME;
            v.filetime = value;
        }
        Add(id, v);
    }
    void Int(PROPID id, int value, bool emptyWhenZero)
    {
        PROPVARIANT v;
        PropVariantInit(&v);
        if (!(emptyWhenZero && value == 0)) {
            v.vt = VT_I4;
            v.lVal = value;
        }
        Add(id, v);
    }
    void Empty(PROPID id)
    {
        PROPVARIANT v;
        PropVariantInit(&v);
        Add(id, v);
    }
    HRESULT WriteTo(IPropertyStorage* storage)
    {
        return storage->WriteMultiple(static_cast<ULONG>(m_keys.size()), m_keys.data(), m_values.data(), 2);
    }

private:
    void Add(PROPID id, const PROPVARIANT& value)
    {
        PROPSPEC key;
        key.ulKind = PRSPEC_PROPID;
        key.propid = id;
        m_keys.push_back(key);
        m_values.push_back(value);
    }
    std::vector<PROPSPEC> m_keys;
    std::vector<PROPVARIANT> m_values;
};

// Opens a set for writing, creating it when missing; created tells which happened.
IPropertyStorage* OpenForWriting(IPropertySetStorage* sets, REFFMTID fmtid, bool& created)
{
    IPropertyStorage* storage = nullptr;
    created = false;
    if (SUCCEEDED(sets->Open(fmtid, STGM_READWRITE | STGM_SHARE_EXCLUSIVE, &storage)))
        return storage;
    storage = nullptr;
    if (SUCCEEDED(sets->Create(fmtid, nullptr, PROPSETFLAG_ANSI, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE,
                               &storage))) {
        created = true;
        return storage;
    }
    return nullptr;
}

bool TakeText(const PROPVARIANT& v, CString& out, bool wideAllowed = true)
{
    if (v.vt == VT_LPSTR) {
        out = v.pszVal ? v.pszVal : "";
        return true;
    }
    if (v.vt == VT_LPWSTR && wideAllowed) {
        out = v.pwszVal ? CString(v.pwszVal) : CString();
        return true;
    }
    return false;
}

void TakeTime(const PROPVARIANT& v, FILETIME& out)
{
    if (v.vt == VT_FILETIME)
        out = v.filetime;
}

void TakeInt(const PROPVARIANT& v, int& out)
{
    if (v.vt == VT_I4)
        out = v.lVal;
}

}  // namespace

CDocSummaryInfo::CDocSummaryInfo() : m_strAuthor(LoggedOnUser())
{
    CoFileTimeNow(&m_Created);
    m_Opened = m_Created;
}

CDocSummaryInfo::~CDocSummaryInfo() = default;

FILETIME CDocSummaryInfo::CurrentTime() const
{
    FILETIME now = {};
    CoFileTimeNow(&now);
    return now;
}

ULONGLONG CDocSummaryInfo::EditingTimeNow() const
{
    const ULONGLONG now = Ticks(CurrentTime());
    const ULONGLONG opened = Ticks(m_Opened);
    // A clock set back while editing adds nothing rather than a huge negative span.
    const ULONGLONG session = now > opened ? now - opened : 0;
    return Ticks(m_EditTime) + session;
}

namespace {
const wchar_t kSummaryStream[] = L"\005SummaryInformation";
const wchar_t kDocSummaryStream[] = L"\005DocumentSummaryInformation";

// A damaged set is dropped so that the save writes a fresh one: the system's property-set code
// must never open it.
void DropDamagedSet(IStorage* storage, const wchar_t* name)
{
    if (CheckPropertySet(storage, name) != PropertySetState::damaged)
        return;
    if (IStorage* plain = PlainStorageOf(storage)) {
        plain->DestroyElement(name);
        plain->Release();
    }
}
}  // namespace

void CDocSummaryInfo::SaveToPropStg(IStorage* storage)
{
    if (!storage)
        return;
    DropDamagedSet(storage, kSummaryStream);
    DropDamagedSet(storage, kDocSummaryStream);
    IPropertySetStorage* sets = nullptr;
    if (FAILED(storage->QueryInterface(IID_IPropertySetStorage, reinterpret_cast<void**>(&sets))) || !sets)
        return;
    SaveSummaryInformation(sets);
    SaveDocSummaryInformation(sets);
    SaveUserDefinedProperties(sets);
    sets->Release();
}

void CDocSummaryInfo::LoadFromPropStg(IStorage* storage)
{
    if (!storage)
        return;
    IPropertySetStorage* sets = nullptr;
    if (FAILED(storage->QueryInterface(IID_IPropertySetStorage, reinterpret_cast<void**>(&sets))) || !sets)
        return;
    // A set that fails the structure check is left unread: the card opens without it.
    if (CheckPropertySet(storage, kSummaryStream) != PropertySetState::damaged)
        LoadSummaryInformation(sets);
    if (CheckPropertySet(storage, kDocSummaryStream) != PropertySetState::damaged) {
        LoadDocSummaryInformation(sets);
        LoadUserDefinedProperties(sets);
    }
    sets->Release();
}

void CDocSummaryInfo::SaveSummaryInformation(IPropertySetStorage* sets)
{
    const FILETIME now = CurrentTime();
    bool created = false;
    IPropertyStorage* storage = sets ? OpenForWriting(sets, FMTID_SummaryInformation, created) : nullptr;
    if (storage && !created) {
        if (m_strRevNumber.IsEmpty())
            m_strRevNumber = "1";
        else
            m_strRevNumber.Format("%d", std::atoi(m_strRevNumber) + 1);
    } else if (storage) {
        // The new set's own times; the document's dates stay what they are (it was never printed).
        storage->SetTimes(&now, &now, &now);
    }
    m_LastSaved = now;
    if (!storage)
        return;

    const CString user = LoggedOnUser();
    if (!user.IsEmpty())
        m_strLastAuthor = user;
    const ULONGLONG editing = EditingTimeNow();

    PropertyBatch batch;
    batch.Text(PIDSI_TITLE, m_strTitle);
    batch.Text(PIDSI_SUBJECT, m_strSubject);
    batch.Text(PIDSI_AUTHOR, m_strAuthor);
    batch.Text(PIDSI_KEYWORDS, m_strKeywords);
    batch.Text(PIDSI_COMMENTS, m_strComments);
    batch.Text(PIDSI_TEMPLATE, m_strTemplate);
    batch.Text(PIDSI_LASTAUTHOR, m_strLastAuthor);
    batch.Text(PIDSI_REVNUMBER, m_strRevNumber);
    if (editing < kTicksPerMinute)
        batch.Empty(PIDSI_EDITTIME);
    else
        batch.Time(PIDSI_EDITTIME, FromTicks(editing), false);
    batch.Time(PIDSI_LASTPRINTED, m_LastPrinted, true);
    batch.Time(PIDSI_CREATE_DTM, m_Created, false);
    batch.Time(PIDSI_LASTSAVE_DTM, m_LastSaved, false);
    batch.Int(PIDSI_PAGECOUNT, m_nPageCount, true);
    batch.Text(PIDSI_APPNAME, m_strAppName);
    batch.Int(PIDSI_DOC_SECURITY, m_nSecurity, false);
    batch.Text(kPidExtraText, m_strExtraText);
    batch.WriteTo(storage);
    storage->Commit(STGC_DEFAULT);
    storage->Release();
}

void CDocSummaryInfo::SaveDocSummaryInformation(IPropertySetStorage* sets)
{
    bool created = false;
    IPropertyStorage* storage = sets ? OpenForWriting(sets, FMTID_DocSummaryInformation, created) : nullptr;
    if (!storage)
        return;
    if (created) {
        const FILETIME now = CurrentTime();
        storage->SetTimes(&now, &now, &now);
    }
    PropertyBatch batch;
    batch.Text(PIDDSI_CATEGORY, m_strCategory);
    batch.Text(PIDDSI_MANAGER, m_strManager);
    batch.Text(PIDDSI_COMPANY, m_strCompany);
    batch.WriteTo(storage);
    storage->Commit(STGC_DEFAULT);
    storage->Release();
}

void CDocSummaryInfo::SaveUserDefinedProperties(IPropertySetStorage*) {}

void CDocSummaryInfo::LoadSummaryInformation(IPropertySetStorage* sets)
{
    IPropertyStorage* storage = nullptr;
    if (!sets || FAILED(sets->Open(FMTID_SummaryInformation, STGM_READ | STGM_SHARE_EXCLUSIVE, &storage)) || !storage)
        return;
    const PROPID ids[] = {PIDSI_TITLE,      PIDSI_SUBJECT,   PIDSI_AUTHOR,       PIDSI_KEYWORDS,
                          PIDSI_COMMENTS,   PIDSI_TEMPLATE,  PIDSI_LASTAUTHOR,   PIDSI_REVNUMBER,
                          PIDSI_EDITTIME,   PIDSI_LASTPRINTED, PIDSI_CREATE_DTM, PIDSI_LASTSAVE_DTM,
                          PIDSI_PAGECOUNT,  PIDSI_APPNAME,   PIDSI_DOC_SECURITY, kPidExtraText};
    constexpr ULONG count = sizeof ids / sizeof ids[0];
    PROPSPEC keys[count];
    PROPVARIANT values[count];
    for (ULONG i = 0; i < count; ++i) {
        keys[i].ulKind = PRSPEC_PROPID;
        keys[i].propid = ids[i];
        PropVariantInit(&values[i]);
    }
    if (SUCCEEDED(storage->ReadMultiple(count, keys, values))) {
        TakeText(values[0], m_strTitle);
        TakeText(values[1], m_strSubject);
        TakeText(values[2], m_strAuthor);
        TakeText(values[3], m_strKeywords);
        TakeText(values[4], m_strComments);
        TakeText(values[5], m_strTemplate);
        TakeText(values[6], m_strLastAuthor);
        TakeText(values[7], m_strRevNumber);
        TakeTime(values[8], m_EditTime);
        TakeTime(values[9], m_LastPrinted);
        TakeTime(values[10], m_Created);
        TakeTime(values[11], m_LastSaved);
        TakeInt(values[12], m_nPageCount);
        TakeText(values[13], m_strAppName);
        TakeInt(values[14], m_nSecurity);
        TakeText(values[15], m_strExtraText, false);
    }
    FreePropVariantArray(count, values);
    storage->Release();
}

void CDocSummaryInfo::LoadDocSummaryInformation(IPropertySetStorage* sets)
{
    IPropertyStorage* storage = nullptr;
    if (!sets || FAILED(sets->Open(FMTID_DocSummaryInformation, STGM_READ | STGM_SHARE_EXCLUSIVE, &storage)) ||
        !storage)
        return;
    PROPSPEC keys[3];
    PROPVARIANT values[3];
    const PROPID ids[3] = {PIDDSI_CATEGORY, PIDDSI_MANAGER, PIDDSI_COMPANY};
    for (int i = 0; i < 3; ++i) {
        keys[i].ulKind = PRSPEC_PROPID;
        keys[i].propid = ids[i];
        PropVariantInit(&values[i]);
    }
    if (SUCCEEDED(storage->ReadMultiple(3, keys, values))) {
        TakeText(values[0], m_strCategory);
        TakeText(values[1], m_strManager);
        TakeText(values[2], m_strCompany);
    }
    FreePropVariantArray(3, values);
    storage->Release();
}

void CDocSummaryInfo::LoadUserDefinedProperties(IPropertySetStorage*) {}

void CDocSummaryInfo::CopyFrom(const CDocSummaryInfo& source)
{
    if (&source == this)
        return;
    m_strTitle = source.m_strTitle;
    m_strSubject = source.m_strSubject;
    m_strAuthor = source.m_strAuthor;
    m_strKeywords = source.m_strKeywords;
    m_strComments = source.m_strComments;
    m_strTemplate = source.m_strTemplate;
    m_strLastAuthor = source.m_strLastAuthor;
    m_EditTime = source.m_EditTime;
    m_Created = source.m_Created;
    m_nPageCount = source.m_nPageCount;
    m_strAppName = source.m_strAppName;
    m_nSecurity = source.m_nSecurity;
    m_strCategory = source.m_strCategory;
    m_strManager = source.m_strManager;
    m_strCompany = source.m_strCompany;
    m_strExtraText = source.m_strExtraText;
}

#include "Persistent.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "ClArchive.h"
#include "ClException.h"
#include "ClOleStreamFile.h"
#include "Registry.h"
#include "TarnPropertyBag.h"

IMPLEMENT_DYNCREATE(CPersistent, CObject)

namespace {

constexpr UINT kNestedArchiveBuffer = 4096;

[[noreturn]] void ThrowBadSchema() { AfxThrowArchiveException(CArchiveException::badSchema); }

// Records go straight onto the stream under the archive's file.
IStream* StreamOf(CArchive& ar)
{
    COleStreamFile* file = DYNAMIC_DOWNCAST(COleStreamFile, ar.GetFile());
    if (!file || !file->GetStream())
        AfxThrowArchiveException(CArchiveException::generic);
    return file->GetStream();
}

// Reads the record list of one object, never asking for more bytes than the stream still holds.
// A stream that cannot tell its size is read in slices, so that memory grows only with the bytes
// actually there.
class RecordReader {
public:
    explicit RecordReader(IStream* stream) : m_stream(stream)
    {
        STATSTG stat = {};
        LARGE_INTEGER zero = {};
        ULARGE_INTEGER position = {};
        if (SUCCEEDED(stream->Stat(&stat, STATFLAG_NONAME)) &&
            SUCCEEDED(stream->Seek(zero, STREAM_SEEK_CUR, &position))) {
            m_sizeKnown = true;
            m_remaining = stat.cbSize.QuadPart >= position.QuadPart ? stat.cbSize.QuadPart - position.QuadPart : 0;
        }
    }

    DWORD ReadDword()
    {
        DWORD value = 0;
        ReadExact(&value, sizeof value);
        return value;
    }

    // A block of the given size followed by extraZeroBytes zeros, or badSchema when the stream
    // does not hold that many bytes.
    unsigned char* ReadBlock(DWORD size, DWORD extraZeroBytes)
    {
        if (m_sizeKnown) {
            if (size > m_remaining)
                ThrowBadSchema();
            std::unique_ptr<unsigned char[]> block(new unsigned char[size + extraZeroBytes]());
            ReadExact(block.get(), size);
            return block.release();
        }
        std::vector<unsigned char> bytes;
        while (bytes.size() < size) {
            const size_t slice = std::min<size_t>(size - bytes.size(), kUnknownSizeSlice);
            const size_t at = bytes.size();
            bytes.resize(at + slice);
            ReadExact(bytes.data() + at, static_cast<DWORD>(slice));
        }
        std::unique_ptr<unsigned char[]> block(new unsigned char[size + extraZeroBytes]());
        if (size)
            std::memcpy(block.get(), bytes.data(), size);
        return block.release();
    }

private:
    static constexpr size_t kUnknownSizeSlice = 64 * 1024;

    void ReadExact(void* buffer, DWORD size)
    {
        if (m_sizeKnown && size > m_remaining)
            ThrowBadSchema();
        ULONG got = 0;
        if (FAILED(m_stream->Read(buffer, size, &got)) || got != size)
            ThrowBadSchema();
        if (m_sizeKnown)
            m_remaining -= size;
    }

    IStream* m_stream;
    bool m_sizeKnown = false;
    ULONGLONG m_remaining = 0;
};

void LoadRecords(IStream* stream, CTarnPropertyBag& bag)
{
    RecordReader reader(stream);
    for (;;) {
        const DWORD key = reader.ReadDword();
        if (key == 0)
            break;
        long id = kNoPropertyId;
        std::unique_ptr<char[]> name;
        if (key & kPropertyIdBit) {
            id = static_cast<long>(key);
        } else {
            name.reset(reinterpret_cast<char*>(reader.ReadBlock(key, 1)));
        }
        const DWORD size = reader.ReadDword();
        std::unique_ptr<unsigned char[]> data(reader.ReadBlock(size, 0));
        bag.AddProperty(name.release(), id, data.release(), size);
    }
}

// Runs the writes and closes the archive; after a failure the archive is abandoned without a
// final flush, so that nothing is thrown while the failure unwinds.
template <class Writes>
void StoreClosing(CArchive& ar, Writes writes)
{
    try {
        writes();
    } catch (...) {
        ar.Abort();
        throw;
    }
    ar.Close();
}

// A memory stream with a stream file and an archive over it, for objects nested in one record.
struct MemoryArchive {
    IStream* stream = nullptr;
    COleStreamFile file;

    MemoryArchive()
    {
        if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &stream)))
            AfxThrowMemoryException();
        stream->AddRef();
        file.Attach(stream);
    }
    ~MemoryArchive()
    {
        file.Abort();
        if (stream)
            stream->Release();
    }
    MemoryArchive(const MemoryArchive&) = delete;
    MemoryArchive& operator=(const MemoryArchive&) = delete;

    // The bytes actually written, whatever the size of the memory block behind them.
    HRESULT WriteAsRecord(IStream* outer, const char* name, long id)
    {
        STATSTG stat = {};
        HRESULT hr = stream->Stat(&stat, STATFLAG_NONAME);
        if (FAILED(hr))
            return hr;
        HGLOBAL block = nullptr;
        hr = GetHGlobalFromStream(stream, &block);
        if (FAILED(hr))
            return hr;
        const ULONG size = static_cast<ULONG>(stat.cbSize.QuadPart);
        const void* data = size ? GlobalLock(block) : nullptr;
        if (size && !data)
            return E_OUTOFMEMORY;
        hr = id != 0 ? __SaveProp(outer, id, data, size) : __SaveProp(outer, name, data, size, false);
        if (size)
            GlobalUnlock(block);
        return hr;
    }
};

// A loading stream over a zero-filled copy of one record's data.
struct RecordDataArchive {
    HGLOBAL block = nullptr;
    IStream* stream = nullptr;
    COleStreamFile file;

    RecordDataArchive(const BYTE* data, ULONG size)
    {
        block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size ? size : 1);
        void* target = block && size ? GlobalLock(block) : nullptr;
        if (!block || (size && !target) || FAILED(CreateStreamOnHGlobal(block, FALSE, &stream))) {
            if (target)
                GlobalUnlock(block);
            if (block)
                GlobalFree(block);
            AfxThrowMemoryException();
        }
        if (size) {
            std::memcpy(target, data, size);
            GlobalUnlock(block);
        }
        // The stream's size is the record's size, not the (possibly larger) block's.
        ULARGE_INTEGER length;
        length.QuadPart = size;
        stream->SetSize(length);
        stream->AddRef();
        file.Attach(stream);
    }
    ~RecordDataArchive()
    {
        file.Abort();
        if (stream)
            stream->Release();
        if (block)
            GlobalFree(block);
    }
    RecordDataArchive(const RecordDataArchive&) = delete;
    RecordDataArchive& operator=(const RecordDataArchive&) = delete;
};

}  // namespace

CPersistent::CPersistent() = default;

CPersistent::~CPersistent() { delete m_unread; }

void CPersistent::Serialize(CArchive& ar)
{
    ar.Flush();
    IStream* stream = StreamOf(ar);
    if (ar.IsStoring()) {
        OnPropSave(stream);
        const DWORD terminator = 0;
        ULONG written = 0;
        if (FAILED(stream->Write(&terminator, sizeof terminator, &written)) || written != sizeof terminator)
            AfxThrowArchiveException(CArchiveException::generic);
        return;
    }
    CTarnPropertyBag bag;
    LoadRecords(stream, bag);
    if (OnPropLoad(&bag) != S_OK)
        ThrowBadSchema();
}

void CPersistent::InitNew() {}

BOOL CPersistent::Load(CRegistry*) { return TRUE; }

BOOL CPersistent::Store(CRegistry*) { return TRUE; }

bool CPersistent::Equal(const CPersistent&) const { return true; }

void CPersistent::Duplicate(const CPersistent*) {}

void CPersistent::MovePropertyToUnread(CTarnPropertyBag* bag, char* name)
{
    if (!m_unread)
        m_unread = new CTarnPropertyBag;
    const void* data = nullptr;
    ULONG size = 0;
    if (!bag || !name || !bag->FindProperty(name, data, size))
        return;
    const size_t length = std::strlen(name);
    std::unique_ptr<char[]> nameCopy(new char[length + 1]);
    std::memcpy(nameCopy.get(), name, length + 1);
    std::unique_ptr<unsigned char[]> dataCopy(new unsigned char[size ? size : 1]);
    if (size)
        std::memcpy(dataCopy.get(), data, size);
    m_unread->AddProperty(nameCopy.release(), kNoPropertyId, dataCopy.release(), size);
}

HRESULT CPersistent::OnPropSave(IStream*) { return S_OK; }

HRESULT CPersistent::OnPropLoad(CTarnPropertyBag*) { return S_OK; }

HRESULT CPersistent::SavePersist(IStream* stream, const char* name, long id, CObject* object)
{
    if (!stream || !object)
        return E_POINTER;
    try {
        MemoryArchive memory;
        {
            CArchive ar(&memory.file, CArchive::store, kNestedArchiveBuffer);
            StoreClosing(ar, [&] { object->Serialize(ar); });
        }
        return memory.WriteAsRecord(stream, name, id);
    } catch (CException* e) {
        e->Delete();
        return E_FAIL;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT CPersistent::SavePersist(IStream* stream, long id, CObject* object)
{
    return SavePersist(stream, nullptr, id, object);
}

HRESULT CPersistent::SavePersist(IStream* stream, const char* name, CObject* object)
{
    return SavePersist(stream, name, 0, object);
}

HRESULT CPersistent::LoadPersist(BYTE* data, ULONG size, CObject* object)
{
    if ((!data && size) || !object)
        return E_POINTER;
    try {
        RecordDataArchive source(data, size);
        CArchive ar(&source.file, CArchive::load, kNestedArchiveBuffer);
        object->Serialize(ar);
        ar.Close();
    } catch (CException* e) {
        e->Delete();
        return E_FAIL;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

HRESULT CPersistent::SavePersistArray(IStream* stream, CString name, CPersistentArray& array)
{
    if (!stream)
        return E_POINTER;
    try {
        MemoryArchive memory;
        const DWORD count = static_cast<DWORD>(array.GetSize());
        memory.file.Write(&count, sizeof count);
        {
            CArchive ar(&memory.file, CArchive::store, kNestedArchiveBuffer);
            StoreClosing(ar, [&] {
                for (int i = 0; i < array.GetSize(); ++i)
                    array[i]->Serialize(ar);
            });
        }
        return memory.WriteAsRecord(stream, name, 0);
    } catch (CException* e) {
        e->Delete();
        return E_FAIL;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT CPersistent::LoadPersistArray(BYTE* data, ULONG size, CPersistentArray& array, PersistentCreator creator)
{
    if ((!data && size) || !creator)
        return E_POINTER;
    try {
        RecordDataArchive source(data, size);
        DWORD count = 0;
        if (source.file.Read(&count, sizeof count) != sizeof count)
            return E_FAIL;
        // Every element takes at least its four-byte terminator.
        if (count > (size - sizeof count) / 4)
            return E_FAIL;
        CArchive ar(&source.file, CArchive::load, kNestedArchiveBuffer);
        for (DWORD i = 0; i < count; ++i) {
            std::unique_ptr<CPersistent> element((this->*creator)());
            if (!element)
                return E_FAIL;
            element->Serialize(ar);
            array.Add(element.release());
        }
        ar.Close();
    } catch (CException* e) {
        e->Delete();
        return E_FAIL;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

namespace {

CString ElementKeyName(const CString& name, int index)
{
    CString key;
    key.Format("%s%.4x", static_cast<LPCSTR>(name), index);
    return key;
}

}  // namespace

BOOL CPersistent::StoreSubkeys(CRegistry* registry, CPersistentArray& array, CString name, bool container)
{
    if (!registry)
        return FALSE;
    if (container) {
        const CString containerName = name + "s";
        registry->DeleteKey(containerName);
        if (!registry->CreateKey(containerName))
            return FALSE;
    }
    for (int i = 0; i < array.GetSize(); ++i) {
        if (registry->CreateKey(ElementKeyName(name, i))) {
            array[i]->Store(registry);
            registry->Close();
        }
    }
    if (container)
        registry->Close();
    return TRUE;
}

BOOL CPersistent::LoadSubkeys(CRegistry* registry, CPersistentArray& array, CString name, PersistentCreator creator,
                              bool container)
{
    if (!registry || !creator)
        return FALSE;
    if (container && !registry->Open(name + "s"))
        return FALSE;
    const int prefixLength = name.GetLength();
    const unsigned long count = registry->GetSubKeysCount();
    for (unsigned long i = 0; i < count; ++i) {
        const CString key = registry->EnumKey(i);
        if (key.GetLength() < prefixLength || key.Left(prefixLength).CompareNoCase(name) != 0)
            continue;
        if (!registry->Open(key))
            continue;
        std::unique_ptr<CPersistent> element((this->*creator)());
        if (element && element->Load(registry))
            array.Add(element.release());
        registry->Close();
    }
    if (container)
        registry->Close();
    return TRUE;
}

void WriteObjectWithClass(CArchive& ar, CObject* object)
{
    // The object takes its index after its class's, as the archive numbers any object it writes,
    // so that readers of the archive count the same way.
    ar.WriteClass(object->GetRuntimeClass());
    ar.MapObject(object);
    object->Serialize(ar);
}

void ReadObjectWithClass(CArchive& ar, CObject*& object)
{
    object = nullptr;
    UINT schema = 0;
    CRuntimeClass* runtimeClass = ar.ReadClass(nullptr, &schema);
    if (!runtimeClass)
        AfxThrowArchiveException(CArchiveException::badClass);
    CObject* created = runtimeClass->CreateObject();
    if (!created)
        AfxThrowArchiveException(CArchiveException::badClass);
    ar.SetObjectSchema(schema);
    ar.MapObject(created);
    try {
        created->Serialize(ar);
    } catch (CException*) {
        delete created;
        throw;
    }
    object = created;
}

void DuplicatePersistent(CPersistent*& target, const CPersistent* source)
{
    delete target;
    target = nullptr;
    if (!source)
        return;
    CObject* created = source->GetRuntimeClass()->CreateObject();
    CPersistent* copy = DYNAMIC_DOWNCAST(CPersistent, created);
    if (!copy) {
        delete created;
        return;
    }
    copy->Duplicate(source);
    target = copy;
}

#include "SoundStore.h"

#include <cstring>
#include <memory>

#include "SoundItem.h"
#include "SoundSourceList.h"

namespace {

const WCHAR kSoundsStream[] = L"Sounds";
constexpr ULONG kReadChunk = 64 * 1024;

// The whole stream from its current position. The stream's own size (the unpacked content
// already held by a compressed stream, or the stored length) sizes the buffer; more bytes than
// that are taken in chunks as they come, never on a stream's word alone.
bool ReadWhole(IStream* stream, std::vector<uint8_t>& bytes)
{
    bytes.clear();
    STATSTG stat = {};
    if (SUCCEEDED(stream->Stat(&stat, STATFLAG_NONAME)) && stat.cbSize.QuadPart < soundsformat::kSharedData) {
        bytes.resize(static_cast<size_t>(stat.cbSize.QuadPart));
        size_t done = 0;
        while (done < bytes.size()) {
            const size_t left = bytes.size() - done;
            ULONG read = 0;
            const HRESULT hr = stream->Read(bytes.data() + done, left > kReadChunk ? kReadChunk : static_cast<ULONG>(left), &read);
            if (FAILED(hr))
                return false;
            if (read == 0)
                break;
            done += read;
        }
        bytes.resize(done);
    }
    uint8_t chunk[4096];
    for (;;) {
        ULONG read = 0;
        const HRESULT hr = stream->Read(chunk, sizeof chunk, &read);
        if (FAILED(hr))
            return false;
        if (read == 0)
            return true;
        if (bytes.size() + read >= soundsformat::kSharedData)
            return false;
        bytes.insert(bytes.end(), chunk, chunk + read);
    }
}

}  // namespace

CSoundStore::CSoundStore() = default;

CSoundStore::~CSoundStore()
{
    for (CSoundSourceList* list : m_lists)
        delete list;
}

bool CSoundStore::HasItems() const
{
    for (const CSoundSourceList* list : m_lists) {
        if (list->GetCount() > 0)
            return true;
    }
    return false;
}

HRESULT CSoundStore::Save(IStorage* storage)
{
    if (!storage || !HasItems())
        return S_OK;
    soundsformat::Writer out;
    m_shared.clear();
    m_writing = &out;
    out.U32(static_cast<uint32_t>(m_lists.size()));
    for (CSoundSourceList* list : m_lists)
        list->Save(out);
    m_writing = nullptr;
    m_shared.clear();

    IStream* stream = nullptr;
    HRESULT hr = storage->CreateStream(kSoundsStream, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, 0, &stream);
    if (FAILED(hr) || !stream)
        return FAILED(hr) ? hr : E_FAIL;
    const std::vector<uint8_t>& bytes = out.Content();
    ULONG written = 0;
    hr = stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written);
    if (SUCCEEDED(hr) && written != bytes.size())
        hr = STG_E_MEDIUMFULL;
    stream->Release();
    return hr;
}

HRESULT CSoundStore::OpenForReading(IStorage* storage, IStream** stream)
{
    return storage->OpenStream(kSoundsStream, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, stream);
}

SoundLoadResult CSoundStore::Load(IStorage* storage)
{
    IStream* stream = nullptr;
    if (!storage || FAILED(OpenForReading(storage, &stream)) || !stream)
        return SoundLoadResult::kNoSounds;
    // Read whole and let go at once: the store never keeps the card's file open.
    std::vector<uint8_t> bytes;
    const bool read = ReadWhole(stream, bytes);
    stream->Release();
    if (!read)
        return SoundLoadResult::kDamaged;
    return LoadContent(bytes.data(), bytes.size());
}

namespace {

// Builds the lists of a stream already known to be whole.
class CListBuilder : public soundsformat::Sink
{
public:
    CListBuilder(CSoundStore& store, std::vector<CSoundSourceList*>& lists, const uint8_t* stream)
        : m_store(store), m_lists(lists), m_stream(stream)
    {
    }
    ~CListBuilder() { Finish(); }

    void Lists(uint32_t count) override { m_lists.reserve(m_lists.size() + count); }
    void List(const soundsformat::ListHeader& header, uint32_t itemCount) override
    {
        Finish();
        m_current = std::make_unique<CSoundSourceList>(kUnknownSourceType);
        m_current->Load(header, itemCount);
    }
    void Item(const soundsformat::ItemRecord& item) override { m_current->LoadItem(item, m_stream); }

private:
    void Finish()
    {
        if (!m_current)
            return;
        const int32_t site = m_current->GetSiteId();
        m_store.AddList(m_current.release(), site);
    }

    CSoundStore& m_store;
    std::vector<CSoundSourceList*>& m_lists;
    const uint8_t* m_stream;
    std::unique_ptr<CSoundSourceList> m_current;
};

}  // namespace

SoundLoadResult CSoundStore::LoadContent(const uint8_t* data, size_t size)
{
    // Checked whole first: a damaged stream makes no list and no temporary file.
    if (!soundsformat::Parse(data, size, nullptr))
        return SoundLoadResult::kDamaged;
    CListBuilder builder(*this, m_lists, data);
    soundsformat::Parse(data, size, &builder);
    return SoundLoadResult::kLoaded;
}

int32_t CSoundStore::FindSharedData(const uint32_t sums[4], const std::vector<uint8_t>& data) const
{
    for (const SharedData& shared : m_shared) {
        if (std::memcmp(shared.sums, sums, sizeof shared.sums) != 0)
            continue;
        // Equal sums only point at candidates: the stored bytes must be the same.
        if (!m_writing)
            continue;
        const std::vector<uint8_t>& written = m_writing->Content();
        const size_t at = static_cast<size_t>(shared.offset);
        if (at + 4 > written.size())
            continue;
        const uint32_t length = written[at] | (written[at + 1] << 8) | (written[at + 2] << 16) |
                                (static_cast<uint32_t>(written[at + 3]) << 24);
        if (length == data.size() && at + 4 + length <= written.size() &&
            (length == 0 || std::memcmp(written.data() + at + 4, data.data(), length) == 0))
            return shared.offset;
    }
    return -1;
}

void CSoundStore::AddSharedData(const uint32_t sums[4], int32_t offset)
{
    SharedData shared;
    std::memcpy(shared.sums, sums, sizeof shared.sums);
    shared.offset = offset;
    m_shared.push_back(shared);
}

int CSoundStore::AddList(CSoundSourceList* list, int32_t siteId)
{
    list->SetOwner(this);
    list->SetSiteId(siteId);
    m_lists.push_back(list);
    return GetCount() - 1;
}

int CSoundStore::GetCount() const { return static_cast<int>(m_lists.size()); }

CSoundSourceList* CSoundStore::GetAt(int index) const { return m_lists[static_cast<size_t>(index)]; }

CSoundSourceList* CSoundStore::FindList(int32_t siteId, SourceType type) const
{
    for (CSoundSourceList* list : m_lists) {
        if (list->GetSiteId() == siteId && list->GetSourceType() == type)
            return list;
    }
    return nullptr;
}

CSoundSourceList* CSoundStore::GetList(int32_t siteId, SourceType type)
{
    if (CSoundSourceList* found = FindList(siteId, type))
        return found;
    auto list = std::make_unique<CSoundSourceList>(type);
    AddList(list.get(), siteId);
    return list.release();
}

bool CSoundStore::IsEmpty() const { return m_lists.empty(); }

int CSoundStore::CopyFrom(const CSoundStore& other)
{
    int skipped = 0;
    for (const CSoundSourceList* source : other.m_lists) {
        auto copy = std::make_unique<CSoundSourceList>(source->GetSourceType());
        skipped += copy->CopyFrom(*source);
        const int32_t site = copy->GetSiteId();
        AddList(copy.release(), site);
    }
    return skipped;
}

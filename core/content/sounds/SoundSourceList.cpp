#include "SoundSourceList.h"

#include <memory>

#include "SoundItem.h"
#include "SoundStore.h"

CSoundSourceList::CSoundSourceList(SourceType type) : m_sourceType(type) {}

CSoundSourceList::~CSoundSourceList() { RemoveAll(); }

void CSoundSourceList::RemoveAll()
{
    if (m_player) {
        ISoundListPlayer* player = m_player;
        m_player = nullptr;
        player->SetList(nullptr);
    }
    for (CSoundItem* item : m_items)
        delete item;
    m_items.clear();
}

int CSoundSourceList::CopyFrom(const CSoundSourceList& other)
{
    m_sourceType = other.m_sourceType;
    m_repeatForever = other.m_repeatForever;
    m_loopCount = other.m_loopCount;
    m_siteId = other.m_siteId;
    int skipped = 0;
    for (const CSoundItem* source : other.m_items) {
        auto copy = std::make_unique<CSoundItem>();
        if (copy->CopyFrom(*source))
            m_items.push_back(copy.release());
        else
            ++skipped;
    }
    return skipped;
}

void CSoundSourceList::Load(const soundsformat::ListHeader& header, uint32_t itemCount)
{
    RemoveAll();
    if (header.hasHeader) {
        m_repeatForever = header.repeatForever;
        m_loopCount = header.loopCount;
        m_sourceType = static_cast<SourceType>(header.sourceType);
        m_siteId = header.siteId;
    }
    // The count was checked against the stream before anything is loaded.
    m_items.reserve(itemCount);
}

void CSoundSourceList::LoadItem(const soundsformat::ItemRecord& record, const uint8_t* stream)
{
    auto item = std::make_unique<CSoundItem>();
    item->Load(record, stream);
    m_items.push_back(item.release());
}

void CSoundSourceList::Save(soundsformat::Writer& out)
{
    out.U32(1);
    out.U32(m_repeatForever);
    out.U32(m_loopCount);
    out.U32(static_cast<uint32_t>(m_sourceType));
    out.U32(static_cast<uint32_t>(m_siteId));
    out.U32(static_cast<uint32_t>(m_items.size()));
    for (CSoundItem* item : m_items) {
        item->ComputeDataSums();
        const int32_t shared = m_owner ? m_owner->FindSharedData(item->GetDataSums(), item->GetData()) : -1;
        item->Save(out, shared);
        if (shared == -1 && m_owner)
            m_owner->AddSharedData(item->GetDataSums(), item->GetDataPosition());
    }
}

void CSoundSourceList::InsertAfter(CSoundItem* item, int index)
{
    if (!item)
        return;
    size_t at = index < 0 ? 0 : static_cast<size_t>(index) + 1;
    if (at > m_items.size())
        at = m_items.size();
    m_items.insert(m_items.begin() + static_cast<std::ptrdiff_t>(at), item);
}

CSoundItem* CSoundSourceList::RemoveAt(int index)
{
    if (index < 0 || index >= GetCount())
        return nullptr;
    CSoundItem* item = m_items[static_cast<size_t>(index)];
    m_items.erase(m_items.begin() + index);
    return item;
}

#pragma once
// One playlist of a site: wave or MIDI sounds in play order, with the list's own repetition.
#include <cstdint>
#include <vector>

#include "SoundTypes.h"
#include "SoundsStreamFormat.h"

class CSoundItem;
class CSoundSourceList;
class CSoundStore;

// What plays a list; the list lets it go (SetList with null) before its items go.
class ISoundListPlayer
{
public:
    virtual CSoundSourceList* SetList(CSoundSourceList* list) = 0;

protected:
    ~ISoundListPlayer() = default;
};

class CSoundSourceList
{
public:
    explicit CSoundSourceList(SourceType type);
    virtual ~CSoundSourceList();
    CSoundSourceList(const CSoundSourceList&) = delete;
    CSoundSourceList& operator=(const CSoundSourceList&) = delete;

    // Copies the other's settings and appends a copy of each of its items. Items that cannot be
    // copied are skipped; the answer is how many were.
    virtual int CopyFrom(const CSoundSourceList& other);
    // Takes a stored list header, replacing the items; LoadItem then appends the stored items.
    virtual void Load(const soundsformat::ListHeader& header, uint32_t itemCount);
    // Appends an item made from a stored record whose data lies in stream.
    void LoadItem(const soundsformat::ItemRecord& record, const uint8_t* stream);
    virtual void Save(soundsformat::Writer& out);
    // Inserts at index + 1 (-1: at the front); the list owns the item from then on.
    virtual void InsertAfter(CSoundItem* item, int index);
    // Takes the item out without deleting it; null for an index outside the list.
    virtual CSoundItem* RemoveAt(int index);

    // Lets the player go, then deletes every item with its temporary file.
    void RemoveAll();

    int GetCount() const { return static_cast<int>(m_items.size()); }
    CSoundItem* GetAt(int index) const { return m_items[static_cast<size_t>(index)]; }

    SourceType GetSourceType() const { return m_sourceType; }
    int32_t GetSiteId() const { return m_siteId; }
    void SetSiteId(int32_t id) { m_siteId = id; }
    CSoundStore* GetOwner() const { return m_owner; }
    void SetOwner(CSoundStore* owner) { m_owner = owner; }
    ISoundListPlayer* GetPlayer() const { return m_player; }
    void SetPlayer(ISoundListPlayer* player) { m_player = player; }

    uint32_t m_repeatForever = 0;
    uint32_t m_loopCount = 1;

private:
    SourceType m_sourceType;
    int32_t m_siteId = 0;
    ISoundListPlayer* m_player = nullptr;
    CSoundStore* m_owner = nullptr;
    std::vector<CSoundItem*> m_items;
};

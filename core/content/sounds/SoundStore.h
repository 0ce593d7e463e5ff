#pragma once
// A card's sound lists, for every site one wave and one MIDI list, kept in the card's "Sounds"
// stream. Equal sound data is stored once and referred to by the offset of its length field.
#include <windows.h>
#include <objidl.h>

#include <cstdint>
#include <vector>

#include "SoundTypes.h"
#include "SoundsStreamFormat.h"

class CSoundSourceList;

class CSoundStore
{
public:
    CSoundStore();
    virtual ~CSoundStore();
    CSoundStore(const CSoundStore&) = delete;
    CSoundStore& operator=(const CSoundStore&) = delete;

    // Writes the stream "Sounds" into the storage; none is made when no list holds an item.
    // S_OK or the storage's error.
    virtual HRESULT Save(IStorage* storage);
    // Reads the stream and appends its lists. A stream that cannot be read whole adds nothing.
    virtual SoundLoadResult Load(IStorage* storage);
    // While saving: the offset of stored data equal to these bytes, or -1.
    virtual int32_t FindSharedData(const uint32_t sums[4], const std::vector<uint8_t>& data) const;
    virtual void AddSharedData(const uint32_t sums[4], int32_t offset);
    // Takes the list; returns its index.
    virtual int AddList(CSoundSourceList* list, int32_t siteId);
    virtual int GetCount() const;
    virtual CSoundSourceList* GetAt(int index) const;
    // The site's list of that kind, made empty on first use.
    virtual CSoundSourceList* GetList(int32_t siteId, SourceType type);
    virtual bool IsEmpty() const;
    // Appends a copy of every list of the other store; returns how many items could not be copied.
    virtual int CopyFrom(const CSoundStore& other);

    // The site's list of that kind, or null; never makes one.
    CSoundSourceList* FindList(int32_t siteId, SourceType type) const;
    // Whether some list holds an item.
    bool HasItems() const;
    // Reads the content of a "Sounds" stream held in memory.
    SoundLoadResult LoadContent(const uint8_t* data, size_t size);

protected:
    // Opens the stream "Sounds" for reading; the viewer reads it through its own reader.
    virtual HRESULT OpenForReading(IStorage* storage, IStream** stream);

private:
    struct SharedData {
        uint32_t sums[4];
        int32_t offset;
    };

    std::vector<CSoundSourceList*> m_lists;
    std::vector<SharedData> m_shared;
    // The stream being written, for comparing data with what is already stored.
    const soundsformat::Writer* m_writing = nullptr;
};

#pragma once
// One sound of a list: a named sound with its timing in the playlist. While a card is open its
// bytes live in a temporary file of the item's own, which the item deletes when it gets a new one
// or is destroyed.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "SoundsStreamFormat.h"

class CSoundItem
{
public:
    static constexpr size_t kPathCapacity = 256;

    CSoundItem();
    virtual ~CSoundItem();
    CSoundItem(const CSoundItem&) = delete;
    CSoundItem& operator=(const CSoundItem&) = delete;

    // An independent copy of the other item with a file of its own; false (and no name) when the
    // other has no name, false when its file could not be copied.
    virtual bool CopyFrom(const CSoundItem& other);
    // Takes a copy of the file and measures its length; false when the file cannot be read or
    // copied. Name and extension are the caller's to set.
    virtual bool LoadFromFile(const char* path, HWND parent = nullptr);
    // Copies the temporary file's path (empty without one) into a buffer of kPathCapacity.
    virtual int GetFilePath(char* buffer) const;
    // Takes one stored record whose data lies in stream; the stored duration is kept as it is.
    // False when no temporary file could be made for the data.
    virtual bool Load(const soundsformat::ItemRecord& record, const uint8_t* stream);
    // Reads the temporary file whole and sums its bytes, ready for Save.
    virtual bool ComputeDataSums();
    // Writes the item's record: its data when sharedOffset is -1, else a reference to the data
    // length field at sharedOffset. The data read for it is let go.
    virtual bool Save(soundsformat::Writer& out, int32_t sharedOffset);
    virtual void SetName(const char* name);
    // Null when the item has no name.
    virtual const char* GetName() const;
    // A new, empty temporary file (the old one deleted) to record into; null when none was made.
    virtual const char* NewTempFileName();
    virtual void DeleteTempFile();

    void SetExtension(const char* extension);
    const char* GetExtension() const { return m_hasExtension ? m_extension.c_str() : nullptr; }
    const std::string& GetTempPath() const { return m_path; }

    // What ComputeDataSums read, until Save lets it go.
    const std::vector<uint8_t>& GetData() const { return m_data; }
    const uint32_t* GetDataSums() const { return m_sums; }
    // Where Save wrote the item's data length field.
    int32_t GetDataPosition() const { return m_dataPosition; }

    // Timing, in seconds.
    double m_delayBefore = 0;
    double m_pauseAfter = 0;
    double m_pauseBetween = 0;
    double m_duration = 0;
    uint32_t m_playCount = 1;

protected:
    // The length of a media file in seconds, through a hidden MCI window; 0 when it can't be opened.
    virtual double MeasureDuration(const char* path, HWND parent);

private:
    // Deletes the old file and makes a new one, returned open for writing.
    HANDLE CreateTempFile();
    // Replaces the temporary file with a copy of source.
    bool CopyIntoNewTempFile(const char* source);

    std::string m_path;
    std::string m_name;
    bool m_hasName = false;
    std::string m_extension;
    bool m_hasExtension = false;
    uint32_t m_sums[4] = {};
    int32_t m_dataPosition = 0;
    std::vector<uint8_t> m_data;
};

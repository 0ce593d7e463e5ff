#pragma once
// Helpers of the sound tests: a private temporary folder (so that the items' files can be counted),
// memory storages, and lists filled with sounds.
#include <windows.h>
#include <objbase.h>

#include <cstdint>
#include <string>
#include <vector>

class CSoundItem;
class CSoundSourceList;

using Bytes = std::vector<uint8_t>;

// Points the process's temporary folder at a new, empty folder while it lives.
class PrivateTempFolder
{
public:
    PrivateTempFolder();
    ~PrivateTempFolder();
    const std::string& Path() const { return m_path; }
    // The names of the sounds' temporary files in the folder (S, 7 hex digits, extension).
    std::vector<std::string> Files() const;

private:
    std::string m_path;
    std::string m_previous;
};

// A compound file in memory; the caller releases it.
IStorage* MemoryStorage();
// The bytes of a stream of the storage; empty when it is missing.
Bytes StorageStreamBytes(IStorage* storage, const wchar_t* name, bool* exists = nullptr);
void PutStream(IStorage* storage, const wchar_t* name, const Bytes& bytes);

// An item holding the bytes in its own temporary file.
CSoundItem* MakeItem(const Bytes& data, const char* name = "tone", const char* ext = "wav");
Bytes SoundFileBytes(const std::string& path);
void Append(CSoundSourceList& list, CSoundItem* item);

class CSoundStore;
// Expects equal lists with equal items, each item with a temporary file of its own holding equal bytes.
void ExpectEqualStores(const CSoundStore& a, const CSoundStore& b);

#pragma once
#include <windows.h>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

// A type or name of a resource: a 16-bit number or a wide-character name.
class CResourceKey
{
public:
    explicit CResourceKey(WORD id) : m_id(id) {}
    explicit CResourceKey(std::wstring name) : m_name(std::move(name)), m_named(true) {}

    bool IsNamed() const { return m_named; }
    WORD Id() const { return m_id; }
    const std::wstring& Name() const { return m_name; }

    // Named keys come first and are ordered by their upper-case form, as the loader searches them;
    // numeric keys follow in ascending order.
    bool operator<(const CResourceKey& other) const;

private:
    WORD m_id = 0;
    std::wstring m_name;
    bool m_named = false;
};

// One resource's bytes with its language.
struct CResourceData
{
    std::vector<BYTE> bytes;
    WORD language = 0;
};

// Every resource of a program file, in memory: type -> name -> language -> data.
class CResourceTree
{
public:
    using LanguageMap = std::map<WORD, CResourceData>;
    using NameMap = std::map<CResourceKey, LanguageMap>;
    using TypeMap = std::map<CResourceKey, NameMap>;

    // The section starts at this file offset and relative virtual address; the rewritten section
    // begins at the same places.
    void SetPlacement(DWORD fileOffset, DWORD virtualAddress);
    DWORD FileOffset() const { return m_fileOffset; }
    DWORD VirtualAddress() const { return m_virtualAddress; }

    // Reads the directory of a section image whose first byte lies at VirtualAddress().
    // Answers false, leaving the tree empty, when any offset, count or size leaves the section.
    bool ReadDirectory(const std::vector<BYTE>& section);

    // Adds a copy of the bytes; an existing (type, name, language) keeps its data and the call answers false.
    bool Add(const CResourceKey& type, const CResourceKey& name, WORD language, const void* data, DWORD size);

    // Lays out the complete section: directories depth first in key order, the name strings, then each
    // data block on a multiple of the alignment. Answers false when the section would not fit 32 bits.
    bool BuildSection(DWORD alignment, std::vector<BYTE>& section) const;

    // Builds the section and writes it at FileOffset(), cutting the file behind it. Answers the size.
    bool WriteSection(HANDLE file, DWORD alignment, DWORD& sectionSize) const;

    const TypeMap& Types() const { return m_types; }
    bool IsEmpty() const { return m_types.empty(); }

private:
    TypeMap m_types;
    DWORD m_fileOffset = 0;
    DWORD m_virtualAddress = 0;
};

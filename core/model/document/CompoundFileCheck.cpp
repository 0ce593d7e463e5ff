#include "CompoundFileCheck.h"

#include <windows.h>

#include <cstdint>
#include <cstring>

#include "ByteImageCheck.h"

namespace {

constexpr uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr uint32_t kFreeSector = 0xFFFFFFFF;
constexpr uint32_t kNoEntry = 0xFFFFFFFF;
constexpr uint32_t kLastRegularSector = 0xFFFFFFFA;
constexpr size_t kHeaderFatEntries = 109;
constexpr size_t kEntrySize = 128;
const unsigned char kSignature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};

class Checker : public CByteImageCheck {
public:
    explicit Checker(const std::vector<unsigned char>& file) : CByteImageCheck(file) {}

    bool Run(CString& why)
    {
        if (!Header(why) || !Fat(why))
            return false;
        std::vector<uint32_t> directory;
        if (!Chain(m_fat, m_firstDirectorySector, m_sectorCount, directory, why, "directory"))
            return false;
        for (uint32_t sector : directory) {
            const size_t at = SectorOffset(sector);
            for (size_t e = 0; e < m_sectorSize / kEntrySize; ++e)
                m_entries.push_back(at + e * kEntrySize);
        }
        if (m_entries.empty() || m_bytes[m_entries[0] + 66] != 5)
            return Fail(why, "the root entry is missing");
        return MiniFat(why) && Tree(why);
    }

private:
    size_t SectorOffset(uint32_t sector) const { return (static_cast<size_t>(sector) + 1) * m_sectorSize; }

    bool Header(CString& why)
    {
        if (m_bytes.size() < 512 || std::memcmp(m_bytes.data(), kSignature, 8) != 0)
            return Fail(why, "not a compound file");
        const uint16_t shift = U16(30);
        if ((shift != 9 && shift != 12) || U16(32) != 6)
            return Fail(why, "unknown sector size");
        m_sectorSize = size_t(1) << shift;
        if (m_bytes.size() < m_sectorSize)
            return Fail(why, "shorter than its header");
        m_sectorCount = static_cast<uint32_t>((m_bytes.size() - m_sectorSize) / m_sectorSize);
        m_fatSectors = U32(0x2C);
        m_firstDirectorySector = U32(0x30);
        m_miniCutoff = U32(0x38);
        m_firstMiniFatSector = U32(0x3C);
        m_firstDifatSector = U32(0x44);
        m_difatSectors = U32(0x48);
        if (m_fatSectors > m_sectorCount || m_difatSectors > m_sectorCount)
            return Fail(why, "more allocation sectors than the file holds");
        return true;
    }

    bool Fat(CString& why)
    {
        std::vector<uint32_t> fatSectors;
        for (size_t i = 0; i < kHeaderFatEntries && fatSectors.size() < m_fatSectors; ++i)
            fatSectors.push_back(U32(0x4C + 4 * i));
        uint32_t difat = m_firstDifatSector;
        const size_t perDifat = m_sectorSize / 4 - 1;
        for (uint32_t n = 0; fatSectors.size() < m_fatSectors; ++n) {
            if (n >= m_difatSectors || difat >= m_sectorCount)
                return Fail(why, "allocation table list leaves the file");
            const size_t at = SectorOffset(difat);
            for (size_t i = 0; i < perDifat && fatSectors.size() < m_fatSectors; ++i)
                fatSectors.push_back(U32(at + 4 * i));
            difat = U32(at + 4 * perDifat);
        }
        for (uint32_t sector : fatSectors) {
            if (sector >= m_sectorCount)
                return Fail(why, "allocation table sector outside the file");
            const size_t at = SectorOffset(sector);
            for (size_t i = 0; i < m_sectorSize / 4; ++i)
                m_fat.push_back(U32(at + 4 * i));
        }
        return true;
    }

    // Follows a chain; every link must stay inside the table and the chain must end.
    bool Chain(const std::vector<uint32_t>& table, uint32_t start, uint32_t limit, std::vector<uint32_t>& out,
               CString& why, const char* what)
    {
        out.clear();
        uint32_t sector = start;
        while (sector != kEndOfChain) {
            if (sector > kLastRegularSector || sector >= limit || sector >= table.size() || out.size() >= limit) {
                why.Format("the %s chain is broken or loops", what);
                return false;
            }
            out.push_back(sector);
            sector = table[sector];
        }
        return true;
    }

    bool MiniFat(CString& why)
    {
        std::vector<uint32_t> sectors;
        if (m_firstMiniFatSector != kEndOfChain && m_firstMiniFatSector != kFreeSector) {
            if (!Chain(m_fat, m_firstMiniFatSector, m_sectorCount, sectors, why, "small-block table"))
                return false;
        }
        for (uint32_t sector : sectors) {
            const size_t at = SectorOffset(sector);
            for (size_t i = 0; i < m_sectorSize / 4; ++i)
                m_miniFat.push_back(U32(at + 4 * i));
        }
        const uint32_t rootStart = U32(m_entries[0] + 116);
        std::vector<uint32_t> miniStream;
        if (rootStart != kEndOfChain && rootStart != kFreeSector &&
            !Chain(m_fat, rootStart, m_sectorCount, miniStream, why, "small-block store"))
            return false;
        m_miniSectorCount = static_cast<uint32_t>(miniStream.size() * (m_sectorSize / 64));
        return true;
    }

    bool Tree(CString& why)
    {
        std::vector<bool> seen(m_entries.size(), false);
        std::vector<uint32_t> pending = {0};
        seen[0] = true;
        std::vector<uint32_t> chain;
        while (!pending.empty()) {
            const uint32_t index = pending.back();
            pending.pop_back();
            const size_t at = m_entries[index];
            const unsigned type = m_bytes[at + 66];
            const uint32_t links[3] = {U32(at + 68), U32(at + 72), U32(at + 76)};
            for (int k = 0; k < 3; ++k) {
                if (index == 0 && k < 2)
                    continue;  // the root has no siblings
                if (k == 2 && type != 1 && type != 5)
                    continue;  // only storages have children
                const uint32_t link = links[k];
                if (link == kNoEntry)
                    continue;
                if (link >= m_entries.size() || seen[link])
                    return Fail(why, "the directory refers to a missing entry or loops");
                seen[link] = true;
                pending.push_back(link);
            }
            if (type == 2) {
                const uint32_t start = U32(at + 116);
                const uint32_t size = U32(at + 120);
                if (size == 0)
                    continue;
                if (size < m_miniCutoff) {
                    if (!Chain(m_miniFat, start, m_miniSectorCount, chain, why, "small stream"))
                        return false;
                    if (chain.size() * 64 < size)
                        return Fail(why, "a small stream is longer than its blocks");
                } else {
                    if (!Chain(m_fat, start, m_sectorCount, chain, why, "stream"))
                        return false;
                    if (chain.size() * m_sectorSize < size)
                        return Fail(why, "a stream is longer than its sectors");
                }
            }
        }
        return true;
    }

    size_t m_sectorSize = 512;
    uint32_t m_sectorCount = 0;
    uint32_t m_fatSectors = 0;
    uint32_t m_firstDirectorySector = 0;
    uint32_t m_miniCutoff = 4096;
    uint32_t m_firstMiniFatSector = 0;
    uint32_t m_firstDifatSector = 0;
    uint32_t m_difatSectors = 0;
    uint32_t m_miniSectorCount = 0;
    std::vector<uint32_t> m_fat;
    std::vector<uint32_t> m_miniFat;
    std::vector<size_t> m_entries;
};

}  // namespace

bool CompoundFileStructureIsSound(const std::vector<unsigned char>& file, CString* reason)
{
    CString why;
    const bool sound = Checker(file).Run(why);
    if (reason)
        *reason = why;
    return sound;
}

bool CompoundFileStructureIsSound(LPCSTR path, CString* reason)
{
    std::vector<unsigned char> bytes;
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        // Opening reports a missing or locked file in its own words.
        return true;
    }
    LARGE_INTEGER size = {};
    const bool sized = GetFileSizeEx(file, &size) && size.QuadPart < (LONGLONG(1) << 31);
    if (sized) {
        bytes.resize(static_cast<size_t>(size.QuadPart));
        DWORD got = 0;
        if (!bytes.empty() && (!ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) ||
                               got != bytes.size()))
            bytes.clear();
    }
    CloseHandle(file);
    if (!sized)
        return true;
    return CompoundFileStructureIsSound(bytes, reason);
}

#include "PropertySetCheck.h"

#include <cstdint>
#include <algorithm>
#include <cstring>

#include "ByteImageCheck.h"
#include "Mosk.h"

namespace {

constexpr size_t kHeaderSize = 28;
constexpr size_t kSectionEntrySize = 20;  // format id and offset
constexpr size_t kSectionHeaderSize = 8;  // size and property count
constexpr size_t kPropertyEntrySize = 8;  // id and offset
constexpr uint32_t kDictionaryId = 0;
constexpr uint32_t kCodePageId = 1;
constexpr uint16_t kUnicodeCodePage = 1200;
// Summary sets are small; anything larger is not one of ours.
constexpr ULONG kLargestSet = 4u << 20;

class SetChecker : public CByteImageCheck {
public:
    explicit SetChecker(const std::vector<unsigned char>& data) : CByteImageCheck(data) {}

    bool Run(CString& why)
    {
        if (m_bytes.size() < kHeaderSize + kSectionEntrySize)
            return Fail(why, "the header is cut short");
        if (U16(0) != 0xFFFE)
            return Fail(why, "wrong byte order mark");
        if (U16(2) > 1)
            return Fail(why, "unknown format version");
        const uint32_t sections = U32(24);
        if (sections < 1 || sections > 2)
            return Fail(why, "wrong section count");
        const size_t tableEnd = kHeaderSize + sections * kSectionEntrySize;
        if (tableEnd > m_bytes.size())
            return Fail(why, "the section table is cut short");
        for (uint32_t s = 0; s < sections; ++s) {
            if (!Section(U32(kHeaderSize + s * kSectionEntrySize + 16), tableEnd, why))
                return false;
        }
        return true;
    }

private:
    bool Section(uint32_t offset, size_t tableEnd, CString& why)
    {
        if (offset < tableEnd || offset > m_bytes.size() || m_bytes.size() - offset < kSectionHeaderSize)
            return Fail(why, "a section lies outside the stream");
        const uint32_t declared = U32(offset);
        const uint32_t count = U32(offset + 4);
        // The system's writer counts the padding after the last value, which a stream may lack:
        // up to 3 bytes past the end are allowed, and the values are checked against what is there.
        const size_t available = m_bytes.size() - offset;
        if (declared < kSectionHeaderSize || declared > available + 3)
            return Fail(why, "a section's size leaves the stream");
        const uint32_t size = static_cast<uint32_t>(std::min<size_t>(declared, available));
        if (count > (size - kSectionHeaderSize) / kPropertyEntrySize)
            return Fail(why, "a section's property table leaves the section");
        const size_t valuesStart = kSectionHeaderSize + static_cast<size_t>(count) * kPropertyEntrySize;
        // The code page decides how strings and dictionary names are read: find it first.
        uint16_t codePage = 0;
        for (uint32_t i = 0; i < count; ++i) {
            const size_t entry = offset + kSectionHeaderSize + i * kPropertyEntrySize;
            if (U32(entry) != kCodePageId)
                continue;
            const uint32_t at = U32(entry + 4);
            if (at < valuesStart || at > size - 8 || U16(offset + at) != VT_I2)
                return Fail(why, "the code page is damaged");
            codePage = U16(offset + at + 4);
            if (codePage != kUnicodeCodePage && !IsValidCodePage(codePage))
                return Fail(why, "unknown code page");
        }
        for (uint32_t i = 0; i < count; ++i) {
            const size_t entry = offset + kSectionHeaderSize + i * kPropertyEntrySize;
            const uint32_t at = U32(entry + 4);
            if (at < valuesStart || at > size - 4)
                return Fail(why, "a property lies outside its section");
            const bool sound = U32(entry) == kDictionaryId ? Dictionary(offset, size, at, codePage)
                                                           : Value(offset, size, at, codePage);
            if (!sound)
                return Fail(why, "a property's value leaves its section or has an unknown type");
        }
        return true;
    }

    // Whether `length` bytes from `at` stay inside the section.
    static bool Fits(uint32_t size, size_t at, uint64_t length) { return at <= size && length <= size - at; }

    bool Value(size_t section, uint32_t size, uint32_t at, uint16_t codePage) const
    {
        const uint32_t type = U32(section + at);
        const size_t value = static_cast<size_t>(at) + 4;
        switch (type) {
        case VT_EMPTY:
        case VT_NULL:
            return true;
        case VT_I2:
        case VT_UI2:
        case VT_BOOL:
        case VT_I4:
        case VT_UI4:
        case VT_INT:
        case VT_UINT:
            return Fits(size, value, 4);
        case VT_FILETIME:
            return Fits(size, value, 8);
        case VT_LPSTR:
        case VT_LPWSTR: {
            if (!Fits(size, value, 4))
                return false;
            const uint32_t length = U32(section + value);
            const uint64_t bytes = type == VT_LPWSTR ? 2ull * length : length;
            // A string holds at least its terminator; in a Unicode set whole characters.
            if (length == 0 || (type == VT_LPSTR && codePage == kUnicodeCodePage && length % 2))
                return false;
            return Fits(size, value + 4, bytes);
        }
        default:
            return false;
        }
    }

    // The names of the user-defined properties: a count, then id, length and characters each.
    bool Dictionary(size_t section, uint32_t size, uint32_t at, uint16_t codePage) const
    {
        const uint32_t entries = U32(section + at);
        size_t cursor = static_cast<size_t>(at) + 4;
        for (uint32_t e = 0; e < entries; ++e) {
            if (!Fits(size, cursor, 8))
                return false;
            const uint32_t length = U32(section + cursor + 4);
            const uint64_t bytes = codePage == kUnicodeCodePage ? 2ull * length : length;
            if (length == 0 || !Fits(size, cursor + 8, bytes))
                return false;
            cursor += 8 + static_cast<size_t>(bytes);
            if (codePage == kUnicodeCodePage)
                cursor = (cursor + 3) & ~static_cast<size_t>(3);
        }
        return cursor <= size;
    }
};

}  // namespace

IStorage* PlainStorageOf(IStorage* storage)
{
    IZStorage* wrapper = nullptr;
    if (storage && SUCCEEDED(storage->QueryInterface(IID_IZStorage, reinterpret_cast<void**>(&wrapper))) && wrapper) {
        IStorage* donor = nullptr;
        wrapper->get_Donor(&donor);
        wrapper->Release();
        return donor;
    }
    if (storage)
        storage->AddRef();
    return storage;
}

bool PropertySetStreamIsSound(const std::vector<unsigned char>& stream, CString* reason)
{
    CString why;
    const bool sound = SetChecker(stream).Run(why);
    if (reason)
        *reason = why;
    return sound;
}

PropertySetState CheckPropertySet(IStorage* storage, const wchar_t* streamName)
{
    if (!storage)
        return PropertySetState::missing;
    IStorage* plain = PlainStorageOf(storage);
    if (!plain)
        return PropertySetState::missing;
    IStream* stream = nullptr;
    const HRESULT opened = plain->OpenStream(streamName, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &stream);
    plain->Release();
    if (FAILED(opened) || !stream)
        return opened == STG_E_FILENOTFOUND ? PropertySetState::missing : PropertySetState::damaged;
    STATSTG stat = {};
    std::vector<unsigned char> bytes;
    bool readable = SUCCEEDED(stream->Stat(&stat, STATFLAG_NONAME)) && stat.cbSize.QuadPart <= kLargestSet;
    if (readable) {
        bytes.resize(static_cast<size_t>(stat.cbSize.QuadPart));
        ULONG got = 0;
        readable = bytes.empty() ||
                   (SUCCEEDED(stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &got)) && got == bytes.size());
    }
    stream->Release();
    return readable && PropertySetStreamIsSound(bytes) ? PropertySetState::sound : PropertySetState::damaged;
}

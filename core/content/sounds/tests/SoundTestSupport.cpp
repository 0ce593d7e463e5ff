#include "SoundTestSupport.h"

#include <cstdio>

#include <gtest/gtest.h>

#include "SoundItem.h"
#include "SoundSourceList.h"
#include "SoundStore.h"
#include "TempSoundFile.h"

PrivateTempFolder::PrivateTempFolder()
{
    char previous[MAX_PATH] = "";
    GetEnvironmentVariableA("TMP", previous, MAX_PATH);
    m_previous = previous;
    char base[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, base);
    for (int n = 0;; ++n) {
        char name[MAX_PATH];
        std::snprintf(name, sizeof name, "%ssoundtest%lu_%d", base, GetCurrentProcessId(), n);
        if (CreateDirectoryA(name, nullptr)) {
            m_path = name;
            break;
        }
    }
    SetEnvironmentVariableA("TMP", m_path.c_str());
}

PrivateTempFolder::~PrivateTempFolder()
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((m_path + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            DeleteFileA((m_path + "\\" + found.cFileName).c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(m_path.c_str());
    SetEnvironmentVariableA("TMP", m_previous.empty() ? nullptr : m_previous.c_str());
}

std::vector<std::string> PrivateTempFolder::Files() const
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((m_path + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::string name = found.cFileName;
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name.size() > 9 && name[0] == 'S' &&
            name.find('.') == 8)
            names.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

IStorage* MemoryStorage()
{
    ILockBytes* bytes = nullptr;
    IStorage* storage = nullptr;
    if (SUCCEEDED(CreateILockBytesOnHGlobal(nullptr, TRUE, &bytes))) {
        StgCreateDocfileOnILockBytes(bytes, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, &storage);
        bytes->Release();
    }
    return storage;
}

Bytes StorageStreamBytes(IStorage* storage, const wchar_t* name, bool* exists)
{
    Bytes bytes;
    IStream* stream = nullptr;
    const bool open = SUCCEEDED(storage->OpenStream(name, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &stream));
    if (exists)
        *exists = open;
    if (!open)
        return bytes;
    STATSTG stat = {};
    stream->Stat(&stat, STATFLAG_NONAME);
    bytes.resize(static_cast<size_t>(stat.cbSize.QuadPart));
    ULONG read = 0;
    stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read);
    bytes.resize(read);
    stream->Release();
    return bytes;
}

void PutStream(IStorage* storage, const wchar_t* name, const Bytes& bytes)
{
    IStream* stream = nullptr;
    if (FAILED(storage->CreateStream(name, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, 0, &stream)))
        return;
    ULONG written = 0;
    stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written);
    stream->Release();
}

CSoundItem* MakeItem(const Bytes& data, const char* name, const char* ext)
{
    auto* item = new CSoundItem;
    item->SetName(name);
    item->SetExtension(ext);
    const char* path = item->NewTempFileName();
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    tempsound::WriteAll(file, data.data(), data.size());
    CloseHandle(file);
    return item;
}

Bytes SoundFileBytes(const std::string& path)
{
    Bytes bytes;
    tempsound::ReadAll(path, bytes);
    return bytes;
}

void Append(CSoundSourceList& list, CSoundItem* item) { list.InsertAfter(item, list.GetCount() - 1); }

void ExpectEqualStores(const CSoundStore& a, const CSoundStore& b)
{
    ASSERT_EQ(a.GetCount(), b.GetCount());
    for (int l = 0; l < a.GetCount(); ++l) {
        const CSoundSourceList& x = *a.GetAt(l);
        const CSoundSourceList& y = *b.GetAt(l);
        EXPECT_EQ(x.GetSiteId(), y.GetSiteId());
        EXPECT_EQ(x.GetSourceType(), y.GetSourceType());
        EXPECT_EQ(x.m_repeatForever, y.m_repeatForever);
        EXPECT_EQ(x.m_loopCount, y.m_loopCount);
        ASSERT_EQ(x.GetCount(), y.GetCount());
        for (int i = 0; i < x.GetCount(); ++i) {
            const CSoundItem& p = *x.GetAt(i);
            const CSoundItem& q = *y.GetAt(i);
            EXPECT_EQ(p.m_delayBefore, q.m_delayBefore);
            EXPECT_EQ(p.m_pauseAfter, q.m_pauseAfter);
            EXPECT_EQ(p.m_pauseBetween, q.m_pauseBetween);
            EXPECT_EQ(p.m_duration, q.m_duration);
            EXPECT_EQ(p.m_playCount, q.m_playCount);
            EXPECT_STREQ(p.GetName(), q.GetName());
            EXPECT_STREQ(p.GetExtension(), q.GetExtension());
            EXPECT_NE(p.GetTempPath(), q.GetTempPath());
            EXPECT_EQ(SoundFileBytes(p.GetTempPath()), SoundFileBytes(q.GetTempPath()));
        }
    }
}

#include "SoundItem.h"

#include <cstring>

#include "MciWnd.h"
#include "TempSoundFile.h"

CSoundItem::CSoundItem() = default;

CSoundItem::~CSoundItem() { DeleteTempFile(); }

void CSoundItem::DeleteTempFile()
{
    if (!m_path.empty())
        DeleteFileA(m_path.c_str());
    m_path.clear();
}

HANDLE CSoundItem::CreateTempFile()
{
    DeleteTempFile();
    std::string path;
    HANDLE file = tempsound::CreateUnique(GetExtension(), path);
    if (file != INVALID_HANDLE_VALUE)
        m_path = path;
    return file;
}

bool CSoundItem::CopyIntoNewTempFile(const char* source)
{
    HANDLE file = CreateTempFile();
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    // The new name is ours alone: created exclusively, so overwriting it touches no one else's file.
    return CopyFileA(source, m_path.c_str(), FALSE) != FALSE;
}

bool CSoundItem::CopyFrom(const CSoundItem& other)
{
    DeleteTempFile();
    m_delayBefore = other.m_delayBefore;
    m_pauseAfter = other.m_pauseAfter;
    m_pauseBetween = other.m_pauseBetween;
    m_duration = other.m_duration;
    m_playCount = other.m_playCount;
    SetExtension(other.GetExtension());
    if (!other.m_hasName) {
        m_name.clear();
        m_hasName = false;
        return false;
    }
    SetName(other.m_name.c_str());
    return !other.m_path.empty() && CopyIntoNewTempFile(other.m_path.c_str());
}

bool CSoundItem::LoadFromFile(const char* path, HWND parent)
{
    if (!path)
        return false;
    HANDLE probe = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (probe == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(probe);
    if (!CopyIntoNewTempFile(path))
        return false;
    m_duration = MeasureDuration(m_path.c_str(), parent);
    return true;
}

double CSoundItem::MeasureDuration(const char* path, HWND parent)
{
    CMCIWnd mci;
    if (!mci.Create(parent, GetModuleHandleA(nullptr)))
        return 0;
    double seconds = 0;
    if (mci.Open(path))
        seconds = static_cast<double>(mci.GetLength()) * 0.001;
    mci.Close();
    return seconds;
}

int CSoundItem::GetFilePath(char* buffer) const
{
    if (buffer)
        lstrcpynA(buffer, m_path.c_str(), kPathCapacity);
    return 1;
}

bool CSoundItem::Load(const soundsformat::ItemRecord& record, const uint8_t* stream)
{
    m_pauseAfter = record.pauseAfter;
    m_delayBefore = record.delayBefore;
    m_pauseBetween = record.pauseBetween;
    m_duration = record.duration;
    m_playCount = record.playCount;
    if (record.hasName)
        SetName(record.name.c_str());
    if (record.hasExtension)
        SetExtension(record.extension.c_str());
    HANDLE file = CreateTempFile();
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const bool written = tempsound::WriteAll(file, stream + record.dataOffset, record.dataSize);
    CloseHandle(file);
    return written;
}

bool CSoundItem::ComputeDataSums()
{
    // An item without a readable file is stored with empty data.
    if (m_path.empty() || !tempsound::ReadAll(m_path, m_data))
        m_data.clear();
    soundsformat::DataSums(m_data.data(), m_data.size(), m_sums);
    return true;
}

bool CSoundItem::Save(soundsformat::Writer& out, int32_t sharedOffset)
{
    out.U32(1);
    out.F64(m_pauseAfter);
    out.F64(m_delayBefore);
    out.F64(m_pauseBetween);
    out.F64(m_duration);
    out.U32(m_playCount);
    out.Text(m_name);
    out.Text(m_extension);
    if (sharedOffset == -1) {
        m_dataPosition = static_cast<int32_t>(out.Position());
        out.U32(static_cast<uint32_t>(m_data.size()));
        out.Bytes(m_data.data(), m_data.size());
    } else {
        out.U32(soundsformat::kSharedData);
        out.U32(static_cast<uint32_t>(sharedOffset));
    }
    std::vector<uint8_t>().swap(m_data);
    return true;
}

void CSoundItem::SetName(const char* name)
{
    m_hasName = name != nullptr;
    m_name = name ? name : "";
}

const char* CSoundItem::GetName() const { return m_hasName ? m_name.c_str() : nullptr; }

void CSoundItem::SetExtension(const char* extension)
{
    m_hasExtension = extension != nullptr;
    m_extension = extension ? extension : "";
}

const char* CSoundItem::NewTempFileName()
{
    HANDLE file = CreateTempFile();
    if (file == INVALID_HANDLE_VALUE)
        return nullptr;
    CloseHandle(file);
    return m_path.c_str();
}

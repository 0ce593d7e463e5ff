#include "TestFiles.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace testfiles {

namespace {

void RemoveFolderTree(const std::string& path)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveFolderTree(path + "\\" + name);
            else
                DeleteFileA((path + "\\" + name).c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
}

// Test programs run side by side in one prefix and count the "afx" files the code leaves in the temporary
// folder; each program gets a temporary folder of its own so that another program's files never count.
class CPrivateTemporaryFolder
{
public:
    CPrivateTemporaryFolder()
    {
        char shared[MAX_PATH] = "";
        GetTempPathA(MAX_PATH, shared);
        m_path = std::string(shared) + "viewercopy_tmp" + std::to_string(GetCurrentProcessId());
        RemoveFolderTree(m_path);   // left over by an earlier program with the same id
        CreateDirectoryA(m_path.c_str(), nullptr);
        SetEnvironmentVariableA("TMP", m_path.c_str());
        SetEnvironmentVariableA("TEMP", m_path.c_str());
    }
    ~CPrivateTemporaryFolder() { RemoveFolderTree(m_path); }

private:
    std::string m_path;
};

const CPrivateTemporaryFolder privateTemporaryFolder;

}  // namespace

std::string BinFolder()
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.find_last_of("\\/"));
}

CScratchFolder::CScratchFolder()
{
    char folder[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, folder);
    static int counter = 0;
    m_path = std::string(folder) + "viewercopy" + std::to_string(GetCurrentProcessId()) + "_" +
             std::to_string(++counter);
    CreateDirectoryA(m_path.c_str(), nullptr);
}

CScratchFolder::~CScratchFolder()
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((m_path + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileA((m_path + "\\" + found.cFileName).c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(m_path.c_str());
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

Bytes Read(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Write(const std::string& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

Bytes Pattern(size_t size)
{
    Bytes bytes(size);
    uint32_t state = 0x12345678;
    for (size_t i = 0; i < size; ++i) {
        state = state * 1103515245u + 12345u;
        bytes[i] = static_cast<BYTE>(state >> 16);
    }
    return bytes;
}

namespace {
BOOL CALLBACK TakeLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR param)
{
    *reinterpret_cast<WORD*>(param) = language;
    return FALSE;
}
}  // namespace

std::vector<Chunk> ReadCardChunks(const std::string& programPath)
{
    std::vector<Chunk> chunks;
    HMODULE program = LoadLibraryExA(programPath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!program)
        throw std::runtime_error("cannot load " + programPath);
    for (UINT name = 1;; ++name) {
        HRSRC found = FindResourceA(program, MAKEINTRESOURCEA(name), MAKEINTRESOURCEA(21359));
        if (!found)
            break;
        Chunk chunk;
        const BYTE* data = static_cast<const BYTE*>(LockResource(LoadResource(program, found)));
        chunk.bytes.assign(data, data + SizeofResource(program, found));
        EnumResourceLanguagesA(program, MAKEINTRESOURCEA(21359), MAKEINTRESOURCEA(name), TakeLanguage,
                               reinterpret_cast<LONG_PTR>(&chunk.language));
        chunks.push_back(std::move(chunk));
    }
    FreeLibrary(program);
    return chunks;
}

int CountTemporaryCards()
{
    char folder[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, folder);
    int count = 0;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((std::string(folder) + "afx*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do
            ++count;
        while (FindNextFileA(search, &found));
        FindClose(search);
    }
    return count;
}

}  // namespace testfiles

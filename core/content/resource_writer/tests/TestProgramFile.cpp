#include "TestProgramFile.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

ScratchFolder::ScratchFolder()
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    static unsigned counter = 0;
    m_path = std::string(temp) + "reswriter-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
    CreateDirectoryA(m_path.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder()
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((m_path + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE)
    {
        do
        {
            const std::string name = found.cFileName;
            if (name != "." && name != "..")
            {
                SetFileAttributesA(Path(name).c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(Path(name).c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(m_path.c_str());
}

std::vector<BYTE> ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    return std::vector<BYTE>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::vector<BYTE>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

std::string ProgramFolder()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of("\\/"));
}

std::string TemplatePath()
{
    return ProgramFolder() + "\\reswriter_template.exe";
}

std::string FixturePath(const std::string& name)
{
    // The tests run with TARN_SOURCE set to the checkout, a Unix path that Wine maps under Z:.
    char source[MAX_PATH] = {};
    if (!GetEnvironmentVariableA("TARN_SOURCE", source, MAX_PATH))
        throw std::runtime_error("TARN_SOURCE is not set");
    std::string path = std::string("Z:") + source + "/core/content/resource_writer/tests/fixtures/" + name;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

int RunProgram(const std::string& program, const std::string& arguments)
{
    std::string commandLine = "\"" + program + "\" " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return -1;
    WaitForSingleObject(process.hProcess, 60000);
    DWORD code = DWORD(-1);
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return int(code);
}

ProgramLayout ParseLayout(const std::vector<BYTE>& image)
{
    ProgramLayout layout;
    IMAGE_DOS_HEADER dos;
    std::memcpy(&dos, image.data(), sizeof dos);
    const DWORD fileHeaderOffset = DWORD(dos.e_lfanew) + 4;
    std::memcpy(&layout.fileHeader, image.data() + fileHeaderOffset, sizeof layout.fileHeader);
    layout.optionalHeaderOffset = fileHeaderOffset + sizeof(IMAGE_FILE_HEADER);
    WORD magic = 0;
    std::memcpy(&magic, image.data() + layout.optionalHeaderOffset, sizeof magic);
    layout.is64 = magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC;
    if (layout.is64)
        std::memcpy(&layout.pe64, image.data() + layout.optionalHeaderOffset, sizeof layout.pe64);
    else
        std::memcpy(&layout.pe32, image.data() + layout.optionalHeaderOffset, sizeof layout.pe32);
    layout.sectionTableOffset = layout.optionalHeaderOffset + layout.fileHeader.SizeOfOptionalHeader;
    layout.sections.resize(layout.fileHeader.NumberOfSections);
    std::memcpy(layout.sections.data(), image.data() + layout.sectionTableOffset,
                layout.sections.size() * sizeof(IMAGE_SECTION_HEADER));
    for (size_t i = 0; i < layout.sections.size(); ++i)
        if (std::strncmp(reinterpret_cast<const char*>(layout.sections[i].Name), ".rsrc", 8) == 0)
            layout.resourceIndex = int(i);
    return layout;
}

std::vector<BYTE> PatternBytes(size_t size, unsigned seed)
{
    std::vector<BYTE> bytes(size);
    unsigned state = seed * 2654435761u + 1;
    for (auto& b : bytes)
    {
        state = state * 1103515245u + 12345u;
        b = BYTE(state >> 16);
    }
    return bytes;
}

#pragma once
#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

// A fresh folder of the test's own, removed with everything in it.
class ScratchFolder
{
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::string Path(const std::string& name) const { return m_path + "\\" + name; }

private:
    std::string m_path;
};

std::vector<BYTE> ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::vector<BYTE>& bytes);
std::string ProgramFolder();
std::string TemplatePath();
// A committed template program of one format (fixtures/template-pe32.exe, template-pe32plus.exe).
std::string FixturePath(const std::string& name);

// Runs a program with a command line and answers its exit code (-1 when it cannot start).
int RunProgram(const std::string& program, const std::string& arguments);

// The pieces of a parsed program image (PE32 or PE32+) that the tests look at.
struct ProgramLayout
{
    DWORD optionalHeaderOffset = 0;
    DWORD sectionTableOffset = 0;
    IMAGE_FILE_HEADER fileHeader = {};
    bool is64 = false;
    IMAGE_OPTIONAL_HEADER32 pe32 = {};
    IMAGE_OPTIONAL_HEADER64 pe64 = {};
    std::vector<IMAGE_SECTION_HEADER> sections;
    int resourceIndex = -1;

    DWORD SectionAlignment() const { return is64 ? pe64.SectionAlignment : pe32.SectionAlignment; }
    DWORD SizeOfImage() const { return is64 ? pe64.SizeOfImage : pe32.SizeOfImage; }
    DWORD CheckSum() const { return is64 ? pe64.CheckSum : pe32.CheckSum; }
    const IMAGE_DATA_DIRECTORY& Directory(int index) const
    {
        return is64 ? pe64.DataDirectory[index] : pe32.DataDirectory[index];
    }
    // File offsets of fields that sit apart in the two formats.
    DWORD DirectoryCountOffset() const
    {
        return optionalHeaderOffset + DWORD(is64 ? offsetof(IMAGE_OPTIONAL_HEADER64, NumberOfRvaAndSizes)
                                                 : offsetof(IMAGE_OPTIONAL_HEADER32, NumberOfRvaAndSizes));
    }
    DWORD DirectoryOffset(int index) const
    {
        return optionalHeaderOffset + DWORD(is64 ? offsetof(IMAGE_OPTIONAL_HEADER64, DataDirectory)
                                                 : offsetof(IMAGE_OPTIONAL_HEADER32, DataDirectory)) +
               DWORD(index * sizeof(IMAGE_DATA_DIRECTORY));
    }
    DWORD SectionAlignmentOffset() const
    {
        return optionalHeaderOffset + DWORD(offsetof(IMAGE_OPTIONAL_HEADER32, SectionAlignment));
    }

    const IMAGE_SECTION_HEADER& Resources() const { return sections.at(size_t(resourceIndex)); }
    DWORD SectionRecordOffset(size_t index) const { return sectionTableOffset + DWORD(index * sizeof(IMAGE_SECTION_HEADER)); }
};
ProgramLayout ParseLayout(const std::vector<BYTE>& image);

std::vector<BYTE> PatternBytes(size_t size, unsigned seed);

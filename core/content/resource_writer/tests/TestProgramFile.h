#pragma once
#include <windows.h>

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

// Runs a program with a command line and answers its exit code (-1 when it cannot start).
int RunProgram(const std::string& program, const std::string& arguments);

// The pieces of a parsed program image that the tests look at.
struct ProgramLayout
{
    DWORD optionalHeaderOffset = 0;
    DWORD sectionTableOffset = 0;
    IMAGE_FILE_HEADER fileHeader = {};
    IMAGE_OPTIONAL_HEADER32 optionalHeader = {};
    std::vector<IMAGE_SECTION_HEADER> sections;
    int resourceIndex = -1;

    const IMAGE_SECTION_HEADER& Resources() const { return sections.at(size_t(resourceIndex)); }
    DWORD SectionRecordOffset(size_t index) const { return sectionTableOffset + DWORD(index * sizeof(IMAGE_SECTION_HEADER)); }
};
ProgramLayout ParseLayout(const std::vector<BYTE>& image);

std::vector<BYTE> PatternBytes(size_t size, unsigned seed);

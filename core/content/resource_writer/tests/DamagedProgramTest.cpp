#include "ResourceUpdateFile.h"
#include "TestProgramFile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

namespace
{
DWORD& DwordAt(std::vector<BYTE>& image, size_t offset)
{
    return *reinterpret_cast<DWORD*>(image.data() + offset);
}

WORD& WordAt(std::vector<BYTE>& image, size_t offset)
{
    return *reinterpret_cast<WORD*>(image.data() + offset);
}

// File offsets inside the template's resource directory, found by walking its first branch.
struct DirectoryPlaces
{
    size_t root = 0;           // root directory header
    size_t firstType = 0;      // first root entry
    size_t firstName = 0;      // first entry of the first type
    size_t firstLanguage = 0;  // first entry of the first name
    size_t firstData = 0;      // data entry of the first language
    size_t namedEntry = 0;     // an entry whose name is a string (0 when there is none)
};

DirectoryPlaces FindPlaces(std::vector<BYTE>& image)
{
    const ProgramLayout layout = ParseLayout(image);
    DirectoryPlaces places;
    const size_t base = layout.Resources().PointerToRawData;
    places.root = base;
    places.firstType = base + 16;
    places.firstName = base + (DwordAt(image, places.firstType + 4) & 0x7FFFFFFF) + 16;
    places.firstLanguage = base + (DwordAt(image, places.firstName + 4) & 0x7FFFFFFF) + 16;
    places.firstData = base + DwordAt(image, places.firstLanguage + 4);
    const WORD types = WordAt(image, base + 14) + WordAt(image, base + 12);
    for (WORD t = 0; t < types && !places.namedEntry; ++t)
    {
        const size_t typeDirectory = base + (DwordAt(image, base + 16 + 8 * t + 4) & 0x7FFFFFFF);
        if (WordAt(image, typeDirectory + 12) > 0)
            places.namedEntry = typeDirectory + 16;
    }
    return places;
}

struct Damage
{
    const char* name;
    std::function<void(std::vector<BYTE>&)> apply;
};

void Truncate(std::vector<BYTE>& image, size_t size)
{
    image.resize(std::min(image.size(), size));
}

const Damage kDamages[] = {
    {"empty file", [](auto& image) { image.clear(); }},
    {"cut inside the DOS header", [](auto& image) { Truncate(image, 40); }},
    {"cut inside the optional header", [](auto& image) { Truncate(image, ParseLayout(image).optionalHeaderOffset + 100); }},
    {"cut inside the section table", [](auto& image) { Truncate(image, ParseLayout(image).sectionTableOffset + 20); }},
    {"cut inside the resource section", [](auto& image) { Truncate(image, ParseLayout(image).Resources().PointerToRawData + 30); }},
    {"cut by one byte", [](auto& image) { image.pop_back(); }},
    {"no MZ signature", [](auto& image) { image[0] = 'X'; }},
    {"PE header offset past the end", [](auto& image) { DwordAt(image, 0x3C) = DWORD(image.size() + 16); }},
    {"PE header offset negative", [](auto& image) { DwordAt(image, 0x3C) = 0x80000000u; }},
    {"no PE signature", [](auto& image) { image[DwordAt(image, 0x3C)] = 'Q'; }},
    {"optional header size of the other format",
     [](auto& image) {
         WordAt(image, DwordAt(image, 0x3C) + 4 + 16) =
             WORD(ParseLayout(image).is64 ? sizeof(IMAGE_OPTIONAL_HEADER32) : sizeof(IMAGE_OPTIONAL_HEADER64));
     }},
    {"optional header magic of the other format",
     [](auto& image) {
         const ProgramLayout layout = ParseLayout(image);
         WordAt(image, layout.optionalHeaderOffset) = layout.is64 ? 0x10B : 0x20B;
     }},
    {"ROM optional header magic", [](auto& image) { WordAt(image, ParseLayout(image).optionalHeaderOffset) = 0x107; }},
    {"no resource directory entry",
     [](auto& image) {
         DwordAt(image, ParseLayout(image).DirectoryCountOffset()) = 2;
     }},
    {"section alignment not a power of two",
     [](auto& image) {
         DwordAt(image, ParseLayout(image).SectionAlignmentOffset()) = 0x3000;
     }},
    {"no sections", [](auto& image) { WordAt(image, DwordAt(image, 0x3C) + 4 + 2) = 0; }},
    {"no section named .rsrc",
     [](auto& image) {
         const ProgramLayout layout = ParseLayout(image);
         image[layout.SectionRecordOffset(size_t(layout.resourceIndex)) + 1] = 'R';
     }},
    {"resource directory inside its section",
     [](auto& image) {
         const ProgramLayout layout = ParseLayout(image);
         DwordAt(image, layout.DirectoryOffset(IMAGE_DIRECTORY_ENTRY_RESOURCE)) += 16;
     }},
    {"overlay behind the resource section", [](auto& image) { image.insert(image.end(), 100, 0xAB); }},
    {"certificate behind the resource section",
     [](auto& image) {
         const ProgramLayout layout = ParseLayout(image);
         const size_t entry = layout.DirectoryOffset(IMAGE_DIRECTORY_ENTRY_SECURITY);
         DwordAt(image, entry) = DWORD(image.size());
         DwordAt(image, entry + 4) = 64;
         image.insert(image.end(), 64, 0x30);
     }},
    {"relocations inside the resource section",
     [](auto& image) {
         const ProgramLayout layout = ParseLayout(image);
         const size_t entry = layout.DirectoryOffset(IMAGE_DIRECTORY_ENTRY_BASERELOC);
         DwordAt(image, entry) = layout.Resources().VirtualAddress + 8;
         DwordAt(image, entry + 4) = 8;
     }},
    {"another section mapped behind the resources",
     [](auto& image) {
         const ProgramLayout layout = ParseLayout(image);
         const size_t other = layout.resourceIndex == 0 ? 1 : 0;
         DwordAt(image, layout.SectionRecordOffset(other) + offsetof(IMAGE_SECTION_HEADER, VirtualAddress)) =
             layout.Resources().VirtualAddress + 0x10000;
     }},
    {"another section stored behind the resources",
     [](auto& image) {
         const ProgramLayout layout = ParseLayout(image);
         const size_t other = layout.resourceIndex == 0 ? 1 : 0;
         DwordAt(image, layout.SectionRecordOffset(other) + offsetof(IMAGE_SECTION_HEADER, PointerToRawData)) =
             layout.Resources().PointerToRawData + 0x200;
     }},
    {"huge entry count", [](auto& image) { WordAt(image, FindPlaces(image).root + 14) = 0xFFFF; }},
    {"type directory outside the section",
     [](auto& image) { DwordAt(image, FindPlaces(image).firstType + 4) = 0x80000000u | 0x7FFFFFF0u; }},
    {"type entry leading to data",
     [](auto& image) { DwordAt(image, FindPlaces(image).firstType + 4) &= 0x7FFFFFFFu; }},
    {"type directory pointing back at the root",
     [](auto& image) { DwordAt(image, FindPlaces(image).firstType + 4) = 0x80000000u; }},
    {"language entry leading to a directory",
     [](auto& image) { DwordAt(image, FindPlaces(image).firstLanguage + 4) |= 0x80000000u; }},
    {"data entry outside the section",
     [](auto& image) { DwordAt(image, FindPlaces(image).firstLanguage + 4) = 0x7FFFFF00u; }},
    {"data below the section", [](auto& image) { DwordAt(image, FindPlaces(image).firstData) = 0x10; }},
    {"data past the section",
     [](auto& image) { DwordAt(image, FindPlaces(image).firstData) = ParseLayout(image).Resources().VirtualAddress + 0x7FFF0000u; }},
    {"data larger than the section", [](auto& image) { DwordAt(image, FindPlaces(image).firstData + 4) = 0x7FFFFFFFu; }},
    {"name string outside the section",
     [](auto& image) {
         const size_t named = FindPlaces(image).namedEntry;
         ASSERT_NE(named, 0u);
         DwordAt(image, named) = 0x80000000u | 0x7FFFFFF0u;
     }},
    {"name string longer than the section",
     [](auto& image) {
         const DirectoryPlaces places = FindPlaces(image);
         ASSERT_NE(places.namedEntry, 0u);
         WordAt(image, places.root + (DwordAt(image, places.namedEntry) & 0x7FFFFFFF)) = 0xFFFF;
     }},
};

class DamagedProgramTest : public ::testing::TestWithParam<Damage>
{
};
} // namespace

// Each damage is made to the build's own template and to one template of each program format.
TEST_P(DamagedProgramTest, IsRefusedAndLeftUntouched)
{
    for (const std::string& templatePath : {TemplatePath(), FixturePath("template-pe32.exe"), FixturePath("template-pe32plus.exe")})
    {
        SCOPED_TRACE(templatePath);
        ScratchFolder folder;
        const std::string program = folder.Path("damaged.exe");
        std::vector<BYTE> image = ReadBytes(templatePath);
        GetParam().apply(image);
        WriteBytes(program, image);

        SetLastError(0);
        CResourceUpdate* update = BeginUpdateResourceFile(program.c_str(), 0);
        EXPECT_EQ(update, nullptr);
        EXPECT_NE(GetLastError(), 0u);
        if (update)
        {
            const BYTE piece[16] = {};
            UpdateResourceFile(update, 21359, 1, 0, piece, sizeof piece);
            EndUpdateResourceFile(update, 0);
        }
        EXPECT_EQ(ReadBytes(program), image);
    }
}

INSTANTIATE_TEST_SUITE_P(Damages, DamagedProgramTest, ::testing::ValuesIn(kDamages),
                         [](const ::testing::TestParamInfo<Damage>& info) {
                             std::string name;
                             for (const char* c = info.param.name; *c; ++c)
                                 name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
                             return name;
                         });

// Programs as the linker makes them by default keep relocations or debug sections behind the resources.
TEST(LinkedProgramTest, ProgramsWithSectionsBehindTheResourcesAreRefused)
{
    for (const char* name : {"reswriter_template_relocs.exe", "reswriter_template_symbols.exe"})
    {
        ScratchFolder folder;
        const std::string program = folder.Path(name);
        const std::vector<BYTE> image = ReadBytes(ProgramFolder() + "\\" + name);
        WriteBytes(program, image);
        SetLastError(0);
        EXPECT_EQ(BeginUpdateResourceFile(program.c_str(), 0), nullptr) << name;
        EXPECT_EQ(GetLastError(), DWORD(ERROR_BAD_EXE_FORMAT)) << name;
        EXPECT_EQ(ReadBytes(program), image) << name;
        EXPECT_EQ(RunProgram(program, "check"), 0) << name;
    }
}

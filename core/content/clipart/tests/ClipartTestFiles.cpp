#include "ClipartTestFiles.h"
#include <fstream>
#include <iterator>

std::string ClipartFixturePath(const char* name)
{
    // Tests run in the program folder, beside which the build puts the fixtures.
    return std::string("clipart_fixtures\\") + name;
}

std::vector<unsigned char> ReadClipartFixture(const char* name)
{
    std::ifstream in(ClipartFixturePath(name), std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

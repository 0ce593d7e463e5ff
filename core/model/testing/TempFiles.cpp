#include "TempFiles.h"

#include <windows.h>

#include <cstdio>

TempFile::TempFile(const std::string& stem)
{
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    m_path = std::string(folder) + stem + "_" + std::to_string(GetCurrentProcessId()) + ".tmp";
    DeleteFileA(m_path.c_str());
}

TempFile::~TempFile()
{
    DeleteFileA(m_path.c_str());
}

void TempFile::Write(const std::vector<unsigned char>& bytes) const
{
    FILE* f = std::fopen(m_path.c_str(), "wb");
    if (!f)
        return;
    if (!bytes.empty())
        std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

#include "TemporaryFile.h"

#include <windows.h>

CTemporaryFile::CTemporaryFile(const char* prefix)
{
    char folder[MAX_PATH] = "";
    char path[MAX_PATH] = "";
    const DWORD length = GetTempPathA(MAX_PATH, folder);
    if (length == 0 || length >= MAX_PATH)
        return;
    if (GetTempFileNameA(folder, prefix, 0, path) == 0)
        return;
    m_path = path;
}

CTemporaryFile::~CTemporaryFile()
{
    if (!m_path.empty())
        DeleteFileA(m_path.c_str());
}

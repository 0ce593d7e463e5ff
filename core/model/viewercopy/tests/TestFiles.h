#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace testfiles {

using Bytes = std::vector<BYTE>;

// The folder of the running test program (every built program and library lies there).
std::string BinFolder();
// A fresh, empty folder for one test; removed with its files when the object goes.
class CScratchFolder
{
public:
    CScratchFolder();
    ~CScratchFolder();
    std::string File(const char* name) const { return m_path + "\\" + name; }

private:
    std::string m_path;
};

bool Exists(const std::string& path);
Bytes Read(const std::string& path);
void Write(const std::string& path, const Bytes& bytes);
// Bytes that differ from chunk to chunk, so that chunks joined in the wrong order show.
Bytes Pattern(size_t size);
// The card chunks (type 21359) a program holds, in name order 1, 2, 3 ... with the language of each.
struct Chunk
{
    Bytes bytes;
    WORD language = 0xFFFF;
};
std::vector<Chunk> ReadCardChunks(const std::string& programPath);
// The number of files whose names start with "afx" in the temporary folder.
int CountTemporaryCards();

}  // namespace testfiles

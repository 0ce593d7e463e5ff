#pragma once
#include <string>

// A file made in the system's temporary folder by GetTempFileName; deleted when the object goes.
class CTemporaryFile
{
public:
    // Creates the file (empty) with the given prefix; Path() is empty when that failed.
    explicit CTemporaryFile(const char* prefix);
    ~CTemporaryFile();
    CTemporaryFile(const CTemporaryFile&) = delete;
    CTemporaryFile& operator=(const CTemporaryFile&) = delete;

    const std::string& Path() const { return m_path; }
    bool IsValid() const { return !m_path.empty(); }

private:
    std::string m_path;
};

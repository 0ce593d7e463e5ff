#pragma once
#include <string>
#include <vector>

// A file in the temporary folder, deleted when the object goes.
class TempFile {
public:
    explicit TempFile(const std::string& stem);
    ~TempFile();
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    const std::string& Path() const { return m_path; }
    void Write(const std::vector<unsigned char>& bytes) const;

private:
    std::string m_path;
};

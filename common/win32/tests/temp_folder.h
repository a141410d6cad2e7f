#pragma once
// A fresh folder under the system's temporary folder, deleted with all it holds
// (read-only, hidden and system files too) when the test ends.
#include <windows.h>

#include <string>

namespace kanopa::testing {

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // UTF-8, ends in "\".
    const std::string& Path() const { return m_path; }
    std::string operator/(const std::string& name) const { return m_path + name; }

private:
    std::string m_path;
};

// Set-up helpers on UTF-8 paths; each fails the test when the system refuses.
void MakeFolder(const std::string& path);
void MakeFile(const std::string& path, const std::string& bytes, DWORD attributes = 0);

}  // namespace kanopa::testing

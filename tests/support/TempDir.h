// A fresh temporary folder per test, removed afterwards.
#pragma once

#include <filesystem>
#include <string>

namespace testsupport
{
class TempDir
{
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return mPath; }
    // Path of a file inside, as a wide string with "/" separators.
    std::wstring WPath(const std::string& name = "") const;
    std::filesystem::path Write(const std::string& name, const std::string& bytes) const;
    std::string Read(const std::string& name) const;

private:
    std::filesystem::path mPath;
};

// Folder of test data committed in the repository.
std::filesystem::path RepoTestData(const std::string& relative);
} // namespace testsupport

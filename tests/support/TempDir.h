// Temporary folders of the tests, all under one root in the build tree: a fresh one per test,
// and the folders of a process, named after its id so that those of a killed one can be swept;
// the working folder for a while, and the bytes of a file.
#pragma once

#include <filesystem>
#include <string>

namespace testsupport
{
// $QL_TEST_TMP (CTest sets it), else the testtmp folder of the build tree the tests come from;
// never the system's temporary folder.
std::filesystem::path TestTmpRoot();
// A new folder under the root, "p<process id>-<what>-<number>".
std::filesystem::path FreshFolder(const std::string& what);
// Removes the folders FreshFolder made for processes that no longer run (killed or crashed
// before their destructors ran).
void SweepDeadProcesses();

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

// The working folder moved for the helper's lifetime, then put back.
class InFolder
{
public:
    explicit InFolder(const std::filesystem::path& folder);
    ~InFolder();
    InFolder(const InFolder&) = delete;
    InFolder& operator=(const InFolder&) = delete;

private:
    std::filesystem::path mOld;
};

// Folder of test data committed in the repository.
std::filesystem::path RepoTestData(const std::string& relative);
// A file's bytes; empty when it cannot be read.
std::string ReadBytes(const std::filesystem::path& path);
} // namespace testsupport

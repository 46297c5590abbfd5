// Temporary folders under the build tree, removed by their owners or, once those are gone, swept.
#include "support/TempDir.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace testsupport
{
fs::path TestTmpRoot()
{
    const char* root = std::getenv("QL_TEST_TMP");
    return root && *root ? fs::path(root) : fs::path(QL_TEST_TMP_DEFAULT);
}

fs::path FreshFolder(const std::string& what)
{
    static std::atomic<unsigned> count{0};
    const std::string prefix = "p" + std::to_string(getpid()) + "-" + what + "-";
    std::error_code ec;
    fs::create_directories(TestTmpRoot(), ec);
    for (;;)
    {
        fs::path path = TestTmpRoot() / (prefix + std::to_string(++count));
        if (fs::create_directory(path, ec))
            return path;
        if (ec)
            throw fs::filesystem_error("cannot make a test folder", path, ec);
    }
}

void SweepDeadProcesses()
{
    std::error_code ec;
    std::vector<fs::path> dead;
    for (const fs::directory_entry& entry : fs::directory_iterator(TestTmpRoot(), ec))
    {
        const std::string name = entry.path().filename().string();
        const size_t dash = name.find('-');
        if (name[0] != 'p' || dash == std::string::npos || dash < 2 || name.find_first_not_of("0123456789", 1) != dash)
            continue;
        if (kill(static_cast<pid_t>(std::stol(name.substr(1, dash - 1))), 0) != 0 && errno == ESRCH)
            dead.push_back(entry.path());
    }
    for (const fs::path& path : dead)
        fs::remove_all(path, ec);
}

TempDir::TempDir() : mPath(FreshFolder("t")) {}

TempDir::~TempDir()
{
    std::error_code ec;
    fs::remove_all(mPath, ec);
}

std::wstring TempDir::WPath(const std::string& name) const
{
    fs::path p = name.empty() ? mPath : mPath / name;
    std::wstring w = p.wstring();
    if (name.empty() && (w.empty() || w.back() != L'/'))
        w += L'/';
    return w;
}

fs::path TempDir::Write(const std::string& name, const std::string& bytes) const
{
    fs::path p = mPath / name;
    fs::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return p;
}

std::string TempDir::Read(const std::string& name) const { return ReadBytes(mPath / name); }

InFolder::InFolder(const fs::path& folder) : mOld(fs::current_path()) { fs::current_path(folder); }

InFolder::~InFolder()
{
    std::error_code ec;
    fs::current_path(mOld, ec);
}

std::string ReadBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

fs::path RepoTestData(const std::string& relative) { return fs::path(QL_SOURCE_DIR) / "tests/data" / relative; }

} // namespace testsupport

// A fresh temporary folder per test, removed with it.
#include "support/TempDir.h"

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

namespace fs = std::filesystem;

namespace testsupport
{
TempDir::TempDir()
{
    const char* root = std::getenv("QL_TEST_TMP");
    fs::path base = root && *root ? fs::path(root) : fs::temp_directory_path() / "ql-tests";
    std::random_device rd;
    for (;;)
    {
        fs::path p = base / ("t" + std::to_string(rd()));
        std::error_code ec;
        fs::create_directories(base, ec);
        if (fs::create_directory(p, ec))
        {
            mPath = p;
            break;
        }
    }
}

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

std::string TempDir::Read(const std::string& name) const
{
    std::ifstream in(mPath / name, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

fs::path RepoTestData(const std::string& relative) { return fs::path(QL_SOURCE_DIR) / "tests/data" / relative; }

} // namespace testsupport

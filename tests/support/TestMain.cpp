// Test entry: keeps every test away from the real home folder, and writes down the cases it skips.
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace
{
// Appends "program: Suite.Case: why" for each skipped case to the file QL_SKIP_LOG names (the
// test summary lists them: a skip is seen, not counted as a pass).
class SkipLog : public ::testing::EmptyTestEventListener
{
public:
    SkipLog(std::string program, const char* file) : mProgram(std::move(program)), mFile(file) {}

    void OnTestEnd(const ::testing::TestInfo& info) override
    {
        const ::testing::TestResult* result = info.result();
        if (!result->Skipped())
            return;
        std::string why;
        for (int i = 0; i < result->total_part_count(); ++i)
            if (result->GetTestPartResult(i).skipped())
                why = result->GetTestPartResult(i).message();
        for (char& c : why)
            if (c == '\n')
                c = ' ';
        const std::string line = mProgram + ": " + info.test_suite_name() + "." + info.name() + ": " + why + "\n";
        if (std::FILE* out = std::fopen(mFile.c_str(), "a"))
        {
            std::fputs(line.c_str(), out);
            std::fclose(out);
        }
    }

private:
    std::string mProgram;
    std::string mFile;
};
} // namespace

int main(int argc, char** argv)
{
    std::setlocale(LC_ALL, "C.UTF-8");
    static testsupport::TempDir home;
    setenv("XDG_DATA_HOME", (home.Path() / "xdg").c_str(), 1);
    setenv("HOME", (home.Path() / "home").c_str(), 1);
    std::filesystem::create_directories(home.Path() / "xdg");
    std::filesystem::create_directories(home.Path() / "home");
    ::testing::InitGoogleTest(&argc, argv);
    if (const char* file = std::getenv("QL_SKIP_LOG"); file && *file)
        ::testing::UnitTest::GetInstance()->listeners().Append(
            new SkipLog(std::filesystem::path(argv[0]).filename().string(), file));
    return RUN_ALL_TESTS();
}

// Test entry: keeps every test away from the real home folder, writes down the cases it skips,
// names each case as it starts and runs its share of the cases when sharded by cost.
#include "support/CaseShards.h"
#include "support/CaseTrace.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
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

// QL_TOTAL_SHARDS and QL_SHARD_INDEX with QL_CASE_COSTS (a file of ReadCaseCosts): this process
// runs the cases ShardCases gives its shard, unless a filter was asked for.
bool FilterToCostShard()
{
    const char* total = std::getenv("QL_TOTAL_SHARDS");
    const char* index = std::getenv("QL_SHARD_INDEX");
    const char* costsFile = std::getenv("QL_CASE_COSTS");
    if (!total || !index || !costsFile)
        return true;
    if (GTEST_FLAG_GET(filter) != "*")
    {
        std::fprintf(stderr, "note: --gtest_filter given, the cost shards are not applied\n");
        return true;
    }
    std::ifstream in(costsFile);
    if (!in)
    {
        std::fprintf(stderr, "cannot read the case costs '%s'\n", costsFile);
        return false;
    }
    std::vector<std::string> cases;
    const ::testing::UnitTest& unit = *::testing::UnitTest::GetInstance();
    for (int s = 0; s < unit.total_test_suite_count(); ++s)
    {
        const ::testing::TestSuite& suite = *unit.GetTestSuite(s);
        for (int t = 0; t < suite.total_test_count(); ++t)
            cases.push_back(std::string(suite.name()) + "." + suite.GetTestInfo(t)->name());
    }
    std::string filter;
    for (const std::string& name :
         testsupport::ShardCases(cases, testsupport::ReadCaseCosts(in), std::atoi(total), std::atoi(index)))
        filter += (filter.empty() ? "" : ":") + name;
    GTEST_FLAG_SET(filter, filter.empty() ? "-*" : filter);
    return true;
}
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
    if (GTEST_FLAG_GET(brief))
        ::testing::UnitTest::GetInstance()->listeners().Append(new testsupport::RunTrace);
    if (const char* file = std::getenv("QL_CASE_SECONDS"); file && *file)
        ::testing::UnitTest::GetInstance()->listeners().Append(new testsupport::CaseSeconds(file));
    if (!FilterToCostShard())
        return 1;
    return RUN_ALL_TESTS();
}

// Case start lines on stderr and case times in a file.
#include "support/CaseTrace.h"

#include <cstdio>

namespace testsupport
{
void RunTrace::OnTestStart(const ::testing::TestInfo& info)
{
    const double at = std::chrono::duration<double>(std::chrono::steady_clock::now() - mStart).count();
    std::fprintf(stderr, "[ RUN      ] %s.%s (at %.1f s)\n", info.test_suite_name(), info.name(), at);
}

void CaseSeconds::OnTestEnd(const ::testing::TestInfo& info)
{
    if (std::FILE* out = std::fopen(mFile.c_str(), "a"))
    {
        std::fprintf(out, "%s.%s %.3f\n", info.test_suite_name(), info.name(),
                     static_cast<double>(info.result()->elapsed_time()) / 1000.0);
        std::fclose(out);
    }
}
} // namespace testsupport

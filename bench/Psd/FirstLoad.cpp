// One load of a PSD file in a process that has loaded nothing before, as the game loads each file
// once: every page the load touches is fresh. Prints the load's milliseconds, the growth of the
// peak resident size in MB, the minor page faults and the system CPU milliseconds.
#include "Core/Psd/Document.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <sys/resource.h>

namespace
{
long StatusKb(const char* field)
{
    std::FILE* status = std::fopen("/proc/self/status", "r");
    char line[256];
    long kb = 0;
    const size_t n = std::strlen(field);
    while (status && std::fgets(line, sizeof line, status))
        if (std::strncmp(line, field, n) == 0)
            kb = std::atol(line + n);
    if (status)
        std::fclose(status);
    return kb;
}

double Ms(const timeval& t)
{
    return t.tv_sec * 1e3 + t.tv_usec / 1e3;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: psd_first_load FILE.psd\n");
        return 2;
    }
    if (std::FILE* reset = std::fopen("/proc/self/clear_refs", "w"))
    {
        std::fputs("5", reset); // the peak resident size restarts from here
        std::fclose(reset);
    }
    const long before = StatusKb("VmRSS:");
    rusage start{}, end{};
    getrusage(RUSAGE_SELF, &start);
    const auto t0 = std::chrono::steady_clock::now();
    psd::Document* doc = nullptr;
    const i32 status = psd::LoadDocument(&doc, argv[1]);
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    getrusage(RUSAGE_SELF, &end);
    if (status != psd::kOk)
    {
        std::printf("status %d, peak %.2f MB\n", status, (StatusKb("VmHWM:") - before) / 1024.0);
        return 1;
    }
    std::printf("%.3f %.2f %ld %.3f\n", ms, (StatusKb("VmHWM:") - before) / 1024.0, end.ru_minflt - start.ru_minflt,
                Ms(end.ru_stime) - Ms(start.ru_stime));
    psd::FreeDocument(doc);
    return 0;
}

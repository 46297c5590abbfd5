// One load of a PSD file in a process that has loaded nothing before, as the game loads each file
// once: every page the load touches is fresh. Prints the load's milliseconds, the growth of the
// peak resident size in MB, the minor page faults and the system CPU milliseconds. With a count,
// then loads the file count - 1 times more keeping every document, as the game keeps the files it
// loaded (nothing freed is there to reuse), and prints the median of those loads as well.
#include "Core/Psd/Document.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

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

double Ms(const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; }
} // namespace

int main(int argc, char** argv)
{
    if (argc != 2 && argc != 3)
    {
        std::fprintf(stderr, "usage: psd_first_load FILE.psd [COUNT]\n");
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
    std::printf("%.3f %.2f %ld %.3f", ms, (StatusKb("VmHWM:") - before) / 1024.0, end.ru_minflt - start.ru_minflt,
                Ms(end.ru_stime) - Ms(start.ru_stime));
    std::vector<psd::Document*> kept{doc};
    std::vector<double> times;
    for (int i = 1; i < (argc == 3 ? std::atoi(argv[2]) : 1); ++i)
    {
        const auto t = std::chrono::steady_clock::now();
        psd::Document* next = nullptr;
        if (psd::LoadDocument(&next, argv[1]) != psd::kOk)
            return 1;
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t).count());
        kept.push_back(next);
    }
    std::sort(times.begin(), times.end());
    if (!times.empty())
        std::printf(" %.3f", times[times.size() / 2]);
    std::printf("\n");
    for (psd::Document* d : kept)
        psd::FreeDocument(d);
    return 0;
}

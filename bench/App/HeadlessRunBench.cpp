// A long headless run of the real executable (QL_HEADLESS=1 on the demo data): its resident size
// and CPU sampled at even steps, as a player's idle game at the logos and menus would run for
// minutes. Figures: the resident size at each sample and its ratio to the first sample's; CPU
// seconds per wall second of the whole process and of its main thread over each step. The run
// lasts QL_HEADLESS_RUN_SECONDS (600 when unset) in ten steps; it ends with SIGTERM, and the exit
// code, the log's closing and the save at exit are checked.
#include <benchmark/benchmark.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace
{
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
constexpr int kSteps = 10;

double RunSeconds()
{
    const char* text = std::getenv("QL_HEADLESS_RUN_SECONDS");
    const double seconds = text ? std::atof(text) : 0.0;
    return seconds > 0.0 ? seconds : 600.0;
}

std::string ReadText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Resident size in MB (VmRSS), 0 once the process is gone.
double ResidentMegabytes(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atof(line.c_str() + 6) / 1024.0;
    return 0.0;
}

// User and system CPU seconds of a process or one of its threads (a /proc stat file).
double CpuSeconds(const std::string& statPath)
{
    const std::string stat = ReadText(statPath);
    const size_t end = stat.rfind(')');
    if (end == std::string::npos)
        return 0.0;
    std::istringstream fields(stat.substr(end + 2));
    std::string field;
    double ticks = 0.0;
    // After the name: state is field 3; utime and stime are fields 14 and 15.
    for (int index = 3; index <= 15 && fields >> field; ++index)
        if (index >= 14)
            ticks += std::atof(field.c_str());
    return ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
}

struct Sample
{
    double wall = 0.0; // seconds since the first frame
    double rss = 0.0;  // MB
    double cpu = 0.0;  // process CPU seconds
    double main = 0.0; // main thread CPU seconds
};

Sample Take(pid_t pid, Clock::time_point start)
{
    const std::string proc = "/proc/" + std::to_string(pid);
    Sample s;
    s.wall = std::chrono::duration<double>(Clock::now() - start).count();
    s.rss = ResidentMegabytes(pid);
    s.cpu = CpuSeconds(proc + "/stat");
    s.main = CpuSeconds(proc + "/task/" + std::to_string(pid) + "/stat");
    return s;
}

bool WaitFor(const std::function<bool()>& condition, double seconds)
{
    const auto until = Clock::now() + std::chrono::duration<double>(seconds);
    while (!condition())
    {
        if (Clock::now() > until)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return true;
}

void BM_HeadlessRun(benchmark::State& state)
{
    const double seconds = RunSeconds();
    const fs::path work = fs::temp_directory_path() / ("bench_headless_run." + std::to_string(getpid()));
    const fs::path user = work / "xdg" / "Marrowgate" / "Brackenmoor";
    for (auto _ : state)
    {
        fs::remove_all(work);
        fs::create_directories(work / "run");
        fs::permissions(work / "run", fs::perms::owner_all);
        // The game's environment: headless, its folders in the work folder, no dialog, no shell.
        std::vector<std::string> env;
        for (char** e = environ; *e; ++e)
            env.emplace_back(*e);
        env.insert(env.end(),
                   {"QL_HEADLESS=1", "XDG_DATA_HOME=" + (work / "xdg").string(),
                    "XDG_RUNTIME_DIR=" + (work / "run").string(), "QL_NO_MESSAGE_BOX=1", "QL_NO_SHELL_OPEN=1"});
        std::vector<char*> envp;
        for (std::string& e : env)
            envp.push_back(e.data());
        envp.push_back(nullptr);
        std::string game = QL_BRACKENMOOR, dataOption = "--data_path", data = QL_DATA_FOLDER "/";
        char* argv[] = {game.data(), dataOption.data(), data.data(), nullptr};
        pid_t pid = 0;
        if (posix_spawn(&pid, game.c_str(), nullptr, nullptr, argv, envp.data()) != 0)
        {
            state.SkipWithError("the game could not be started");
            break;
        }
        const fs::path log = user / "log.html";
        if (!WaitFor([&] { return ReadText(log).find("First frame presented") != std::string::npos; }, 120.0))
        {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
            state.SkipWithError("the game showed no first frame");
            break;
        }

        const Clock::time_point start = Clock::now();
        std::vector<Sample> samples{Take(pid, start)};
        std::printf("%-8s %10s %8s %12s %12s\n", "wall s", "RSS MB", "RSS/1st", "CPU/wall", "main/wall");
        for (int step = 1; step <= kSteps; ++step)
        {
            std::this_thread::sleep_until(start + std::chrono::duration<double>(seconds * step / kSteps));
            samples.push_back(Take(pid, start));
            const Sample& s = samples.back();
            const Sample& p = samples[samples.size() - 2];
            const double wall = s.wall - p.wall;
            std::printf("%-8.1f %10.1f %8.3f %12.4f %12.4f\n", s.wall, s.rss, s.rss / samples[1].rss,
                        (s.cpu - p.cpu) / wall, (s.main - p.main) / wall);
            std::fflush(stdout);
        }

        kill(pid, SIGTERM);
        int status = 0;
        const bool ended = WaitFor([&] { return waitpid(pid, &status, WNOHANG) == pid; }, 60.0);
        if (!ended)
        {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
        }
        const std::string closing = "</body></html>";
        const std::string logText = ReadText(log);
        const bool logWhole = logText.size() >= closing.size() &&
                              logText.compare(logText.size() - closing.size(), closing.size(), closing) == 0;
        const bool saved = ReadText(user / "profiles.xml").find("currentProfile") != std::string::npos;
        const bool clean = ended && WIFEXITED(status) && WEXITSTATUS(status) == 0;
        std::printf("SIGTERM: %s, log %s, profiles.xml %s\n", clean ? "exit 0" : "NOT a clean exit",
                    logWhole ? "closed" : "NOT closed", saved ? "saved" : "NOT saved");
        if (!clean || !logWhole || !saved)
            state.SkipWithError("the headless run did not end cleanly");

        const Sample& first = samples[1];
        const Sample& last = samples.back();
        double lowest = first.rss, highest = first.rss;
        for (size_t i = 1; i < samples.size(); ++i)
        {
            lowest = std::min(lowest, samples[i].rss);
            highest = std::max(highest, samples[i].rss);
        }
        // From the first step on: the start-up's own work is not the steady run's.
        const double wall = last.wall - first.wall;
        state.SetIterationTime(last.wall);
        state.counters["rss_first_MB"] = first.rss;
        state.counters["rss_last_MB"] = last.rss;
        state.counters["rss_last_to_first"] = last.rss / first.rss;
        state.counters["rss_max_to_first"] = highest / first.rss;
        state.counters["rss_min_to_first"] = lowest / first.rss;
        state.counters["cpu_per_wall"] = (last.cpu - first.cpu) / wall;
        state.counters["main_cpu_per_wall"] = (last.main - first.main) / wall;
    }
    fs::remove_all(work);
}
BENCHMARK(BM_HeadlessRun)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
} // namespace

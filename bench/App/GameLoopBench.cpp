// Start-up to the first presented frame, and the cost of an idle frame step, on the headless
// window, the recording device and the silent audio device (no vsync, no GPU, no sound card):
// the engine's own share of each.
#include "App/ShellGame.h"
#include "Core/Base/Singletone.h"
#include "Core/Media/Sound/SoundSystem.h"
#include "Platform/Audio/NullDevice.h"
#include "Platform/Os/NullVideo.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace
{
struct Folders
{
    Folders()
    {
        root = fs::temp_directory_path() / ("ql-bench-" + std::to_string(::getpid()));
        fs::create_directories(root / "data");
        fs::create_directories(root / "xdg");
        std::ofstream(root / "data" / "play.url") << "[InternetShortcut]\n";
        setenv("XDG_DATA_HOME", (root / "xdg").c_str(), 1);
        setenv("QL_NO_SHELL_OPEN", "1", 1);
        setenv("QL_NO_MESSAGE_BOX", "1", 1);
        // No sound card either: opening one (or failing to) is the system's time, not the engine's.
        audio::SetDeviceFactory([]() -> std::unique_ptr<audio::Device>
                                { return std::make_unique<audio::NullDevice>(); });
        cwd = fs::current_path();
    }
    ~Folders()
    {
        audio::SetDeviceFactory(nullptr);
        fs::current_path(cwd);
        fs::remove_all(root);
    }
    fs::path root;
    fs::path cwd;
};

ShellGame* MakeGame(const Folders& folders)
{
    // The engine's own cost: frames as fast as they come.
    auto driver = std::make_unique<os::NullVideoDriver>();
    driver->mFreeRunning = true;
    os::SetVideoDriver(std::move(driver));
    auto* game = new ShellGame();
    game->Arguments() = {L"--data_path", (folders.root / "data").wstring() + L"/"};
    return game->Init() ? nullptr : game;
}

ShellGame* StartGame(const Folders& folders)
{
    ShellGame* game = MakeGame(folders);
    return game && !game->Start() ? game : nullptr;
}

void Finish(const Folders& folders)
{
    base::SingletoneBase::DestroyAll();
    os::SetVideoDriver(nullptr);
    fs::current_path(folders.cwd);
}
} // namespace

static void BM_StartUpToFirstFrame(benchmark::State& state)
{
    Folders folders;
    for (auto _ : state)
    {
        ShellGame* game = StartGame(folders);
        if (!game || game->FrameStep(0.016f))
        {
            state.SkipWithError("start-up failed");
            break;
        }
        state.PauseTiming();
        Finish(folders);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartUpToFirstFrame)->Unit(benchmark::kMicrosecond);

static void BM_IdleFrameStep(benchmark::State& state)
{
    Folders folders;
    ShellGame* game = StartGame(folders);
    if (!game)
    {
        state.SkipWithError("start-up failed");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(game->FrameStep(0.016f));
    Finish(folders);
}
BENCHMARK(BM_IdleFrameStep)->Unit(benchmark::kMicrosecond);

// One whole pass of the main loop: the root's tick, the window's event pump and the frame step.
static void BM_IdleMainLoopPass(benchmark::State& state)
{
    Folders folders;
    // The first tick runs the start-up and takes the window in, as the main loop's first pass does.
    ShellGame* game = MakeGame(folders);
    if (!game || game->Tick(0.016f) || game->HasNoChildren() || !game->mWindow)
    {
        state.SkipWithError("start-up failed");
        return;
    }
    const u64 before = game->mFrameCount;
    for (auto _ : state)
        benchmark::DoNotOptimize(game->Tick(0.016f));
    state.counters["frames_per_pass"] =
        static_cast<double>(game->mFrameCount - before) / static_cast<double>(state.iterations());
    Finish(folders);
}
BENCHMARK(BM_IdleMainLoopPass)->Unit(benchmark::kMicrosecond);

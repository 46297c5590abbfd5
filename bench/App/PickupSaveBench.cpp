// A battle frame in which the player picks up a gem: the pickup saves the profiles file at once.
// Before, that save wrote and flushed the file inside the frame; now the frame prints the file and
// hands it to the saver's worker. The game runs through the test harness on the demo data (headless
// window, recording device), its user-data folder on the build's disk. Wall time, since a flush
// waits for the disk without using the CPU.
#include "Core/File/FileWriter.h"
#include "Core/File/Profiles.h"
#include "Source/TD/Battle/TDMap.h"
#include "support/GameHarness.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>

namespace
{
using Clock = std::chrono::steady_clock;
constexpr double kFrameAt60Hz = 1000.0 / 60.0; // ms

// One frame with a pickup: the gem counted and saved (as TDMap::collectDrop does), then one pass of
// the main loop; without the pickup, the frame alone. Its wall time in milliseconds.
double pickupFrame(testsupport::GameHarness& game, bool pickup = true)
{
    const Clock::time_point start = Clock::now();
    if (pickup)
        game.map().mStats.addGems(1);
    game.frame(1.0f / 60.0f);
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

bool startBattle(testsupport::GameHarness& game, benchmark::State& state)
{
    if (game.started() && game.startLevel(0, 0))
        return true;
    state.SkipWithError("the first demo level did not start");
    return false;
}

// state.range(0): 0 saves on the frame (before), 1 hands the save to the worker (now).
void BM_PickupFrame(benchmark::State& state)
{
    testsupport::GameHarness game;
    if (!startBattle(game, state))
        return;
    file::Profiles* profiles = file::Profiles::Instance();
    file::FileWriter* worker = profiles->GetWriter();
    if (state.range(0) == 0)
        profiles->SetWriter(nullptr);
    double worst = 0.0;
    int late = 0;
    for (auto _ : state)
    {
        const double ms = pickupFrame(game);
        state.SetIterationTime(ms / 1000.0);
        worst = std::max(worst, ms);
        late += ms > kFrameAt60Hz ? 1 : 0;
    }
    profiles->SetWriter(worker); // waits for the last save
    state.counters["worst_ms"] = worst;
    state.counters["over_16.7ms"] = late;
}
BENCHMARK(BM_PickupFrame)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond);

// Both in one run, frame by frame in turn with a frame without a pickup, so that the disk and the
// machine's load are the same for each: the mean and worst frame of each way, how many frames
// missed 60 Hz, and the ratio of the means.
void BM_PickupFrameRatio(benchmark::State& state)
{
    testsupport::GameHarness game;
    if (!startBattle(game, state))
        return;
    file::Profiles* profiles = file::Profiles::Instance();
    file::FileWriter* worker = profiles->GetWriter();
    double sum[3] = {0, 0, 0}, worst[3] = {0, 0, 0};
    int late[3] = {0, 0, 0};
    int frames = 0;
    for (auto _ : state)
    {
        for (int way = 0; way < 3; ++way)
        {
            profiles->SetWriter(way == 0 ? nullptr : worker); // waits for the worker's saves
            const double ms = pickupFrame(game, way < 2);
            sum[way] += ms;
            worst[way] = std::max(worst[way], ms);
            late[way] += ms > kFrameAt60Hz ? 1 : 0;
        }
        ++frames;
    }
    profiles->SetWriter(worker);
    if (frames == 0)
        return;
    state.counters["sync_mean_ms"] = sum[0] / frames;
    state.counters["sync_worst_ms"] = worst[0];
    state.counters["sync_over_16.7ms"] = late[0];
    state.counters["worker_mean_ms"] = sum[1] / frames;
    state.counters["worker_worst_ms"] = worst[1];
    state.counters["worker_over_16.7ms"] = late[1];
    state.counters["plain_mean_ms"] = sum[2] / frames;
    state.counters["plain_worst_ms"] = worst[2];
    state.counters["plain_over_16.7ms"] = late[2];
    state.counters["ratio"] = sum[1] > 0 ? sum[0] / sum[1] : 0.0;
}
BENCHMARK(BM_PickupFrameRatio)->Iterations(200)->Unit(benchmark::kMillisecond);
} // namespace

// PSD reader speed and memory on a 2048 x 2048 document of 65 layers (a background and 64 sprites),
// RLE and ZIP, against stb_image (composite only), ImageMagick and psd-tools (all layers) in the
// same run, on the default allocator as the game runs. The Ratio rows time ours and the peer in
// turns and print ours / peer.
#include "BenchPsdWriter.h"

#include "Core/Psd/ByteStream.h"
#include "Core/Psd/Document.h"

#include <benchmark/benchmark.h>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PSD
#include <stb/stb_image.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include <libdeflate.h>
#include <zlib.h>

namespace
{
constexpr u32 kSize = 2048;
constexpr u32 kSprites = 64;

// compression 1 RLE, 2 ZIP; 3: RLE over a flat background.
const std::string& Document(u16 compression)
{
    static const std::string rle = psdbench::MakeLayeredDocument(kSize, kSize, kSprites, 1);
    static const std::string zip = psdbench::MakeLayeredDocument(kSize, kSize, kSprites, 2);
    static const std::string flat = psdbench::MakeLayeredDocument(kSize, kSize, kSprites, 1, true);
    return compression == 1 ? rle : compression == 2 ? zip : flat;
}

const std::string& CompositeOnly()
{
    static const std::string bytes = psdbench::MakeCompositeOnly(kSize, kSize);
    return bytes;
}

std::string Written(const std::string& name, const std::string& bytes)
{
    std::string path = "/tmp/ql_bench_psd_" + name + ".psd";
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

std::string FileOf(u16 compression) { return Written(std::to_string(compression), Document(compression)); }

// The GIMP-written kind of file the game loads: 65 PackBits layers.
const std::string& GimpFile()
{
    static const std::string path = Written("gimp", psdbench::MakeGimpDocument(kSize, kSize, kSprites));
    return path;
}

void Load(const std::string& bytes)
{
    // A view onto the bytes (an engine MemoryStream would copy them first).
    psd::ByteStream stream(reinterpret_cast<const u8*>(bytes.data()), static_cast<u32>(bytes.size()));
    psd::Document* doc = nullptr;
    if (psd::LoadDocument(&doc, stream) != psd::kOk)
        std::abort();
    benchmark::DoNotOptimize(doc->mLayers.back().mPixels.data());
    psd::FreeDocument(doc);
}

void WholeDocument(benchmark::State& state, u16 compression)
{
    const std::string& bytes = Document(compression);
    for (auto _ : state)
        Load(bytes);
    state.counters["file_MB"] = bytes.size() / 1e6;
}

struct FirstLoadFigures
{
    double mMs = -1.0, mPeakMb = 0.0, mFaults = 0.0, mSystemMs = 0.0;
    double mKeptMs = -1.0; // median of the further loads that keep their documents
};

// One load in a fresh process (psd_first_load): no memory freed by an earlier load is there to
// reuse, so every page the load touches is faulted in, as when the game loads a file once.
FirstLoadFigures FirstLoad(const std::string& path, int loads = 1)
{
    FirstLoadFigures f;
    std::FILE* pipe = popen((std::string(QL_PSD_FIRST_LOAD) + " " + path + " " + std::to_string(loads)).c_str(), "r");
    if (!pipe)
        return f;
    if (std::fscanf(pipe, "%lf %lf %lf %lf", &f.mMs, &f.mPeakMb, &f.mFaults, &f.mSystemMs) != 4 ||
        (loads > 1 && std::fscanf(pipe, "%lf", &f.mKeptMs) != 1))
        f.mMs = -1.0;
    if (pclose(pipe) != 0)
        f.mMs = -1.0;
    return f;
}

// Peak resident growth and time of one load in a fresh process.
void PeakMemory(benchmark::State& state, u16 compression)
{
    const std::string path = FileOf(compression);
    std::vector<FirstLoadFigures> runs;
    for (auto _ : state)
        for (int i = 0; i < 5; ++i)
            runs.push_back(FirstLoad(path));
    std::sort(runs.begin(), runs.end(), [](const auto& a, const auto& b) { return a.mMs < b.mMs; });
    const FirstLoadFigures& median = runs[runs.size() / 2];
    if (median.mMs < 0)
    {
        state.SkipWithError("psd_first_load failed");
        return;
    }
    const double decoded = psdbench::DecodedBytes(kSize, kSize, kSprites) / (1024.0 * 1024.0);
    const double channel = kSize * double(kSize) / (1024.0 * 1024.0);
    state.counters["first_load_ms"] = median.mMs;
    state.counters["faults"] = median.mFaults;
    state.counters["peak_MB"] = median.mPeakMb;
    state.counters["pixels_plus_channel_MB"] = decoded + channel;
    state.counters["ratio"] = median.mPeakMb / (decoded + channel);
}

// zlib alone on the layer channel streams of the ZIP document.
void ZlibOnly(benchmark::State& state)
{
    static const auto streams = psdbench::ZipChannelStreams(kSize, kSize, kSprites);
    std::vector<u8> out;
    for (auto _ : state)
        for (const auto& [data, size] : streams)
        {
            out.resize(size);
            uLongf length = size;
            uncompress(out.data(), &length, reinterpret_cast<const Bytef*>(data.data()), data.size());
            benchmark::DoNotOptimize(out.data());
        }
}

// libdeflate on the same streams: what the reader uses for whole layer channels.
void LibdeflateOnly(benchmark::State& state)
{
    static const auto streams = psdbench::ZipChannelStreams(kSize, kSize, kSprites);
    libdeflate_decompressor* decompressor = libdeflate_alloc_decompressor();
    std::vector<u8> out;
    for (auto _ : state)
        for (const auto& [data, size] : streams)
        {
            out.resize(size);
            if (libdeflate_zlib_decompress(decompressor, data.data(), data.size(), out.data(), size, nullptr) !=
                LIBDEFLATE_SUCCESS)
                std::abort();
            benchmark::DoNotOptimize(out.data());
        }
    libdeflate_free_decompressor(decompressor);
}

void MergedOnly(benchmark::State& state)
{
    const std::string& bytes = CompositeOnly();
    for (auto _ : state)
        Load(bytes);
}

void StbLoad(const std::string& bytes)
{
    int w, h, n;
    stbi_uc* pixels = stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(bytes.data()),
                                            static_cast<int>(bytes.size()), &w, &h, &n, 4);
    if (!pixels)
        std::abort();
    benchmark::DoNotOptimize(pixels);
    stbi_image_free(pixels);
}

void StbComposite(benchmark::State& state, const std::string& bytes)
{
    for (auto _ : state)
        StbLoad(bytes);
}

// Runs a command and takes the seconds it prints on its last line (or its wall time); -1 when it
// cannot run.
double RunExternal(const std::string& command, bool printsSeconds)
{
    auto start = std::chrono::steady_clock::now();
    std::FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return -1.0;
    char line[256] = {};
    std::string last;
    while (std::fgets(line, sizeof line, pipe))
        last = line;
    int rc = pclose(pipe);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (rc != 0)
        return -1.0;
    return printsSeconds ? std::atof(last.c_str()) : seconds;
}

void External(benchmark::State& state, const std::string& command, bool printsSeconds)
{
    for (auto _ : state)
    {
        double seconds = RunExternal(command, printsSeconds);
        if (seconds < 0)
        {
            state.SkipWithError("tool missing or failed");
            return;
        }
        state.SetIterationTime(seconds);
    }
}

std::string PsdTools(u16 compression)
{
    // Debian's python3-psd-tools; the timing excludes the interpreter's start.
    return "/usr/bin/python3 -c \"import time; from psd_tools import PSDImage; t=time.perf_counter(); "
           "p=PSDImage.open('" +
           FileOf(compression) + "'); [l.topil() for l in p]; print(time.perf_counter()-t)\" 2>/dev/null";
}

// psd-tools opening the file and decoding every layer `loads` times in one Python process; prints
// the best time, as psd-tools is measured at its fastest (warm interpreter and caches).
std::string PsdToolsBest(const std::string& path, int loads)
{
    return "/usr/bin/python3 -c \"import time; from psd_tools import PSDImage\n"
           "def load():\n t=time.perf_counter(); p=PSDImage.open('" +
           path +
           "'); [l.topil() for l in p]; "
           "return time.perf_counter()-t\n"
           "print(min(load() for _ in range(" +
           std::to_string(loads) + ")))\" 2>/dev/null";
}

std::string ImageMagick(u16 compression) { return "convert-im6.q16 " + FileOf(compression) + " null: 2>/dev/null"; }

template <class F> double Seconds(F run)
{
    auto start = std::chrono::steady_clock::now();
    run();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Ours and the peer timed in turns, so both see the same load on a shared machine: each round runs
// ours `per` times and the peer once. Prints both medians and ours / peer.
template <class Ours, class Peer> void SideBySide(benchmark::State& state, Ours ours, Peer peer, int rounds, int per)
{
    std::vector<double> mine, theirs;
    for (auto _ : state)
        for (int round = 0; round < rounds; ++round)
        {
            for (int k = 0; k < per; ++k)
                mine.push_back(Seconds(ours));
            double seconds = peer();
            if (seconds < 0)
            {
                state.SkipWithError("peer missing or failed");
                return;
            }
            theirs.push_back(seconds);
        }
    const double a = Median(mine), b = Median(theirs);
    state.SetIterationTime(a);
    state.counters["ours_ms"] = a * 1e3;
    state.counters["peer_ms"] = b * 1e3;
    state.counters["ratio"] = a / b;
}

// All layers (and the composite) of an RLE document against psd-tools' layers.
void RatioLayersPsdTools(benchmark::State& state, u16 document)
{
    const std::string& bytes = Document(document);
    const std::string command = PsdTools(document);
    SideBySide(
        state, [&] { Load(bytes); }, [&] { return RunExternal(command, true); }, 3, 10);
}

// All layers of the GIMP file against psd-tools, in a loop and as the first load of a fresh
// process, in turns so that both see the same machine load. Each round: 10 loads of ours in this
// process, 4 first loads in fresh processes (the last of which goes on to load the file 8 times
// more keeping every document, as the game keeps its files), psd-tools' best of 5 in one Python
// process and psd-tools' one load in a fresh Python process (timed inside Python, without its
// start-up). Medians over the rounds (and the slowest tenth of our first loads); x = psd-tools'
// best / ours.
void GimpAgainstPsdTools(benchmark::State& state)
{
    const std::string& path = GimpFile();
    // The load alone, as psd-tools' time leaves out freeing its images.
    auto load = [&]
    {
        psd::Document* doc = nullptr;
        const double seconds = Seconds(
            [&]
            {
                if (psd::LoadDocument(&doc, path.c_str()) != psd::kOk)
                    std::abort();
            });
        benchmark::DoNotOptimize(doc->mLayers.back().mPixels.data());
        psd::FreeDocument(doc);
        return seconds;
    };
    std::vector<double> loop, first, peak, faults, best, fresh, kept;
    for (auto _ : state)
        for (int round = 0; round < 5; ++round)
        {
            for (int k = 0; k < 10; ++k)
                loop.push_back(load() * 1e3);
            for (int k = 0; k < 4; ++k)
            {
                const FirstLoadFigures f = FirstLoad(path, k == 3 ? 9 : 1);
                if (f.mMs < 0)
                {
                    state.SkipWithError("psd_first_load failed");
                    return;
                }
                first.push_back(f.mMs);
                peak.push_back(f.mPeakMb);
                faults.push_back(f.mFaults);
                if (k == 3)
                    kept.push_back(f.mKeptMs);
            }
            const double peer = RunExternal(PsdToolsBest(path, 5), true);
            const double peerFresh = RunExternal(PsdToolsBest(path, 1), true);
            if (peer < 0 || peerFresh < 0)
            {
                state.SkipWithError("psd-tools missing or failed");
                return;
            }
            best.push_back(peer * 1e3);
            fresh.push_back(peerFresh * 1e3);
        }
    const double pixels = psdbench::GimpDecodedBytes(kSize, kSize, kSprites) / (1024.0 * 1024.0);
    const double channel = kSize * double(kSize) / (1024.0 * 1024.0);
    state.SetIterationTime(Median(loop) / 1e3);
    state.counters["ours_loop_ms"] = Median(loop);
    state.counters["ours_first_ms"] = Median(first);
    std::sort(first.begin(), first.end());
    state.counters["ours_first_p90_ms"] = first[first.size() * 9 / 10];
    state.counters["psd_tools_ms"] = Median(best);
    state.counters["psd_tools_first_ms"] = Median(fresh);
    state.counters["ours_kept_ms"] = Median(kept);
    state.counters["kept_x"] = Median(best) / Median(kept);
    state.counters["loop_x"] = Median(best) / Median(loop);
    state.counters["first_x"] = Median(best) / Median(first);
    state.counters["first_faults"] = Median(faults);
    state.counters["first_peak_MB"] = Median(peak);
    state.counters["pixels_plus_channel_MB"] = pixels + channel;
}

// The composite of a document without layers against stb_image.
void RatioMergedStb(benchmark::State& state)
{
    const std::string& bytes = CompositeOnly();
    SideBySide(
        state, [&] { Load(bytes); }, [&] { return Seconds([&] { StbLoad(bytes); }); }, 60, 1);
}
} // namespace

BENCHMARK(GimpAgainstPsdTools)
    ->Name("GimpAgainstPsdTools/all_layers_65_rle")
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RatioLayersPsdTools, layers_rle_vs_psd_tools, 1)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RatioLayersPsdTools, layers_rle_flat_vs_psd_tools, 3)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(RatioMergedStb)
    ->Name("RatioMergedStb/composite_vs_stb_image")
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(WholeDocument, rle, 1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(WholeDocument, zip, 2)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(PeakMemory, rle, 1)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_CAPTURE(PeakMemory, zip, 2)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(ZlibOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(LibdeflateOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(MergedOnly)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(StbComposite, composite_only, CompositeOnly())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(StbComposite, layered_rle, Document(1))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(External, psd_tools_rle, PsdTools(1), true)
    ->UseManualTime()
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(External, psd_tools_zip, PsdTools(2), true)
    ->UseManualTime()
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(External, imagemagick_rle, ImageMagick(1), false)
    ->UseManualTime()
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(External, imagemagick_zip, ImageMagick(2), false)
    ->UseManualTime()
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond);

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

#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>
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

std::string FileOf(u16 compression)
{
    std::string path = "/tmp/ql_bench_psd_" + std::to_string(compression) + ".psd";
    std::ofstream(path, std::ios::binary) << Document(compression);
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

long StatusKb(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0)
            return std::atol(line.c_str() + std::string(field).size());
    return 0;
}

void WholeDocument(benchmark::State& state, u16 compression)
{
    const std::string& bytes = Document(compression);
    for (auto _ : state)
        Load(bytes);
    state.counters["file_MB"] = bytes.size() / 1e6;
}

// Peak resident growth and time of one load in a fresh child, as the game loads each file once:
// no freed memory is reused and every page is faulted in.
void PeakMemory(benchmark::State& state, u16 compression)
{
    const std::string& bytes = Document(compression);
    double figures[2] = {0.0, 0.0}; // MB, ms
    for (auto _ : state)
    {
        int fds[2];
        if (pipe(fds) != 0)
            std::abort();
        pid_t child = fork();
        if (child == 0)
        {
            malloc_trim(0);
            std::ofstream("/proc/self/clear_refs") << "5"; // resets the peak resident size
            long before = StatusKb("VmRSS:");
            auto start = std::chrono::steady_clock::now();
            Load(bytes);
            double out[2] = {(StatusKb("VmHWM:") - before) / 1024.0,
                             std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count()};
            if (write(fds[1], out, sizeof out) != sizeof out)
                _exit(1);
            _exit(0);
        }
        if (read(fds[0], figures, sizeof figures) != sizeof figures)
            std::abort();
        waitpid(child, nullptr, 0);
        close(fds[0]);
        close(fds[1]);
    }
    const double decoded = psdbench::DecodedBytes(kSize, kSize, kSprites) / (1024.0 * 1024.0);
    const double channel = kSize * double(kSize) / (1024.0 * 1024.0);
    state.counters["first_load_ms"] = figures[1];
    state.counters["peak_MB"] = figures[0];
    state.counters["pixels_plus_channel_MB"] = decoded + channel;
    state.counters["ratio"] = figures[0] / (decoded + channel);
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
            if (libdeflate_zlib_decompress(decompressor, data.data(), data.size(), out.data(), size, nullptr) != LIBDEFLATE_SUCCESS)
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
    stbi_uc* pixels = stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(bytes.data()), static_cast<int>(bytes.size()), &w, &h, &n, 4);
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
           "p=PSDImage.open('" + FileOf(compression) + "'); [l.topil() for l in p]; print(time.perf_counter()-t)\" 2>/dev/null";
}

std::string ImageMagick(u16 compression)
{
    return "convert-im6.q16 " + FileOf(compression) + " null: 2>/dev/null";
}

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
    SideBySide(state, [&] { Load(bytes); }, [&] { return RunExternal(command, true); }, 3, 10);
}

// The composite of a document without layers against stb_image.
void RatioMergedStb(benchmark::State& state)
{
    const std::string& bytes = CompositeOnly();
    SideBySide(state, [&] { Load(bytes); }, [&] { return Seconds([&] { StbLoad(bytes); }); }, 60, 1);
}
} // namespace

BENCHMARK_CAPTURE(RatioLayersPsdTools, layers_rle_vs_psd_tools, 1)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RatioLayersPsdTools, layers_rle_flat_vs_psd_tools, 3)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(RatioMergedStb)->Name("RatioMergedStb/composite_vs_stb_image")->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(WholeDocument, rle, 1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(WholeDocument, zip, 2)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(PeakMemory, rle, 1)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_CAPTURE(PeakMemory, zip, 2)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(ZlibOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(LibdeflateOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(MergedOnly)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(StbComposite, composite_only, CompositeOnly())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(StbComposite, layered_rle, Document(1))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(External, psd_tools_rle, PsdTools(1), true)->UseManualTime()->Iterations(2)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(External, psd_tools_zip, PsdTools(2), true)->UseManualTime()->Iterations(2)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(External, imagemagick_rle, ImageMagick(1), false)->UseManualTime()->Iterations(2)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(External, imagemagick_zip, ImageMagick(2), false)->UseManualTime()->Iterations(2)->Unit(benchmark::kMillisecond);

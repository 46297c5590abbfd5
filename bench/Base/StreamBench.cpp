// Sequential read throughput of memory and file streams, against a plain fread loop on the same file.
#include "Core/Base/Stream.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

namespace
{
constexpr u32 kFileSize = 16u << 20;

// One 16 MiB file for all file benchmarks, removed at exit.
const std::string& BenchFile()
{
    static const struct File
    {
        std::string path;
        File()
        {
            path =
                (std::filesystem::temp_directory_path() / ("ql-bench-" + std::to_string(::getpid()) + ".bin")).string();
            std::vector<char> bytes(kFileSize);
            for (size_t i = 0; i < bytes.size(); ++i)
                bytes[i] = static_cast<char>(i * 31);
            FILE* f = std::fopen(path.c_str(), "wb");
            if (f)
            {
                std::fwrite(bytes.data(), 1, bytes.size(), f);
                std::fclose(f);
            }
        }
        ~File() { std::remove(path.c_str()); }
    } file;
    return file.path;
}

// One pass over a stream from its start in buffer-sized reads.
void ReadToEnd(base::Stream& stream, std::vector<u8>& buffer)
{
    stream.Seek(0, 0);
    while (stream.Read(buffer.data(), static_cast<u32>(buffer.size())) > 0)
        benchmark::DoNotOptimize(buffer.data());
}

void BM_MemoryStreamRead(benchmark::State& state)
{
    const u32 chunk = static_cast<u32>(state.range(0));
    std::vector<u8> bytes(kFileSize, 7);
    base::MemoryStream stream(bytes.data(), kFileSize);
    std::vector<u8> buffer(chunk);
    for (auto _ : state)
        ReadToEnd(stream, buffer);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kFileSize);
}
BENCHMARK(BM_MemoryStreamRead)->Arg(4 << 10)->Arg(64 << 10);

void BM_FileStreamRead(benchmark::State& state)
{
    const u32 chunk = static_cast<u32>(state.range(0));
    const std::wstring path(BenchFile().begin(), BenchFile().end());
    base::FileStream stream;
    if (stream.Handle().Open(path, 0, 2) != QL_OK)
    {
        state.SkipWithError("cannot open the bench file");
        return;
    }
    std::vector<u8> buffer(chunk);
    for (auto _ : state)
        ReadToEnd(stream, buffer);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kFileSize);
}
BENCHMARK(BM_FileStreamRead)->Arg(4 << 10)->Arg(64 << 10);

void BM_FreadLoop(benchmark::State& state)
{
    const size_t chunk = static_cast<size_t>(state.range(0));
    FILE* f = std::fopen(BenchFile().c_str(), "rb");
    if (!f)
    {
        state.SkipWithError("cannot open the bench file");
        return;
    }
    std::vector<u8> buffer(chunk);
    for (auto _ : state)
    {
        std::fseek(f, 0, SEEK_SET);
        while (std::fread(buffer.data(), 1, chunk, f) > 0)
            benchmark::DoNotOptimize(buffer.data());
    }
    std::fclose(f);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kFileSize);
}
BENCHMARK(BM_FreadLoop)->Arg(4 << 10)->Arg(64 << 10);

void BM_FrameStreamOverMemory(benchmark::State& state)
{
    std::vector<u8> bytes(kFileSize, 3);
    base::MemoryStream source(bytes.data(), kFileSize);
    std::vector<u8> buffer(4 << 10);
    for (auto _ : state)
    {
        base::FrameStream frame(&source, false, 1024, kFileSize - 1024);
        ReadToEnd(frame, buffer);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * (kFileSize - 1024));
}
BENCHMARK(BM_FrameStreamOverMemory);
} // namespace

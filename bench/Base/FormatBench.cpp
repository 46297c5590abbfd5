// Formatter and string conversion throughput: a typical log line, UTF-8 to wide conversion.
#include "Core/Base/Formatter.h"
#include "Core/Base/StringConvert.h"

#include <benchmark/benchmark.h>

#include <string>

namespace
{
void BM_FormatLogLine(benchmark::State& state)
{
    const std::wstring path = L"td/levels_normal/level_01_03.xml";
    size_t bytes = 0;
    for (auto _ : state)
    {
        base::Formatter<wchar_t> f(L"Loaded '%s' in %d ms (%.2f MB, %5.1f%%) id=%#x\n");
        f << path << 42 << 1.2345f << 87.5 << 0xBEEFu;
        benchmark::DoNotOptimize(f.GetResult().data());
        bytes += f.GetResult().size() * sizeof(wchar_t);
    }
    state.SetBytesProcessed(static_cast<int64_t>(bytes));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FormatLogLine);

void BM_FormatFloatGeneral(benchmark::State& state)
{
    double value = 0.001;
    for (auto _ : state)
    {
        base::Formatter<char> f("%g");
        f << value;
        benchmark::DoNotOptimize(f.GetResult().data());
        value *= 1.37;
        if (value > 1e12)
            value = 0.001;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FormatFloatGeneral);

// Sheet-like text: mostly ASCII with some accented and CJK letters.
std::string SampleUtf8(size_t size)
{
    const std::string line = "tower_3;Fire Tower;12,5;caf\xc3\xa9;\xe6\x97\xa5\xe6\x9c\xac;300;0,75\r\n";
    std::string text;
    while (text.size() < size)
        text += line;
    return text;
}

void BM_Utf8ToWide(benchmark::State& state)
{
    const std::string text = SampleUtf8(static_cast<size_t>(state.range(0)));
    for (auto _ : state)
    {
        std::wstring wide = base::StringToWString(text, 1);
        benchmark::DoNotOptimize(wide.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_Utf8ToWide)->Arg(64)->Arg(64 << 10);

void BM_WideToUtf8(benchmark::State& state)
{
    const std::wstring wide = base::StringToWString(SampleUtf8(static_cast<size_t>(state.range(0))), 1);
    for (auto _ : state)
    {
        std::string text = base::WStringToString(wide, 1);
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(wide.size()) * 4);
}
BENCHMARK(BM_WideToUtf8)->Arg(64 << 10);
} // namespace

// Video figures: YUV 4:2:0 to ARGB per frame at 1024 x 768 and at the intro's 640 x 360, and
// decoding plus conversion of the intro, per frame.
#include "Core/Base/Stream.h"
#include "Core/Media/Video/TheoraDecoder.h"
#include "Core/Media/Video/YuvPicture.h"

#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace
{
void ConvertFrame(benchmark::State& state)
{
    const u32 width = static_cast<u32>(state.range(0)), height = static_cast<u32>(state.range(1));
    std::vector<u8> y(static_cast<size_t>(width) * height), u(y.size() / 4), v(y.size() / 4);
    for (size_t i = 0; i < y.size(); ++i)
        y[i] = static_cast<u8>(i * 31);
    for (size_t i = 0; i < u.size(); ++i)
    {
        u[i] = static_cast<u8>(i * 7);
        v[i] = static_cast<u8>(255 - i * 5);
    }
    video::YuvPicture picture;
    picture.mY = y.data();
    picture.mU = u.data();
    picture.mV = v.data();
    picture.mYStride = width;
    picture.mUvStride = width / 2;
    picture.mWidth = width;
    picture.mHeight = height;
    std::vector<u32> out(static_cast<size_t>(width) * height);
    for (auto _ : state)
    {
        video::ConvertToArgb(picture, out.data(), width * 4, width, height);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * width * height);
}
BENCHMARK(ConvertFrame)->Args({1024, 768})->Args({640, 360})->Unit(benchmark::kMicrosecond);

void DecodeIntroFrame(benchmark::State& state)
{
    std::ifstream in(std::string(QL_SOURCE_DIR) + "/content/td/video/intro.ogv", std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    video::TheoraDecoder decoder;
    std::vector<u32> out;
    auto open = [&]
    {
        if (decoder.Open(new base::MemoryStream(bytes.data(), static_cast<u32>(bytes.size())), L"intro") != QL_OK)
            state.SkipWithError("the intro does not open");
        out.resize(static_cast<size_t>(decoder.GetWidth()) * decoder.GetHeight());
    };
    open();
    for (auto _ : state)
    {
        if (decoder.DecodeFrame() == video::TheoraDecoder::Result::End)
        {
            state.PauseTiming();
            open();
            state.ResumeTiming();
            decoder.DecodeFrame();
        }
        if (state.range(0) && decoder.HasPicture())
            video::ConvertToArgb(decoder.GetPicture(), out.data(), decoder.GetWidth() * 4, decoder.GetWidth(),
                                 decoder.GetHeight());
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(DecodeIntroFrame)->Arg(0)->Arg(1)->ArgName("convert")->Unit(benchmark::kMicrosecond);
} // namespace

// Text and image figures: laying out and drawing a 2,000-character paragraph, and loading a
// 2048 x 2048 PNG and DDS into a texture (decode, copy into the level, hit mask).
#include "ImageBuilders.h"

#include "Core/Base/Stream.h"
#include "Core/Base/StringConvert.h"
#include "Core/File/FileManager.h"
#include "Core/File/Path.h"
#include "Core/Media/Font/BMFont.h"
#include "Core/Media/Graphics/Graphics.h"
#include "Core/Media/Image/Image.h"
#include "Core/Media/Image/ImageLoader.h"
#include "Core/Render/DX9/RenderDX9.h"
#include "Core/Render/Texture.h"
#include "Core/Resource/ResourceManager.h"
#include "Platform/Gpu/RecordingDevice.h"
#include "support/HeadlessWindow.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>

namespace
{
const std::wstring kFont = base::StringToWString(std::string(QL_SOURCE_DIR) + "/content/td/data/fonts/main_32_1");

std::wstring Paragraph()
{
    const std::wstring words = L"The moor holds, tower by tower: gold for the walls, crystals for the upgrades, "
                               L"and a long night of waves before the dawn. ";
    std::wstring text;
    while (text.size() < 2000)
        text += words;
    text.resize(2000);
    return text;
}

struct Renderer
{
    Renderer(render::HeadlessWindow::Backend backend) : window(backend)
    {
        render::RenderInitParam param;
        param.mWidth = 1024;
        param.mHeight = 768;
        ok = window.IsAvailable() && render.InitRender(&window, param) == QL_OK;
    }
    render::HeadlessWindow window;
    render::RenderDX9 render;
    bool ok = false;
};

void LayoutParagraph(benchmark::State& state)
{
    auto font = resource::ResourceManager::Instance()->Get<render::BMFont>(kFont);
    if (!font->IsLoaded() && font->Load() != QL_OK)
        return state.SkipWithError("font");
    const std::wstring text = Paragraph();
    float size[2] = {};
    for (auto _ : state)
    {
        auto measure = font->MeasureText(&text);
        measure->mFormat.mWrapWidth = 600.0f;
        measure->mFormat.mAlignment = 3;
        measure->mOutWidth = &size[0];
        measure->mOutHeight = &size[1];
    }
    benchmark::DoNotOptimize(size);
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(LayoutParagraph);

void DrawParagraph(benchmark::State& state, render::HeadlessWindow::Backend backend)
{
    Renderer r(backend);
    if (!r.ok)
        return state.SkipWithError("no headless device");
    auto font = resource::ResourceManager::Instance()->Get<render::BMFont>(kFont + L"#draw");
    font->SetRender(&r.render);
    {
        // Loaded under its own name so that its pages belong to this renderer.
        std::unique_ptr<base::Stream> stream(file::FileManager::Instance()->OpenStream(kFont + L".fnt"));
        std::string data(stream->GetSize(), '\0');
        stream->Read(data.data(), static_cast<u32>(data.size()));
        if (font->Parse(data.data(), data.size(), file::GetDirectory(kFont)) != QL_OK)
            return state.SkipWithError("font");
    }
    const std::wstring text = Paragraph();
    for (auto _ : state)
    {
        (void)r.render.BeginScene();
        {
            render::Graphics graphics(&r.render);
            graphics.mFont = font.Get();
            graphics.DrawTextWrapped(&text, 600.0f, 0.0f, 3, true).Translate(10.0f, 10.0f);
        }
        (void)r.render.EndScene();
        (void)r.render.ExecuteCommands();
    }
    (void)font->DoUnLoad();
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK_CAPTURE(DrawParagraph, recording, render::HeadlessWindow::Backend::Recording);
BENCHMARK_CAPTURE(DrawParagraph, gl, render::HeadlessWindow::Backend::Gl);

// Sprites through the drawing context: N images of one texture per frame, translated, alpha
// blended, recorded and played to the recording device. The figure to watch is draw_calls: the
// context takes its indices from the 16-bit index cache, so frames beyond its main buffer split
// into one draw per overflow chunk.
void DrawImages(benchmark::State& state)
{
    Renderer r(render::HeadlessWindow::Backend::Recording);
    if (!r.ok)
        return state.SkipWithError("no headless device");
    const imagetest::Bytes png = imagetest::EncodePng(32, 32, std::vector<u32>(32 * 32, 0xFFFFFFFF), true);
    base::MemoryStream stream(png.data(), static_cast<u32>(png.size()));
    std::unique_ptr<render::ImageData> data(render::ImageLoader::Instance()->Load(&stream, L".png", nullptr));
    render::Texture* texture = nullptr;
    if (!data || r.render.CreateTexture(&texture) != QL_OK || texture->CreateFromImage(*data) != QL_OK)
        return state.SkipWithError("texture");
    render::Image image(texture);
    const int count = static_cast<int>(state.range(0));
    size_t draws = 0;
    for (auto _ : state)
    {
        r.window.GetRecordingDevice()->ClearCalls();
        (void)r.render.BeginScene();
        {
            render::Graphics graphics(&r.render);
            for (int i = 0; i < count; ++i)
                graphics.DrawImage(&image).Translate(static_cast<float>(i % 30 * 32),
                                                     static_cast<float>(i / 30 % 24 * 32));
        }
        (void)r.render.EndScene();
        (void)r.render.ExecuteCommands();
        draws = r.window.GetRecordingDevice()->CallsStartingWith("DrawIndexed").size();
    }
    state.counters["draw_calls"] = static_cast<double>(draws);
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(DrawImages)->Arg(1000)->Arg(5000)->Arg(10000)->Unit(benchmark::kMillisecond);

// An uncompressed 32-bit DDS file: the header, then the pixels as little-endian 0xAARRGGBB.
imagetest::Bytes EncodeDds(u32 side, const std::vector<u32>& argb)
{
    imagetest::Bytes out(128, 0);
    auto set = [&out](u32 offset, u32 value)
    {
        for (int i = 0; i < 4; ++i)
            out[offset + i] = static_cast<u8>(value >> (8 * i));
    };
    std::memcpy(out.data(), "DDS ", 4);
    const u32 fields[][2] = {{4, 124},         {8, 0x1007},       {12, side},        {16, side},
                             {76, 32},         {80, 0x41},        {88, 32},          {92, 0x00FF0000},
                             {96, 0x0000FF00}, {100, 0x000000FF}, {104, 0xFF000000}, {108, 0x1000}};
    for (const auto& [offset, value] : fields)
        set(offset, value);
    for (u32 pixel : argb)
        for (int i = 0; i < 4; ++i)
            out.push_back(static_cast<u8>(pixel >> (8 * i)));
    return out;
}

imagetest::Bytes Big(bool dds)
{
    constexpr u32 kSide = 2048;
    std::vector<u32> pixels(kSide * kSide);
    for (u32 y = 0; y < kSide; ++y)
        for (u32 x = 0; x < kSide; ++x)
            pixels[y * kSide + x] = ((x ^ y) & 64 ? 0xFF000000 : 0x40000000) | (x & 255) << 16 | (y & 255) << 8 | 90;
    return dds ? EncodeDds(kSide, pixels) : imagetest::EncodePng(kSide, kSide, pixels, true);
}

void LoadTexture(benchmark::State& state, bool dds, render::HeadlessWindow::Backend backend)
{
    Renderer r(backend);
    if (!r.ok)
        return state.SkipWithError("no headless device");
    const imagetest::Bytes file = Big(dds);
    for (auto _ : state)
    {
        base::MemoryStream stream(file.data(), static_cast<u32>(file.size()));
        std::unique_ptr<render::ImageData> data(
            render::ImageLoader::Instance()->Load(&stream, dds ? L".dds" : L".png", nullptr));
        render::Texture* texture = nullptr;
        if (!data || r.render.CreateTexture(&texture) != QL_OK || texture->CreateFromImage(*data) != QL_OK)
            return state.SkipWithError("load");
        delete texture;
    }
    state.SetBytesProcessed(state.iterations() * 2048 * 2048 * 4);
}
BENCHMARK_CAPTURE(LoadTexture, png_recording, false, render::HeadlessWindow::Backend::Recording)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(LoadTexture, dds_recording, true, render::HeadlessWindow::Backend::Recording)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(LoadTexture, png_gl, false, render::HeadlessWindow::Backend::Gl)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(LoadTexture, dds_gl, true, render::HeadlessWindow::Backend::Gl)->Unit(benchmark::kMillisecond);
} // namespace

// CPU cost of one frame of N textured quads: recorded and played by our renderer (on the
// recording device and on headless GL) next to SDL2's own 2D renderer drawing the same quads.
// Each frame ends with a one-pixel read-back so that GL work is included in the figure.
#include "Core/Render/Buffer.h"
#include "Core/Render/BufferDoubleCache.h"
#include "Core/Render/DX9/RenderDX9.h"
#include "Core/Render/ImageData.h"
#include "Core/Render/Shader.h"
#include "Core/Render/Texture.h"
#include "Platform/Gpu/RecordingDevice.h"
#include "support/HeadlessWindow.h"

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

namespace
{
const u32 kWidth = 800, kHeight = 600, kSprite = 32;

class SolidImage : public render::ImageData
{
public:
    explicit SolidImage(u32 colour) : mColour(colour) { mWidth = mHeight = kSprite; }
    QLResultEnum Load(base::Stream*, const std::wstring&) override { return QL_OK; }
    QLResultEnum CopyPixels(u32 pitch, u8* destination, render::HitMask&) override
    {
        for (u32 y = 0; y < kSprite; ++y)
            for (u32 x = 0; x < kSprite; ++x)
                std::memcpy(destination + y * pitch + x * 4, &mColour, 4);
        return QL_OK;
    }
    u32 mColour;
};

struct Scene
{
    explicit Scene(render::HeadlessWindow::Backend backend) : window(backend)
    {
        if (!window.IsAvailable())
            return;
        render::RenderInitParam param;
        param.mWidth = kWidth;
        param.mHeight = kHeight;
        if (render.InitRender(&window, param) != QL_OK)
            return;
        for (u32 i = 0; i < 10; ++i)
        {
            render::Texture* texture = nullptr;
            (void)render.CreateTexture(&texture);
            SolidImage image(0xFF000000 | (i * 25) << 16 | 0x8040);
            (void)texture->CreateFromImage(image);
            textures.emplace_back(texture);
        }
        (void)render.GetShaderTexturedMult(&shader);
        (void)shader->SetProjection(render.GetProjectionPointer());
        state.mBlendMode = render::BLEND_ALPHA;
        ready = true;
    }

    // One frame of `count` quads cycling through `textureCount` textures; indexed quads take four
    // vertices and six 32-bit indices each, the others six vertices.
    bool Frame(u32 count, u32 textureCount, bool indexed)
    {
        static const float black[4] = {0, 0, 0, 1};
        if (!render.IsReady() || render.BeginScene() != QL_OK || render.Clear(1, black, 1.0f, 0) != QL_OK)
            return false;
        auto* cache =
            static_cast<render::BufferDoubleCache<render::VertexBuffer<render::SVertex2D>>*>(render.GetVertexCache(0));
        for (u32 i = 0; i < count; ++i)
        {
            const u32 vertexCount = indexed ? 4 : 6;
            u32 start = 0;
            render::CacheChunk chunk;
            if (cache->Allocate(vertexCount, &start, &chunk) != QL_OK)
                return false;
            const float x = static_cast<float>((i * 37) % (kWidth - kSprite)) - 0.5f;
            const float y = static_cast<float>((i * 53) % (kHeight - kSprite)) - 0.5f;
            const float x1 = x + kSprite, y1 = y + kSprite;
            const render::SVertex2D v[6] = {{x, y, 0, 1, 0xFFFFFFFF, 0, 0, 0},   {x1, y, 0, 1, 0xFFFFFFFF, 0, 1, 0},
                                            {x1, y1, 0, 1, 0xFFFFFFFF, 0, 1, 1}, {x, y1, 0, 1, 0xFFFFFFFF, 0, 0, 1},
                                            {x, y, 0, 1, 0xFFFFFFFF, 0, 0, 0},   {x1, y1, 0, 1, 0xFFFFFFFF, 0, 1, 1}};
            std::memcpy(chunk.mData, v, sizeof(render::SVertex2D) * vertexCount);
            (void)shader->SetTexture(textures[i % textureCount].get());
            state.mShader = shader->GetImpl();
            state.mVertexBuffer = chunk.mBuffer;
            if (!indexed)
            {
                // Vertex order 0 1 2 / 4 5 3 as two clockwise triangles.
                render::SVertex2D* w = reinterpret_cast<render::SVertex2D*>(chunk.mData);
                w[3] = v[4], w[4] = v[5], w[5] = v[3];
                (void)render.ApplyState(&state, true);
                (void)render.Draw(render::PRIM_TRIANGLELIST, start, 2);
                continue;
            }
            u32 firstIndex = 0;
            render::CacheChunk indexChunk;
            if (render.GetIndexCache32()->Allocate(6, &firstIndex, &indexChunk) != QL_OK)
                return false;
            const u32 order[6] = {start, start + 1, start + 2, start, start + 2, start + 3};
            std::memcpy(indexChunk.mData, order, sizeof order);
            state.mIndexBuffer = indexChunk.mBuffer;
            (void)render.ApplyState(&state, true);
            (void)render.DrawIndexed(render::PRIM_TRIANGLELIST, firstIndex, 2, start, 4);
        }
        if (render.EndScene() != QL_OK || render.Present() != QL_OK || render.ExecuteCommands() != QL_OK)
            return false;
        std::vector<u32> pixel;
        (void)render.GetDevice()->ReadPixels(0, 0, 0, 1, 1, &pixel);
        return true;
    }

    render::HeadlessWindow window;
    render::RenderDX9 render;
    std::vector<std::unique_ptr<render::Texture>> textures;
    render::ShaderTextured* shader = nullptr;
    render::RenderState state;
    bool ready = false;
};

void Ours(benchmark::State& state, render::HeadlessWindow::Backend backend, bool indexed)
{
    static std::unique_ptr<Scene> scenes[2];
    auto& scene = scenes[backend == render::HeadlessWindow::Backend::Gl ? 1 : 0];
    if (!scene)
        scene = std::make_unique<Scene>(backend);
    if (!scene->ready)
    {
        state.SkipWithError("renderer unavailable (no headless GL?)");
        return;
    }
    const u32 count = static_cast<u32>(state.range(0)), textures = static_cast<u32>(state.range(1));
    gpu::RecordingDevice* recording = scene->window.GetRecordingDevice();
    size_t draws = 0;
    for (auto _ : state)
    {
        if (recording)
            recording->ClearCalls();
        if (!scene->Frame(count, textures, indexed))
        {
            state.SkipWithError("frame failed");
            return;
        }
        if (recording)
            draws = recording->CallsStartingWith("Draw").size(); // Draw and DrawIndexed
    }
    if (recording)
        state.counters["draw_calls"] = static_cast<double>(draws);
    state.counters["sprites"] = count;
}

void OursRecording(benchmark::State& state) { Ours(state, render::HeadlessWindow::Backend::Recording, false); }
void OursRecordingIndexed(benchmark::State& state) { Ours(state, render::HeadlessWindow::Backend::Recording, true); }
void OursGl(benchmark::State& state) { Ours(state, render::HeadlessWindow::Backend::Gl, false); }
void OursGlIndexed(benchmark::State& state) { Ours(state, render::HeadlessWindow::Backend::Gl, true); }

// SDL's renderer on whatever video driver is set (offscreen when none is).
struct SdlScene
{
    SdlScene()
    {
        if (!SDL_getenv("SDL_VIDEODRIVER"))
            SDL_setenv("SDL_VIDEODRIVER", "offscreen", 1);
        // The same sampling as ours: bilinear.
        SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
        if (SDL_Init(SDL_INIT_VIDEO) != 0)
            return;
        window = SDL_CreateWindow("bench", 0, 0, kWidth, kHeight, SDL_WINDOW_HIDDEN);
        if (!window)
            return;
        renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED);
        if (!renderer)
            renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
        if (!renderer)
            return;
        SDL_RendererInfo info;
        SDL_GetRendererInfo(renderer, &info);
        name = info.name;
        std::vector<u32> pixels(kSprite * kSprite);
        for (u32 i = 0; i < 10; ++i)
        {
            std::fill(pixels.begin(), pixels.end(), 0xFF000000 | (i * 25) << 16 | 0x8040);
            SDL_Texture* texture =
                SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, kSprite, kSprite);
            SDL_UpdateTexture(texture, nullptr, pixels.data(), kSprite * 4);
            SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_BLEND);
            textures.push_back(texture);
        }
    }
    ~SdlScene()
    {
        for (SDL_Texture* texture : textures)
            SDL_DestroyTexture(texture);
        if (renderer)
            SDL_DestroyRenderer(renderer);
        if (window)
            SDL_DestroyWindow(window);
        SDL_Quit();
    }
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    std::vector<SDL_Texture*> textures;
    std::string name;
};

void SdlRenderer(benchmark::State& state)
{
    static SdlScene scene;
    if (!scene.renderer)
    {
        state.SkipWithError(("SDL renderer unavailable: " + std::string(SDL_GetError())).c_str());
        return;
    }
    const u32 count = static_cast<u32>(state.range(0)), textures = static_cast<u32>(state.range(1));
    for (auto _ : state)
    {
        SDL_SetRenderDrawColor(scene.renderer, 0, 0, 0, 255);
        SDL_RenderClear(scene.renderer);
        for (u32 i = 0; i < count; ++i)
        {
            SDL_Rect rect{static_cast<int>((i * 37) % (kWidth - kSprite)),
                          static_cast<int>((i * 53) % (kHeight - kSprite)), static_cast<int>(kSprite),
                          static_cast<int>(kSprite)};
            SDL_RenderCopy(scene.renderer, scene.textures[i % textures], nullptr, &rect);
        }
        SDL_RenderPresent(scene.renderer);
        u32 pixel = 0;
        SDL_Rect one{0, 0, 1, 1};
        SDL_RenderReadPixels(scene.renderer, &one, SDL_PIXELFORMAT_ARGB8888, &pixel, 4);
    }
    state.SetLabel(scene.name);
    state.counters["sprites"] = count;
}

void Args(benchmark::internal::Benchmark* b)
{
    for (int count : {1000, 5000, 10000})
        for (int textures : {1, 10})
            b->Args({count, textures});
    b->ArgNames({"quads", "textures"})->Unit(benchmark::kMillisecond);
}

BENCHMARK(OursRecording)->Apply(Args);
BENCHMARK(OursRecordingIndexed)->Apply(Args);
BENCHMARK(OursGl)->Apply(Args);
BENCHMARK(OursGlIndexed)->Apply(Args);
BENCHMARK(SdlRenderer)->Apply(Args);
} // namespace

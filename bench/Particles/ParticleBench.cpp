// Particle figures at 10,000 live particles: one simulation step, writing the quads, and a
// whole frame drawn through the drawing context (recorded, and played to OpenGL).
#include "Core/Media/Graphics/Graphics.h"
#include "Core/Media/Particles/ParticleSystem.h"
#include "Core/Render/DX9/RenderDX9.h"
#include "Platform/Gpu/RecordingDevice.h"
#include "Platform/Particles/EffectParser.h"
#include "Platform/Particles/Emitter.h"
#include "support/HeadlessWindow.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

namespace
{
// A fountain of 10,000 particles per second living one second: about 10,000 alive.
const std::string kLibrary =
    "<effects><atlas file=\"fx2_atlas.png\" width=\"256\" height=\"128\">"
    "<frame name=\"dot\" x=\"192\" y=\"0\" w=\"32\" h=\"32\"/></atlas>"
    "<emitter name=\"fountain\" prewarm=\"1.05\"><particles texture=\"dot\" blend=\"add\" rate=\"10000\" "
    "max=\"20000\" life=\"1\" speed=\"50 200\" direction=\"90\" spread=\"60\" gravity=\"0 150\" drag=\"0.2\" "
    "area=\"20 5\" size=\"4 10\" grow=\"0.5\" angle=\"0 360\" spin=\"-90 90\">"
    "<color t=\"0\" argb=\"ffffffff\"/><color t=\"0.5\" argb=\"c0ffc040\"/><color t=\"1\" argb=\"00ff4000\"/>"
    "</particles></emitter></effects>";

std::shared_ptr<const particles::EmitterDesc> Fountain()
{
    auto file = particles::ParseEffectFile(kLibrary.data(), kLibrary.size(), "bench.ptc");
    return file ? file->root.entries.at(0).emitter : nullptr;
}

void Update(benchmark::State& state)
{
    particles::Emitter emitter(Fountain(), 1);
    emitter.SetLoopMode(1);
    emitter.Restart();
    for (auto _ : state)
        emitter.Update(1000.0 / 60.0);
    state.counters["particles"] = emitter.ParticleCount();
    state.SetItemsProcessed(state.iterations() * emitter.ParticleCount());
}
BENCHMARK(Update);

void WriteQuads(benchmark::State& state)
{
    particles::Emitter emitter(Fountain(), 1);
    emitter.Restart();
    particles::RenderList list;
    emitter.GetList(0, list);
    std::vector<particles::Quad> quads(list.count);
    for (auto _ : state)
    {
        emitter.WriteQuads(list, 0, list.count, quads.data());
        benchmark::DoNotOptimize(quads.data());
    }
    state.SetItemsProcessed(state.iterations() * list.count);
}
BENCHMARK(WriteQuads);

// One frame: begin, draw the effect through the context, end and play the commands.
void Render(benchmark::State& state, render::HeadlessWindow::Backend backend)
{
    render::HeadlessWindow window(backend);
    render::RenderDX9 r;
    render::RenderInitParam param;
    param.mWidth = 1024;
    param.mHeight = 768;
    if (!window.IsAvailable() || r.InitRender(&window, param) != QL_OK)
        return state.SkipWithError("no headless device");
    render::ParticleSystem* system = render::ParticleSystem::Instance();
    system->SetFolder(std::string(QL_SOURCE_DIR) + "/content/td/fx/");
    if (system->LoadFromMemory(kLibrary.data(), kLibrary.size(), "bench.ptc", &r) != QL_OK || !system->GetAtlas(0))
        return state.SkipWithError("library");
    std::unique_ptr<render::ParticleEmitter> effect(system->CreateEmitter("fountain"));
    effect->SetLoopMode(1);
    effect->SetPosition(512.0f, 500.0f, 1);
    effect->SetState(render::ParticleEmitter::PLAYING);
    u32 drawn = 0;
    size_t draws = 0;
    for (auto _ : state)
    {
        if (auto* recording = window.GetRecordingDevice())
            recording->ClearCalls();
        (void)r.BeginScene();
        {
            render::Graphics graphics(&r);
            auto command = graphics.DrawParticles(effect.get());
            command->mOutDrawn = &drawn;
        }
        (void)r.EndScene();
        (void)r.ExecuteCommands();
        if (auto* recording = window.GetRecordingDevice())
            draws = recording->CallsStartingWith("DrawIndexed").size();
    }
    state.counters["particles"] = drawn;
    if (backend == render::HeadlessWindow::Backend::Recording)
        state.counters["draw_calls"] = static_cast<double>(draws);
    state.SetItemsProcessed(state.iterations() * drawn);
    effect.reset();
    system->UnloadAtlases();
}
BENCHMARK_CAPTURE(Render, recording, render::HeadlessWindow::Backend::Recording)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Render, gl, render::HeadlessWindow::Backend::Gl)->Unit(benchmark::kMicrosecond);
} // namespace

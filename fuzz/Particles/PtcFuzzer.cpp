// Any bytes as an effect library: parsed, and every emitter that loads run and drawn into quads.
#include "Platform/Particles/EffectParser.h"
#include "Platform/Particles/Emitter.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace
{
void RunAll(const particles::Folder& folder)
{
    for (const particles::Entry& entry : folder.entries)
    {
        if (entry.IsFolder())
        {
            RunAll(*entry.folder);
            continue;
        }
        if (!entry.emitter)
            continue;
        particles::Emitter emitter(entry.emitter, entry.emitter->seed);
        emitter.SetLoopMode(1);
        emitter.SetPositionMode(1);
        emitter.Restart();
        std::vector<particles::Quad> quads;
        for (int step = 0; step < 8; ++step)
        {
            emitter.SetPosition(static_cast<float>(step * 3), 1.0f);
            emitter.Update(40.0);
            for (particles::RenderList list; emitter.GetList(0, list);)
            {
                quads.resize(list.count);
                emitter.WriteQuads(list, 0, list.count, quads.data());
                break;
            }
            if (emitter.ParticleCount() > 20000)
                break; // a huge burst: enough work for one input
        }
        emitter.SetInterrupt(true);
        emitter.Update(100.0);
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    auto file = particles::ParseEffectFile(reinterpret_cast<const char*>(data), size, "fuzz.ptc");
    if (file)
        RunAll(file->root);
    return 0;
}

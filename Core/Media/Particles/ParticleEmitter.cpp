// Effect instances: play state, stepping, placing, and drawing the particle lists as quads.
#include "Core/Media/Particles/ParticleEmitter.h"

#include "Core/Media/Particles/ParticleSystem.h"

#include "Core/Base/Box.h"
#include "Core/Media/Graphics/DrawParams.h"
#include "Core/Media/Graphics/Graphics.h"
#include "Core/Media/Image/Image.h"
#include "Core/Render/Render.h"
#include "Core/Render/VertexFormat.h"
#include "Platform/Particles/Emitter.h"

#include <algorithm>

namespace render
{
namespace
{
// Particles per draw: a large batch fits the main caches, a small one an overflow chunk.
constexpr u32 kLargeBatch = 1600;
constexpr u32 kSmallBatch = 160;
constexpr u32 kQuadBlock = 64;

QLResultEnum RenderHook(ParticleEmitter* emitter, Graphics* graphics, DrawParam* transformer, math::Box* bounds,
                        math::Box* transformedBounds, u32* drawn)
{
    return emitter->Render(graphics, transformer, bounds, transformedBounds, drawn);
}

// Particle colour times the context colour, each channel truncated to 8 bits.
u32 Modulate(u32 argb, const float colour[4])
{
    auto channel = [](u32 value, float factor)
    {
        const float c = std::clamp(static_cast<float>(value & 0xFF) * factor, 0.0f, 255.0f);
        return static_cast<u32>(c);
    };
    return channel(argb >> 24, colour[3]) << 24 | channel(argb >> 16, colour[0]) << 16 |
           channel(argb >> 8, colour[1]) << 8 | channel(argb, colour[2]);
}
} // namespace

void ParticleEmitter::InstallRenderFunction() { DrawParticlesParam::SetRenderFunction(&RenderHook); }

ParticleEmitter::ParticleEmitter(std::unique_ptr<particles::Emitter> emitter, const std::string& name)
    : mEmitter(std::move(emitter)), mName(name)
{
    InstallRenderFunction();
}

ParticleEmitter::~ParticleEmitter() = default;

std::unique_ptr<ParticleEmitter> ParticleEmitter::Clone() const
{
    auto copy = std::make_unique<ParticleEmitter>(mEmitter->Duplicate(), mName);
    copy->mGraphics = mGraphics;
    copy->mRender = mRender;
    return copy;
}

void ParticleEmitter::SetState(State state)
{
    if (state == mState)
        return;
    particles::Emitter& e = *mEmitter;
    switch (state)
    {
    case STOPPED:
        // A finishing effect is left as it is: it is interrupted already and draws nothing
        // while stopped.
        if (mState != FINISHING)
            e.Stop();
        break;
    case PLAYING:
        if (e.IsInterrupted())
            e.SetInterrupt(false);
        if (mState == STOPPED || !e.InInterval())
            e.Restart();
        break;
    case FINISHING:
        if (mState == STOPPED || !e.InInterval())
            e.Restart();
        e.SetInterrupt(true);
        break;
    default: break;
    }
    mState = state;
}

void ParticleEmitter::Update(double seconds)
{
    if (mState != PLAYING && mState != FINISHING)
        return;
    const double ms = mEmitter->IsInterpolation() ? seconds * 1000.0 : mEmitter->FixedStepMs();
    if (!mEmitter->Update(ms))
    {
        if (mState == PLAYING)
            mEmitter->Stop();
        mState = STOPPED;
    }
}

void ParticleEmitter::SetPosition(float x, float y, i32 mode)
{
    mEmitter->SetPositionMode(mode);
    mEmitter->SetPosition(x, y);
}

void ParticleEmitter::GetPosition(float& x, float& y) const { mEmitter->GetPosition(x, y); }

void ParticleEmitter::SetDirection(float degrees) { mEmitter->SetDirection(degrees); }

void ParticleEmitter::SetLoopMode(i32 mode) { mEmitter->SetLoopMode(mode == 1 || mode == 2 ? mode : 0); }

QLResultEnum ParticleEmitter::Render(Graphics* graphics, DrawParam* transformer, math::Box* bounds,
                                     math::Box* transformedBounds, u32* drawn)
{
    if (drawn)
        *drawn = 0;
    if (bounds)
        bounds->SetEmpty();
    if (transformedBounds)
        transformedBounds->SetEmpty();
    if (!graphics)
        return QL_FAIL;
    BindGraphics(graphics);
    Graphics& g = *graphics;
    if (mState == STOPPED || !mEmitter->InInterval())
        return QL_OK;

    const BlendModeEnum oldBlend = g.GetState().mBlendMode;
    const float* colour = g.GetColor();
    const VertexFormat& format = GetVertexFormat<SVertex2D>();
    ParticleSystem* system = ParticleSystem::Instance();
    QLResultEnum result = QL_OK;
    u32 total = 0;
    particles::Quad quads[kQuadBlock];

    const u32 lists = mEmitter->ListCount();
    for (u32 l = 0; l < lists && result == QL_OK; ++l)
    {
        particles::RenderList list;
        if (!mEmitter->GetList(l, list))
            break;
        const Image* image = system->GetAtlas(list.atlas);
        if (!image || !image->GetTexture())
            continue; // its atlas did not load: nothing sensible to draw
        (void)g.SetBlendMode(list.intense ? BLEND_ADDITIVE : BLEND_ALPHA);
        u32 batch = kLargeBatch;
        for (u32 first = 0; first < list.count && result == QL_OK;)
        {
            const u32 n = std::min(batch, list.count - first);
            SVertex2D* vertices = nullptr;
            u16* indices = nullptr;
            u32 firstVertex = 0, firstIndex = 0;
            Buffer* vertexBuffer = nullptr;
            Buffer* indexBuffer = nullptr;
            result = g.AllocateVertices<SVertex2D>(4 * n, &vertices, &firstVertex, &vertexBuffer);
            if (result == QL_OK)
                result = g.AllocateIndices(6 * n, &indices, &firstIndex, &indexBuffer);
            if (result != QL_OK)
            {
                if (batch == kSmallBatch)
                    break;
                batch = kSmallBatch; // the main caches are full: go on in overflow chunks
                result = QL_OK;
                continue;
            }
            for (u32 done = 0; done < n; done += kQuadBlock)
            {
                const u32 m = std::min(kQuadBlock, n - done);
                mEmitter->WriteQuads(list, first + done, m, quads);
                for (u32 q = 0; q < m; ++q)
                {
                    SVertex2D* v = vertices + 4 * (done + q);
                    const u32 c = Modulate(quads[q].color, colour);
                    for (int k = 0; k < 4; ++k)
                        v[k] = {quads[q].x[k], quads[q].y[k], 0.0f, 1.0f, c, 0xFFFFFFFFu, quads[q].u[k], quads[q].v[k]};
                    FillQuadIndices(indices + 6 * (done + q), firstVertex + 4 * (done + q));
                }
            }
            const u32 count = 4 * n;
            if (bounds)
                for (u32 i = 0; i < count; ++i)
                    bounds->AddPoint(vertices[i].x, vertices[i].y, vertices[i].z);
            if ((result = image->MapTextureCoords(vertices, format, count)) != QL_OK)
                break;
            if (transformer && (result = transformer->TransformVertices(vertices, format, count)) != QL_OK)
                break;
            if (transformedBounds)
                for (u32 i = 0; i < count; ++i)
                    transformedBounds->AddPoint(vertices[i].x, vertices[i].y, vertices[i].z);
            g.ApplyTransform(vertices, format, count);
            if ((result = g.SubmitState(g.GetTexturedShader(), vertexBuffer, indexBuffer)) != QL_OK)
                break;
            if ((result = g.BindTexture(image->GetTexture())) != QL_OK)
                break;
            if ((result = mRender->DrawIndexed(PRIM_TRIANGLELIST, firstIndex, 2 * n, firstVertex, count)) != QL_OK)
                break;
            total += n;
            first += n;
        }
    }
    (void)g.SetBlendMode(oldBlend);
    if (drawn)
        *drawn = total;
    return result;
}
} // namespace render

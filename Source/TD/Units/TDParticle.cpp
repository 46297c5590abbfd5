// Particle effects bound to battle objects.
#include "Source/TD/Units/TDParticle.h"

#include "Core/Base/Math.h"
#include "Core/Base/Random.h"
#include "Source/TD/Level/TDRoadNetwork.h"
#include "Source/TD/Seams/TDBattleCanvas.h"
#include "Source/TD/Units/TDUnit.h"

#include <cmath>

float tdNormalizeAngle(float degrees)
{
    if (!std::isfinite(degrees))
        return 0.0f;
    float a = std::fmod(degrees, 360.0f);
    if (a < 0.0f)
        a += 360.0f;
    return a >= 360.0f ? 0.0f : a;
}

void tdColorFromARGB(u32 argb, float out[4])
{
    out[0] = static_cast<float>((argb >> 16) & 0xFF) / 255.0f;
    out[1] = static_cast<float>((argb >> 8) & 0xFF) / 255.0f;
    out[2] = static_cast<float>(argb & 0xFF) / 255.0f;
    out[3] = static_cast<float>((argb >> 24) & 0xFF) / 255.0f;
}

TDParticle::TDParticle(TDParticles& system, const std::wstring& name) : mSystem(system)
{
    if (name.empty())
        return;
    if (std::unique_ptr<TDEmitter> emitter = system.createEmitter(name))
    {
        emitter->setLoopMode(1);
        emitter->setState(kEmitterPlaying);
        mEmitters.push_back(std::move(emitter));
    }
}

void TDParticle::update(float dt)
{
    for (auto& emitter : mEmitters)
        emitter->update(dt);
}

void TDParticle::draw(TDBattleCanvas& canvas)
{
    for (auto& emitter : mEmitters)
        canvas.drawEmitter(*emitter, mTransform);
}

bool TDParticle::isAlive() const
{
    if (mEmitters.empty())
        return false;
    for (const auto& emitter : mEmitters)
        if (emitter->state() != kEmitterPlaying)
            return false;
    return true;
}

void TDParticle::finish()
{
    for (auto& emitter : mEmitters)
        emitter->setState(kEmitterFinishing);
}

TDBeamParticle::TDBeamParticle(TDParticles& system, float x, float y, TDUnit* target, const std::wstring& name)
    : TDParticle(system, L""), mName(name), mStartX(x), mStartY(y), mTarget(target)
{
    mEndX = target ? target->mDrawPos[0] : x;
    mEndY = target ? target->mDrawPos[1] : y;
    aim();
    i32 n = linksFor(mEndX, mEndY);
    for (i32 i = 0; i < n; ++i)
        addLink(true);
}

i32 TDBeamParticle::linksFor(float x, float y) const
{
    // A target at no finite place, or absurdly far, gets a bounded chain.
    float n = std::ceil(tdDistance(mStartX, mStartY, x, y) / mSpacing);
    if (!(n >= 0.0f))
        return 0;
    return n > 1000.0f ? 1000 : static_cast<i32>(n);
}

void TDBeamParticle::addLink(bool preAdvance)
{
    std::unique_ptr<TDEmitter> emitter = mSystem.createEmitter(mName);
    // Links of a new beam are pre-advanced so they do not pulse together; the random draw
    // happens even without an emitter so the sequence does not depend on the particle data.
    float advance = preAdvance ? math::Random() * 3.5f : 0.0f;
    if (!emitter)
        return;
    if (preAdvance)
    {
        emitter->update(0.0);
        emitter->update(advance);
    }
    emitter->setLoopMode(1);
    emitter->setState(kEmitterPlaying);
    mEmitters.push_back(std::move(emitter));
}

void TDBeamParticle::aim()
{
    float dx = mEndX - mStartX, dy = mEndY - mStartY;
    mAngle = tdNormalizeAngle(math::Atan2(dx, dy) * math::kRadToDeg + 90.0f);
    mTransform.Reset();
    mTransform.RotateDegrees(mAngle);
}

void TDBeamParticle::update(float dt)
{
    mGrow += dt * 10.0f;
    if (mGrow > 1.0f)
        mGrow = 1.0f;
    if (mTarget)
    {
        mEndX = mTarget->mDrawPos[0];
        mEndY = mTarget->mDrawPos[1];
    }
    i32 n = linksFor(mEndX, mEndY);
    if (n < static_cast<i32>(mEmitters.size()))
    {
        mEmitters.back()->setState(kEmitterFinishing);
        mEmitters.pop_back();
    }
    else
        while (n > static_cast<i32>(mEmitters.size()))
        {
            size_t before = mEmitters.size();
            addLink(false);
            if (mEmitters.size() == before)
                break; // the effect does not exist
        }
    aim();
    for (auto& emitter : mEmitters)
        emitter->update(dt);
}

float TDBeamParticle::linkDistance(size_t i) const
{
    if (i + 1 == mEmitters.size())
        return (tdDistance(mStartX, mStartY, mEndX, mEndY) - mSpacing) * mGrow;
    return static_cast<float>(i) * mSpacing * mGrow;
}

void TDBeamParticle::draw(TDBattleCanvas& canvas)
{
    const float length = tdDistance(mStartX, mStartY, mEndX, mEndY);
    const float ux = length > 0.0f ? (mEndX - mStartX) / length : 0.0f;
    const float uy = length > 0.0f ? (mEndY - mStartY) / length : 0.0f;
    for (size_t i = 0; i < mEmitters.size(); ++i)
    {
        const float d = linkDistance(i);
        math::Transform2D link = mTransform;
        link.Translate(mStartX + ux * d, mStartY + uy * d);
        canvas.drawEmitter(*mEmitters[i], link);
    }
}

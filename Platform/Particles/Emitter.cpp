// The particle simulation: timeline, emission, motion, ageing and the quads handed out.
#include "Platform/Particles/Emitter.h"

#include "Platform/Base/Angles.h"

#include <algorithm>
#include <cstring>

namespace particles
{
namespace
{
constexpr double kMaxUpdateSeconds = 10.0;
constexpr double kMaxStepSeconds = 1.0 / 30.0;

u32 PackColor(float r, float g, float b, float a)
{
    auto channel = [](float c) { return static_cast<u32>(std::clamp(c, 0.0f, 1.0f) * 255.0f) & 0xFF; };
    return channel(a) << 24 | channel(r) << 16 | channel(g) << 8 | channel(b);
}

u32 ColorAt(const std::vector<ColorKey>& keys, float t)
{
    if (keys.empty())
        return 0xFFFFFFFFu;
    if (t <= keys.front().t)
        return PackColor(keys.front().r, keys.front().g, keys.front().b, keys.front().a);
    for (size_t i = 1; i < keys.size(); ++i)
    {
        const ColorKey& a = keys[i - 1];
        const ColorKey& b = keys[i];
        if (t <= b.t)
        {
            const float span = b.t - a.t;
            const float f = span > 0.0f ? (t - a.t) / span : 1.0f;
            return PackColor(a.r + (b.r - a.r) * f, a.g + (b.g - a.g) * f, a.b + (b.b - a.b) * f,
                             a.a + (b.a - a.a) * f);
        }
    }
    return PackColor(keys.back().r, keys.back().g, keys.back().b, keys.back().a);
}

void HashBytes(u64& hash, const void* data, size_t size)
{
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < size; ++i)
        hash = (hash ^ bytes[i]) * 1099511628211ull;
}
} // namespace

Emitter::Emitter(std::shared_ptr<const EmitterDesc> desc, u32 seed)
    : mDesc(std::move(desc)), mSeed(seed), mRandom(seed), mTypes(mDesc->types.size())
{
}

std::unique_ptr<Emitter> Emitter::Duplicate()
{
    auto copy = std::make_unique<Emitter>(mDesc, MixSeed(mSeed, ++mCopies));
    copy->mInterpolation = mInterpolation;
    copy->mLoopMode = mLoopMode;
    copy->mPositionMode = mPositionMode;
    copy->mX = copy->mLastX = mX;
    copy->mY = copy->mLastY = mY;
    copy->mDirection = mDirection;
    return copy;
}

void Emitter::SetLoopMode(i32 mode) { mLoopMode = (mode == LOOP_REPEAT || mode == LOOP_FOREVER) ? mode : LOOP_ONCE; }

void Emitter::Restart()
{
    for (TypeState& state : mTypes)
        state = TypeState();
    mTime = 0.0;
    mInInterval = true;
    if (mDesc->prewarm > 0.0f)
        Advance(mDesc->prewarm);
}

void Emitter::Stop()
{
    for (TypeState& state : mTypes)
        state = TypeState();
    mTime = 0.0;
    mInInterval = false;
}

bool Emitter::Update(double ms)
{
    if (!mInInterval)
        return false;
    double seconds = ms / 1000.0;
    if (!(seconds > 0.0)) // also NaN
        seconds = 0.0;
    Advance(std::min(seconds, kMaxUpdateSeconds));
    if (EmissionOver() && ParticleCount() == 0)
    {
        mInInterval = false;
        return false;
    }
    return true;
}

bool Emitter::EmissionOver() const
{
    return mInterrupt || (mDesc->duration > 0.0f && mLoopMode == LOOP_ONCE && mTime >= mDesc->duration);
}

void Emitter::Advance(double seconds)
{
    const double duration = mDesc->duration;
    // The way moved since the last step is spread over the parts of a long step.
    const float fromX = mLastX, fromY = mLastY, toX = mX, toY = mY;
    const double total = seconds;
    double done = 0.0;
    // A step of 0 still runs once, so a burst shows before any time has passed.
    do
    {
        double step = std::min(seconds, kMaxStepSeconds);
        const bool wraps = duration > 0.0 && mLoopMode == LOOP_REPEAT && mTime + step >= duration;
        if (wraps)
            step = std::max(0.0, duration - mTime);
        done += step;
        const float f = total > 0.0 ? static_cast<float>(done / total) : 1.0f;
        mX = fromX + (toX - fromX) * f;
        mY = fromY + (toY - fromY) * f;
        Simulate(step);
        mTime += step;
        seconds -= step;
        if (wraps)
        {
            mTime = 0.0;
            for (TypeState& state : mTypes)
                state.burstDone = false;
        }
    } while (seconds > 0.0);
    mX = mLastX = toX;
    mY = mLastY = toY;
}

void Emitter::Simulate(double seconds)
{
    const float h = static_cast<float>(seconds);
    const double duration = mDesc->duration;
    // Timeline end of emission: a pass of the timeline, or endless.
    const double end = (duration > 0.0 && mLoopMode != LOOP_FOREVER) ? duration : 1.0e300;
    for (size_t t = 0; t < mTypes.size(); ++t)
    {
        const ParticleType& type = mDesc->types[t];
        TypeState& state = mTypes[t];
        // Age and move.
        const float drag = std::max(0.0f, 1.0f - type.drag * h);
        auto alive = state.particles.begin();
        for (auto it = state.particles.begin(); it != state.particles.end(); ++it)
        {
            Particle p = *it;
            p.age += h;
            if (p.age >= p.life)
                continue;
            p.vx = (p.vx + type.gravityX * h) * drag;
            p.vy = (p.vy + type.gravityY * h) * drag;
            p.x += p.vx * h;
            p.y += p.vy * h;
            p.angle += p.spin * h;
            *alive++ = p;
        }
        state.particles.erase(alive, state.particles.end());

        // Emit over the part of this step that lies in the type's window.
        if (mInterrupt)
            continue;
        const double from = std::max(mTime, static_cast<double>(type.delay));
        const double to = std::min(mTime + seconds, end);
        if (to < from || (to == from && (state.burstDone || from >= end)))
            continue;
        u32 count = 0;
        if (!state.burstDone)
        {
            count += type.burst;
            state.burstDone = true;
        }
        state.carry += type.rate * (to - from);
        const double whole = std::floor(state.carry);
        state.carry -= whole;
        count += static_cast<u32>(std::min(whole, 1.0e6));
        Emit(type, state, count);
    }
    mLastX = mX;
    mLastY = mY;
}

void Emitter::Emit(const ParticleType& type, TypeState& state, u32 count)
{
    const size_t room = type.max > state.particles.size() ? type.max - state.particles.size() : 0;
    count = static_cast<u32>(std::min<size_t>(count, room));
    for (u32 i = 0; i < count; ++i)
    {
        Particle p;
        // Uniform over the spawn ellipse.
        const float a = mRandom.Unit() * 360.0f * math::kDegToRad;
        const float r = std::sqrt(mRandom.Unit());
        // Trail kinds are born along the way the emitter moved since the last step, so a fast
        // emitter leaves an unbroken trail.
        const float along = type.trail ? static_cast<float>(i + 1) / static_cast<float>(count) : 1.0f;
        p.x = mLastX + (mX - mLastX) * along + std::cos(a) * r * type.areaX;
        p.y = mLastY + (mY - mLastY) * along + std::sin(a) * r * type.areaY;
        const float heading = (type.direction + mDirection + (mRandom.Unit() - 0.5f) * type.spread) * math::kDegToRad;
        const float speed = mRandom.Between(type.speed.min, type.speed.max);
        p.vx = std::cos(heading) * speed;
        p.vy = -std::sin(heading) * speed;
        p.age = 0.0f;
        p.life = mRandom.Between(type.life.min, type.life.max);
        p.size = mRandom.Between(type.size.min, type.size.max);
        p.angle = mRandom.Between(type.angle.min, type.angle.max);
        p.spin = mRandom.Between(type.spin.min, type.spin.max);
        state.particles.push_back(p);
    }
}

void Emitter::SetPosition(float x, float y)
{
    if (!std::isfinite(x) || !std::isfinite(y))
        return;
    if (mPositionMode == MOVE_WITH_PARTICLES)
    {
        const float dx = x - mX, dy = y - mY;
        for (size_t t = 0; t < mTypes.size(); ++t)
        {
            if (mDesc->types[t].trail)
                continue;
            for (Particle& p : mTypes[t].particles)
            {
                p.x += dx;
                p.y += dy;
            }
        }
    }
    mX = x;
    mY = y;
    if (mPositionMode != MOVE_WITH_PARTICLES)
    {
        mLastX = x; // placed at once: nothing is born along the way
        mLastY = y;
    }
}

u32 Emitter::ListCount() const
{
    u32 n = 0;
    for (const TypeState& state : mTypes)
        n += state.particles.empty() ? 0 : 1;
    return n;
}

bool Emitter::GetList(u32 index, RenderList& out) const
{
    for (size_t t = 0; t < mTypes.size(); ++t)
    {
        if (mTypes[t].particles.empty())
            continue;
        if (index-- == 0)
        {
            const ParticleType& type = mDesc->types[t];
            out.type = static_cast<u32>(t);
            out.count = static_cast<u32>(mTypes[t].particles.size());
            out.atlas = type.atlas;
            out.intense = type.additive;
            return true;
        }
    }
    return false;
}

void Emitter::WriteQuads(const RenderList& list, u32 first, u32 count, Quad* out) const
{
    if (list.type >= mTypes.size())
        return;
    const ParticleType& type = mDesc->types[list.type];
    const std::vector<Particle>& particles = mTypes[list.type].particles;
    const u32 last = static_cast<u32>(std::min<size_t>(particles.size(), static_cast<size_t>(first) + count));
    static const float kCornerX[4] = {-1.0f, 1.0f, 1.0f, -1.0f};
    static const float kCornerY[4] = {-1.0f, -1.0f, 1.0f, 1.0f};
    for (u32 i = first; i < last; ++i, ++out)
    {
        const Particle& p = particles[i];
        const float t = p.age / p.life;
        const float half = 0.5f * p.size * (1.0f + (type.grow - 1.0f) * t);
        const float angle = type.align ? std::atan2(p.vy, p.vx) : p.angle * math::kDegToRad;
        const float c = std::cos(angle) * half, s = std::sin(angle) * half;
        for (int k = 0; k < 4; ++k)
        {
            out->x[k] = p.x + kCornerX[k] * c - kCornerY[k] * s;
            out->y[k] = p.y + kCornerX[k] * s + kCornerY[k] * c;
        }
        out->u[0] = out->u[3] = type.u0;
        out->u[1] = out->u[2] = type.u1;
        out->v[0] = out->v[1] = type.v0;
        out->v[2] = out->v[3] = type.v1;
        out->color = ColorAt(type.colors, t);
    }
}

u32 Emitter::ParticleCount() const
{
    size_t n = 0;
    for (const TypeState& state : mTypes)
        n += state.particles.size();
    return static_cast<u32>(n);
}

u64 Emitter::StateHash() const
{
    u64 hash = 1469598103934665603ull;
    HashBytes(hash, &mTime, sizeof mTime);
    for (const TypeState& state : mTypes)
    {
        const u64 n = state.particles.size();
        HashBytes(hash, &n, sizeof n);
        for (const Particle& p : state.particles)
            HashBytes(hash, &p, sizeof p);
    }
    return hash;
}
} // namespace particles

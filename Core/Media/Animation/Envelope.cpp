// Envelope evaluation: behaviours outside the keyed range, then the curve between two keys.
#include "Core/Media/Animation/Envelope.h"

#include <climits>
#include <cmath>

namespace animation
{
namespace
{
// Keys closer than this to the time count as reached when the pair around it is searched.
constexpr float kKeyTolerance = 0.0002f;
constexpr float kFlatHandle = 0.00001f;
// The curve parameter of a 2D Bezier is halved at most this often (floats stop changing first).
constexpr int kMaxBisections = 64;

// Moves v into [lo, hi] by whole periods; count receives how many periods were removed.
float Wrap(float v, float lo, float hi, int& count)
{
    const float range = hi - lo;
    count = 0;
    if (range == 0.0f)
        return lo;
    const float wrapped = v - range * std::floor((v - lo) / range);
    const float cycles = (wrapped - v) / range + (wrapped > v ? 0.5f : -0.5f);
    // Clamped so that absurd times cannot overflow the conversion.
    if (cycles >= static_cast<float>(INT_MAX))
        count = -INT_MAX;
    else if (cycles <= static_cast<float>(INT_MIN + 1))
        count = INT_MAX;
    else if (!std::isnan(cycles))
        count = -static_cast<int>(cycles);
    return wrapped;
}

// Brings t into the keyed range by a repeating behaviour; an offset repeat also gives the rise
// of the cycles it removed.
float Repeat(u32 behaviour, float t, const EnvelopeKey& s, const EnvelopeKey& e, float& offset)
{
    int cycles = 0;
    t = Wrap(t, s.time, e.time, cycles);
    if (behaviour == BEHAVIOUR_OSCILLATE && cycles % 2 != 0)
        t = e.time + s.time - t; // mirrored within the range, wherever the range starts
    else if (behaviour == BEHAVIOUR_OFFSET_REPEAT)
        offset = static_cast<float>(cycles) * (e.value - s.value);
    return t;
}

// span / whole, or whether there is no usable neighbour (absent, or at the same time).
bool Ratio(float span, float whole, float& out)
{
    if (whole == 0.0f)
        return false;
    out = span / whole;
    return true;
}

// Tangent leaving keys[i] towards keys[i + 1].
float Outgoing(const std::vector<EnvelopeKey>& keys, size_t i)
{
    const EnvelopeKey& k0 = keys[i];
    const EnvelopeKey& k1 = keys[i + 1];
    const EnvelopeKey* p = i > 0 ? &keys[i - 1] : nullptr;
    const float d = k1.value - k0.value;
    float ratio = 0.0f;
    const bool withPrevious = p && Ratio(k1.time - k0.time, k1.time - p->time, ratio);
    switch (k0.shape)
    {
    case SHAPE_TCB:
    {
        const float tension = k0.p[0], continuity = k0.p[1], bias = k0.p[2];
        const float a = (1.0f - tension) * (1.0f + continuity) * (1.0f + bias);
        const float b = (1.0f - tension) * (1.0f - continuity) * (1.0f - bias);
        return withPrevious ? ratio * (a * (k0.value - p->value) + b * d) : b * d;
    }
    case SHAPE_HERMITE:
    case SHAPE_BEZIER: return withPrevious ? k0.p[1] * ratio : k0.p[1];
    case SHAPE_LINEAR: return withPrevious ? ratio * (k0.value - p->value + d) : d;
    case SHAPE_BEZIER2D:
    {
        const float out = k0.p[3] * (k1.time - k0.time);
        return std::fabs(k0.p[2]) > kFlatHandle ? out / k0.p[2] : out * 100000.0f;
    }
    default: return 0.0f;
    }
}

// Tangent arriving at keys[i + 1] from keys[i].
float Incoming(const std::vector<EnvelopeKey>& keys, size_t i)
{
    const EnvelopeKey& k0 = keys[i];
    const EnvelopeKey& k1 = keys[i + 1];
    const EnvelopeKey* q = i + 2 < keys.size() ? &keys[i + 2] : nullptr;
    const float d = k1.value - k0.value;
    float ratio = 0.0f;
    const bool withNext = q && Ratio(k1.time - k0.time, q->time - k0.time, ratio);
    switch (k1.shape)
    {
    case SHAPE_TCB:
    {
        const float tension = k1.p[0], continuity = k1.p[1], bias = k1.p[2];
        const float a = (1.0f - tension) * (1.0f - continuity) * (1.0f + bias);
        const float b = (1.0f - tension) * (1.0f + continuity) * (1.0f - bias);
        return withNext ? ratio * (b * (q->value - k1.value) + a * d) : a * d;
    }
    case SHAPE_HERMITE:
    case SHAPE_BEZIER: return withNext ? k1.p[0] * ratio : k1.p[0];
    case SHAPE_LINEAR: return withNext ? ratio * (q->value - k1.value + d) : d;
    case SHAPE_BEZIER2D:
    {
        const float in = k1.p[1] * (k1.time - k0.time);
        return std::fabs(k1.p[0]) > kFlatHandle ? in / k1.p[0] : in * 100000.0f;
    }
    default: return 0.0f;
    }
}

float Bezier(float x0, float x1, float x2, float x3, float s)
{
    const float r = 1.0f - s;
    return r * r * r * x0 + 3.0f * r * r * s * x1 + 3.0f * r * s * s * x2 + s * s * s * x3;
}

// The 2D Bezier between two keys: the curve parameter whose time is t, then its value.
float Bezier2D(const EnvelopeKey& k0, const EnvelopeKey& k1, float t)
{
    float x1, y1;
    if (k0.shape == SHAPE_BEZIER2D)
    {
        x1 = k0.time + k0.p[2];
        y1 = k0.value + k0.p[3];
    }
    else
    {
        x1 = k0.time + (k1.time - k0.time) / 3.0f;
        y1 = k0.value + k0.p[1] / 3.0f;
    }
    const float x2 = k1.time + k1.p[0];
    float lo = 0.0f, hi = 1.0f, s = 0.5f;
    for (int i = 0; i < kMaxBisections; ++i)
    {
        const float x = Bezier(k0.time, x1, x2, k1.time, s);
        if (std::fabs(x - t) <= 0.0001f)
            break;
        if (x > t)
            hi = s;
        else
            lo = s;
        s = lo + (hi - lo) * 0.5f;
    }
    return Bezier(k0.value, y1, k1.p[1] + k1.value, k1.value, s);
}
} // namespace

float Envelope::Evaluate(float t) const
{
    const std::vector<EnvelopeKey>& keys = mKeys;
    if (keys.empty())
        return 0.0f;
    if (keys.size() == 1)
        return keys[0].value;

    const EnvelopeKey& s = keys.front();
    const EnvelopeKey& e = keys.back();
    float offset = 0.0f;
    if (t < s.time)
    {
        switch (mPre)
        {
        case BEHAVIOUR_RESET: return 0.0f;
        case BEHAVIOUR_CONSTANT: return s.value;
        case BEHAVIOUR_REPEAT:
        case BEHAVIOUR_OSCILLATE:
        case BEHAVIOUR_OFFSET_REPEAT: t = Repeat(mPre, t, s, e, offset); break;
        case BEHAVIOUR_LINEAR:
        {
            const float span = keys[1].time - s.time;
            if (span == 0.0f)
                return s.value;
            return Outgoing(keys, 0) / span * (t - s.time) + s.value;
        }
        default: break;
        }
    }
    if (t > e.time)
    {
        switch (mPost)
        {
        case BEHAVIOUR_RESET: return 0.0f;
        case BEHAVIOUR_CONSTANT: return e.value;
        case BEHAVIOUR_REPEAT:
        case BEHAVIOUR_OSCILLATE:
        case BEHAVIOUR_OFFSET_REPEAT: t = Repeat(mPost, t, s, e, offset); break;
        case BEHAVIOUR_LINEAR:
        {
            const size_t last = keys.size() - 1;
            const float span = e.time - keys[last - 1].time;
            if (span == 0.0f)
                return e.value;
            return Incoming(keys, last - 1) / span * (t - e.time) + e.value;
        }
        default: break;
        }
    }

    size_t i = 0;
    while (i + 2 < keys.size() && keys[i + 1].time + kKeyTolerance < t)
        ++i;
    const EnvelopeKey& k0 = keys[i];
    const EnvelopeKey& k1 = keys[i + 1];
    if (t == k0.time)
        return k0.value + offset;
    if (t == k1.time || k1.time == k0.time)
        return k1.value + offset;

    const float u = (t - k0.time) / (k1.time - k0.time);
    switch (k1.shape)
    {
    case SHAPE_TCB:
    case SHAPE_HERMITE:
    case SHAPE_BEZIER:
    {
        const float u2 = u * u, u3 = u2 * u;
        const float h2 = 3.0f * u2 - 2.0f * u3;
        const float h1 = 1.0f - h2;
        const float h4 = u3 - u2;
        const float h3 = h4 - u2 + u;
        return h1 * k0.value + h2 * k1.value + h3 * Outgoing(keys, i) + h4 * Incoming(keys, i) + offset;
    }
    case SHAPE_LINEAR: return k0.value + u * (k1.value - k0.value) + offset;
    case SHAPE_STEPPED: return k0.value + offset;
    case SHAPE_BEZIER2D: return Bezier2D(k0, k1, t) + offset;
    default: return offset;
    }
}
} // namespace animation

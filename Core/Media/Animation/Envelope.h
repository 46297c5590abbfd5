// A LightWave envelope: keyed values with pre- and post-behaviours and per-key curve shapes,
// evaluated with the envelope algorithm published with the LightWave SDK.
#pragma once

#include "Core/Base/Types.h"

#include <vector>

namespace animation
{
enum EnvelopeShape : u32
{
    SHAPE_TCB = 0,
    SHAPE_HERMITE = 1,
    SHAPE_BEZIER = 2,
    SHAPE_LINEAR = 3,
    SHAPE_STEPPED = 4,
    SHAPE_BEZIER2D = 5,
};

enum EnvelopeBehaviour : u32
{
    BEHAVIOUR_RESET = 0,
    BEHAVIOUR_CONSTANT = 1,
    BEHAVIOUR_REPEAT = 2,
    BEHAVIOUR_OSCILLATE = 3,
    BEHAVIOUR_OFFSET_REPEAT = 4,
    BEHAVIOUR_LINEAR = 5,
};

// The same 36 bytes in memory and in the file.
struct EnvelopeKey
{
    float value = 0.0f;
    float time = 0.0f; // seconds
    u32 shape = SHAPE_TCB;
    // TCB: tension, continuity, bias. Hermite and Bezier: incoming, outgoing tangent. 2D Bezier:
    // incoming (time, value) handle, outgoing (time, value) handle.
    float p[4] = {};
    u8 unused[8] = {};
};
static_assert(sizeof(EnvelopeKey) == 36);

class Envelope
{
public:
    float Evaluate(float time) const;

    u32 mPre = BEHAVIOUR_CONSTANT;
    u32 mPost = BEHAVIOUR_CONSTANT;
    std::vector<EnvelopeKey> mKeys; // in time order
};
} // namespace animation

// Layer animation: heading turns about y, pitch about x, bank about z; dissolve is transparency.
#include "Core/Layer/LayerAnim.h"

#include "Core/Layer/Drawable.h"
#include "Core/Media/Animation/AnimLayer.h"

#include <algorithm>
#include <cmath>

namespace animation
{
namespace
{
// Clamped to [0, 1]; a value that is not a number counts as 0.
float Unit(float value) { return std::isnan(value) ? 0.0f : std::clamp(value, 0.0f, 1.0f); }

// Stores only a changed value; a store marks the transform changed and the parent box stale.
void Store(layer::Drawable& target, float& field, float value)
{
    if (field == value)
        return;
    field = value;
    target.mTransformChanged = true;
    target.mParentBoxValid = false;
}
} // namespace

QLResultEnum LayerAnim::Apply(float time)
{
    if (!mTarget || !mLayer)
        return QL_OK;
    float v[CHANNEL_COUNT];
    for (u32 i = 0; i < CHANNEL_COUNT; ++i)
        v[i] = mLayer->mChannels[i].Evaluate(time);

    layer::Drawable& target = *mTarget;
    Store(target, target.mPosition.x, v[CHANNEL_POSITION_X]);
    Store(target, target.mPosition.y, v[CHANNEL_POSITION_Y]);
    Store(target, target.mPosition.z, v[CHANNEL_POSITION_Z]);
    Store(target, target.mRotation.x, v[CHANNEL_PITCH]);
    Store(target, target.mRotation.y, v[CHANNEL_HEADING]);
    Store(target, target.mRotation.z, v[CHANNEL_BANK]);
    Store(target, target.mScale.x, v[CHANNEL_SCALE_X]);
    Store(target, target.mScale.y, v[CHANNEL_SCALE_Y]);
    Store(target, target.mScale.z, v[CHANNEL_SCALE_Z]);

    target.mAlpha = 1.0f - Unit(v[CHANNEL_DISSOLVE]);

    if (mLayer->mColour)
    {
        const Envelope* colour = mLayer->mColour->channels;
        target.mColor[0] = Unit(colour[COLOUR_RED].Evaluate(time));
        target.mColor[1] = Unit(colour[COLOUR_GREEN].Evaluate(time));
        target.mColor[2] = Unit(colour[COLOUR_BLUE].Evaluate(time));
        target.mTint = Unit(colour[COLOUR_TINT].Evaluate(time));
    }
    return QL_OK;
}
} // namespace animation

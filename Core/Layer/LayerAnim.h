// Poses a visual layer from one animation layer: position, rotation, scale, opacity, colour.
#pragma once

#include "Core/Media/Animation/Anim.h"

namespace layer
{
class Drawable;
}

namespace animation
{
class AnimLayer;

class LayerAnim : public Anim
{
public:
    // Neither is owned; both must outlive this object.
    LayerAnim(layer::Drawable* target, const AnimLayer* layer) : mTarget(target), mLayer(layer) {}
    QLResultEnum Apply(float time) override;

    layer::Drawable* GetTarget() const { return mTarget; }
    const AnimLayer* GetLayer() const { return mLayer; }

private:
    layer::Drawable* mTarget;
    const AnimLayer* mLayer;
};
} // namespace animation

// Something that poses its target for a moment of an animation.
#pragma once

#include "Core/Base/Types.h"

namespace animation
{
class Anim
{
public:
    virtual ~Anim() = default;
    virtual QLResultEnum Apply(float time) = 0;
};
} // namespace animation

// Told by the video player when its stream has ended.
#pragma once

#include "Core/Base/Types.h"

namespace video
{
class TheoraVideo;

class TheoraVideoListener
{
public:
    virtual ~TheoraVideoListener() = default;
    // Called once, from inside TheoraVideo::Update, which returns at once afterwards: the
    // listener may delete the player here.
    virtual QLResultEnum OnVideoEnded(TheoraVideo* video) = 0;
};
} // namespace video

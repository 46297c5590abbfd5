// The audio layer's ids, its notification kind and its engine as the sound headers name them,
// without the audio layer itself (Platform/Audio/Mixer.h and AudioEngine.h define them).
#pragma once

#include "Core/Base/Types.h"

namespace audio
{
class AudioEngine;
using ChannelId = u32;
using SampleId = u32;
enum class EventKind;
} // namespace audio

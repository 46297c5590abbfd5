// One layer of an animation file: its mesh reference, parent, flags and channel envelopes.
#pragma once

#include "Core/Media/Animation/Envelope.h"

#include <memory>
#include <string>

namespace lightwave
{
struct Mesh;
}

namespace animation
{
class AnimData;

enum AnimChannel : u32
{
    CHANNEL_POSITION_X = 0,
    CHANNEL_POSITION_Y,
    CHANNEL_POSITION_Z,
    CHANNEL_HEADING,
    CHANNEL_PITCH,
    CHANNEL_BANK,
    CHANNEL_SCALE_X,
    CHANNEL_SCALE_Y,
    CHANNEL_SCALE_Z,
    CHANNEL_DISSOLVE,
    CHANNEL_COUNT,
};

enum ColourChannel : u32
{
    COLOUR_RED = 0,
    COLOUR_GREEN,
    COLOUR_BLUE,
    COLOUR_TINT,
    COLOUR_COUNT,
};

struct ColourEnvelopes
{
    Envelope channels[COLOUR_COUNT];
};

class AnimLayer
{
public:
    explicit AnimLayer(AnimData* owner) : mOwner(owner) {}

    // No mesh: the library is "null" or "screen_res", or the mesh is "null".
    bool WantsMesh() const;

    AnimData* mOwner;
    std::string mName;
    std::string mLibrary;
    std::string mMeshName;
    bool mHasParent = false;
    int mParent = 0; // 0-based, meaningful with mHasParent
    bool mFlag1 = false;
    bool mFlag2 = false;
    std::unique_ptr<ColourEnvelopes> mColour; // null without colour channels
    Envelope mChannels[CHANNEL_COUNT];
    const lightwave::Mesh* mMesh = nullptr;
};
} // namespace animation

// A one-shot particle effect of the battle: a playback speed factor, its age and its emitter.
#pragma once

#include "Core/Base/OwnedList.h"
#include "Core/Base/Types.h"
#include "Source/TD/Seams/TDBattleServices.h"

#include <memory>
#include <vector>

class TDEffectHolder
{
public:
    explicit TDEffectHolder(std::unique_ptr<TDEmitter> emitter) : mEmitter(std::move(emitter)) {}
    // A playing emitter is set to finish before it goes.
    ~TDEffectHolder();
    TDEffectHolder(const TDEffectHolder&) = delete;
    TDEffectHolder& operator=(const TDEffectHolder&) = delete;

    void update(float dt);
    // A missing emitter counts as stopped, so its holder is removed on the next pass.
    bool isPlaying() const { return mEmitter && mEmitter->state() == kEmitterPlaying; }

    float mSpeedFactor = 1.0f;
    float mTime = 0.0f;
    std::unique_ptr<TDEmitter> mEmitter;
};

// Updates every playing holder with dt and deletes the others, in place.
void tdUpdateEffects(base::OwnedList<TDEffectHolder>& list, float dt);

// One-shot particle effects of the battle.
#include "Source/TD/Units/TDEffectHolder.h"

TDEffectHolder::~TDEffectHolder()
{
    if (mEmitter && mEmitter->state() == kEmitterPlaying)
        mEmitter->setState(kEmitterFinishing);
}

void TDEffectHolder::update(float dt)
{
    float d = mSpeedFactor * dt;
    mTime += d;
    if (mEmitter)
        mEmitter->update(d);
}

void tdUpdateEffects(base::OwnedList<TDEffectHolder>& list, float dt)
{
    for (size_t i = 0; i < list.size();)
    {
        if (!list[i]->isPlaying())
        {
            list.eraseAt(i);
            continue;
        }
        list[i]->update(dt);
        ++i;
    }
}

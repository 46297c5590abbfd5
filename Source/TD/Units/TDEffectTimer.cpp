// Timed ambient effects of the scenery.
#include "Source/TD/Units/TDEffectTimer.h"

#include "Core/Base/Random.h"
#include "Source/TD/Units/TDBattleWorld.h"

void TDEffectTimer::update(TDBattleWorld& map, float dt)
{
    if (!started)
    {
        elapsed += dt;
        if (elapsed > firstDelay)
        {
            fire(map);
            elapsed = 0.0f;
        }
        return;
    }
    if (continuous)
        return;
    elapsed += dt;
    if (elapsed > repeatDelay)
    {
        fire(map);
        repeatDelay = math::RandomRange(20.0f, maxRepeatDelay);
        elapsed = 0.0f;
    }
}

void TDEffectTimer::fire(TDBattleWorld& map)
{
    started = true;
    if (name.empty())
        return;
    effect = map.startEffect(map.mEffects, name, x, y, continuous);
}

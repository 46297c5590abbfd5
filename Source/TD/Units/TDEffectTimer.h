// A timed ambient effect of the scenery: fires once after a delay, then again and again after
// random delays, or once for good when it is continuous.
#pragma once

#include "Core/Base/Types.h"

#include <string>

class TDEffectHolder;
class TDBattleWorld;

class TDEffectTimer
{
public:
    // Counts the battle time and fires when due.
    void update(TDBattleWorld& map, float dt);
    // Starts the effect (looping exactly when continuous) into the battle's effects.
    void fire(TDBattleWorld& map);

    std::wstring name;
    float x = 0.0f, y = 0.0f;
    bool continuous = false;
    float firstDelay = 0.0f;
    float maxRepeatDelay = 0.0f;
    float repeatDelay = 0.0f;
    float elapsed = 0.0f;
    bool started = false;
    TDEffectHolder* effect = nullptr; // not owned: the last one started
};

// The HUD button of one spell: its icon pulses under the pointer, a shade with a countdown
// shrinks while the spell recharges at the battle's speed, and a glow plays when it is ready.
#pragma once

#include "Source/TD/Battle/HUDButton.h"

#include <memory>

class TDEmitter;
class TDMap;
struct TDSpellProto;

class HUDSpellButton : public HUDButton
{
public:
    HUDSpellButton(TDMap& map, i32 spellId);
    ~HUDSpellButton() override;

    void draw(TDUiPainter& painter) override;
    void update(float dt) override;
    // Hit, ready, and the tower-needing spell (id 4) only while a tower stands.
    bool canPress(i32 x, i32 y) override;
    // A box 70 pixels wide, as high as the icon scaled to that width, bounds included.
    bool contains(i32 x, i32 y) override;
    bool onHover(i32 x, i32 y) override;

    // The spell was cast: it recharges for its ammunition's "cooldown" seconds.
    void startCooldown();
    void becomeReady();
    // Seconds of the full recharge (0 when the spell names no ammunition).
    float fullCooldown() const;

    i32 mSpellId = 0;
    std::unique_ptr<TDEmitter> mGlow;
    // The application's image scale.
    float mImageScale = 1.0f;

private:
    const TDSpellProto* spell() const;
    TDMap& mMap;
};

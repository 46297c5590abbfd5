// The spell buttons of the running first demo level on their own: the hit box and pulse, the
// shade and countdown of a recharge, the ready glow and the tower-needing spell's pictures.
// Choosing, casting and recharging by clicks are played in tests/Play/BattleHudTest.cpp, the tower
// spell's press in BattleInGameTest.cpp.
#include "DrawRecorder.h"
#include "InGame.h"

#include "Source/TD/Battle/HUDSpellButton.h"
#include "Source/TD/Shell/HUD.h"

using namespace tdtest;

namespace
{
TEST_F(InGame, ASpellButtonsBoxPulsesARechargeShowsItsShadeAndCountdownAndTheTowerSpellIsShadedWithoutATower)
{
    HUDSpellButton& b = *game.hud().spellButton(0);
    const TDImage& icon = *map->mSpells.findById(0)->imageTexture;
    const i32 half = static_cast<i32>(35.0f * static_cast<float>(icon.height()) / static_cast<float>(icon.width()));
    b.mCentreX = 500.0f;
    b.mCentreY = 300.0f;
    EXPECT_TRUE(b.contains(535, 300 + half));
    EXPECT_FALSE(b.contains(536, 300));
    EXPECT_FALSE(b.contains(465, 300 + half + 1));
    EXPECT_TRUE(b.onHover(500, 300 - half));
    // Grows at half the rate it shrinks, between 1 and 1.1.
    b.update(0.1f);
    EXPECT_FLOAT_EQ(b.mPulse, 1.05f);
    b.update(0.5f);
    EXPECT_FLOAT_EQ(b.mPulse, 1.1f);
    EXPECT_FALSE(b.onHover(-1, -1));
    b.update(0.1f);
    EXPECT_FLOAT_EQ(b.mPulse, 1.0f);

    // A recharge shows its shade and countdown, then glows when ready.
    const TDSpellProto& spell = *map->mSpells.findById(0);
    b.startCooldown();
    const float full = b.mCooldown;
    ASSERT_GT(full, 2.0f);
    b.update(full * 0.25f);
    RecordingUiPainter painter;
    b.draw(painter);
    std::vector<UiCall> rects = painter.of(L"rect");
    ASSERT_EQ(rects.size(), 2u);
    EXPECT_NEAR(rects[1].b, 0.75f * static_cast<float>(spell.image2Texture->height()), 1e-3) << "three quarters shaded";
    EXPECT_EQ(rects[0].x, b.mCentreX - static_cast<float>(spell.imageTexture->width() / 2) * rects[0].scale);
    ASSERT_EQ(painter.of(L"text").size(), 1u);
    EXPECT_EQ(painter.of(L"text")[0].name, std::to_wstring(static_cast<i32>(full * 0.75f + 1.0f)));
    map->mSpeed = 0.0f;
    b.update(1.0f);
    EXPECT_FLOAT_EQ(b.mCooldown, full * 0.75f) << "a paused battle stops the recharge";

    map->mSpeed = 1.0f;
    b.update(full * 0.75f - 0.01f);
    EXPECT_EQ(b.mUsed, 1);
    b.update(0.02f);
    EXPECT_EQ(b.mUsed, 0);
    ASSERT_NE(b.mGlow, nullptr);
    painter.calls.clear();
    b.draw(painter);
    EXPECT_EQ(painter.of(L"emitter").size(), 1u);
    EXPECT_EQ(painter.of(L"spell").size(), 1u);

    // The tower spell is shaded without a tower.
    map->mLevel = 2; // where the tower spell is unlocked
    ASSERT_EQ(map->loadLevel(), QL_OK);
    HUDSpellButton& t = *game.hud().spellButton(4);
    ASSERT_EQ(t.mSpellId, 4);
    painter.calls.clear();
    t.draw(painter);
    const TDSpellProto& towerSpell = *map->mSpells.findById(4);
    EXPECT_EQ(painter.of(L"spell")[0].image, towerSpell.image2Texture.get());
    ASSERT_NE(map->buildTower(0, 10000), nullptr);
    painter.calls.clear();
    t.draw(painter);
    EXPECT_EQ(painter.of(L"spell")[0].image, towerSpell.imageTexture.get());
}
} // namespace

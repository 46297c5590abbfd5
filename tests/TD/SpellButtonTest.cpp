// The spell button on its own: its hit box and pulse, the shade and countdown of a recharge, the
// ready glow and the tower-needing spell's pictures. Choosing, casting and recharging through the
// real HUD are played in tests/Play/BattleHudTest.cpp.
#include "InputFixture.h"

using namespace tdtest;

namespace
{
struct SpellButton : InputFixture
{
    void SetUp() override
    {
        InputFixture::SetUp();
        files.put(L"td/ammo_sheet.csv", "id;type;strength;speed;r;cooldown;fps\n2001;2;0;400;0;0;12\n3000;4;"
                                        "10;3;100;10;24\n3004;4;50;10;150;4;24\n");
    }
    HUDSpellButton& button(i32 n) { return *ihud.spellButton(n); }
};

TEST_F(SpellButton, HitBoxIsSeventyWideScaledToTheIconAndHoverPulses)
{
    begin(); // every picture is 140 x 100: the box is 70 x 50
    HUDSpellButton& b = button(0);
    b.mCentreX = 500.0f;
    b.mCentreY = 300.0f;
    EXPECT_TRUE(b.contains(535, 325));
    EXPECT_FALSE(b.contains(536, 300));
    EXPECT_FALSE(b.contains(465, 326));
    EXPECT_TRUE(b.onHover(500, 275));
    // Grows at half the rate it shrinks, between 1 and 1.1.
    b.update(0.1f);
    EXPECT_FLOAT_EQ(b.mPulse, 1.05f);
    b.update(0.5f);
    EXPECT_FLOAT_EQ(b.mPulse, 1.1f);
    EXPECT_FALSE(b.onHover(-1, -1));
    b.update(0.1f);
    EXPECT_FLOAT_EQ(b.mPulse, 1.0f);
}

TEST_F(SpellButton, ARechargeShowsItsShadeAndCountdownThenGlowsOnceWhenReady)
{
    TDMap& m = begin();
    HUDSpellButton& b = button(0);
    b.startCooldown(); // ammo 3000: 10 s
    for (int i = 0; i < 10; ++i)
        b.update(0.25f);
    RecordingUiPainter painter;
    b.draw(painter);
    std::vector<UiCall> rects = painter.of(L"rect");
    ASSERT_EQ(rects.size(), 2u);
    EXPECT_FLOAT_EQ(rects[1].b, 0.75f * 100.0f); // the shade covers three quarters
    EXPECT_EQ(rects[0].x, b.mCentreX - 70.0f);
    ASSERT_EQ(painter.of(L"text").size(), 1u);
    EXPECT_EQ(painter.of(L"text")[0].name, L"8");
    m.mSpeed = 0.0f;
    b.update(1.0f);
    EXPECT_FLOAT_EQ(b.mCooldown, 7.5f) << "a paused battle stops the recharge";

    m.mSpeed = 1.0f;
    size_t glows = particles.count(L"blik_6");
    b.update(7.49f);
    EXPECT_EQ(b.mUsed, 1);
    b.update(0.02f);
    EXPECT_EQ(b.mUsed, 0);
    ASSERT_NE(b.mGlow, nullptr);
    EXPECT_EQ(particles.count(L"blik_6"), glows + 1);
    EXPECT_EQ(static_cast<FakeEmitter*>(b.mGlow.get())->x, b.mCentreX);
    painter.calls.clear();
    b.draw(painter);
    EXPECT_EQ(painter.of(L"emitter").size(), 1u);
    EXPECT_EQ(painter.of(L"spell").size(), 1u);
    b.update(2.0f); // the glow played out
    EXPECT_EQ(b.mGlow, nullptr);
}

TEST_F(SpellButton, TheTowerSpellIsShadedAndCannotBePressedWithoutATower)
{
    TDMap& m = begin();
    HUDSpellButton& b = button(2);
    ASSERT_EQ(b.mSpellId, 4);
    i32 x = static_cast<i32>(b.mCentreX), y = static_cast<i32>(b.mCentreY);
    EXPECT_FALSE(b.canPress(x, y));
    RecordingUiPainter painter;
    b.draw(painter);
    const TDSpellProto* spell = m.mSpells.findById(4);
    EXPECT_EQ(painter.of(L"spell")[0].image, spell->image2Texture.get());
    ASSERT_NE(m.buildTower(0, 100), nullptr);
    EXPECT_TRUE(b.canPress(x, y));
    painter.calls.clear();
    b.draw(painter);
    EXPECT_EQ(painter.of(L"spell")[0].image, spell->imageTexture.get());
}
} // namespace

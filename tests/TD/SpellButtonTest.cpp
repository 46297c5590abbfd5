// The spell button: its hit box, the recharge at the battle's speed with its shade and
// countdown, the tower-needing spell, the pulse and the ready glow.
#include "InputFixture.h"

using namespace tdtest;

namespace
{
struct SpellButton : InputFixture
{
    void SetUp() override
    {
        InputFixture::SetUp();
        files.put(L"td/ammo_sheet.csv", "id;type;strength;speed;r;cooldown;fps\n"
                                        "2001;2;0;400;0;0;12\n"
                                        "3000;4;10;3;100;10;24\n"
                                        "3004;4;50;10;150;4;24\n");
    }
    HUDSpellButton& button(i32 n) { return *ihud.spells[static_cast<size_t>(n)]; }
};

TEST_F(SpellButton, HitBoxIsSeventyWideAndScaledToTheIcon)
{
    begin(); // every picture is 140 x 100
    HUDSpellButton& b = button(0);
    b.mCentreX = 500.0f;
    b.mCentreY = 300.0f;
    EXPECT_TRUE(b.contains(535, 300));
    EXPECT_FALSE(b.contains(536, 300));
    EXPECT_TRUE(b.contains(465, 325));
    EXPECT_FALSE(b.contains(465, 326));
    EXPECT_FALSE(b.contains(500, 274));
    EXPECT_TRUE(b.onHover(500, 275));
    EXPECT_EQ(b.mHover, 1);
    EXPECT_FALSE(b.onHover(-1, -1));
    EXPECT_EQ(b.mHover, 0);
}

TEST_F(SpellButton, RechargeFollowsTheBattleSpeed)
{
    TDMap& m = begin();
    HUDSpellButton& b = button(0);
    b.startCooldown();
    EXPECT_EQ(b.mUsed, 1);
    EXPECT_EQ(b.mCooldown, 10.0f);
    EXPECT_FALSE(b.canPress(static_cast<i32>(b.mCentreX), static_cast<i32>(b.mCentreY)));
    for (int i = 0; i < 10; ++i)
        b.update(0.25f);
    EXPECT_FLOAT_EQ(b.mCooldown, 7.5f);
    RecordingUiPainter painter;
    b.draw(painter);
    std::vector<UiCall> rects = painter.of(L"rect");
    ASSERT_EQ(rects.size(), 2u);
    EXPECT_FLOAT_EQ(rects[1].b, 0.75f * 100.0f); // the shade covers three quarters
    EXPECT_EQ(rects[0].x, b.mCentreX - 70.0f);
    EXPECT_EQ(rects[0].y, b.mCentreY - 50.0f);
    ASSERT_EQ(painter.of(L"text").size(), 1u);
    EXPECT_EQ(painter.of(L"text")[0].name, L"8");
    EXPECT_EQ(painter.of(L"font")[0].name, L"td/data/fonts/main_42_3");

    // Paused: nothing moves. Fast: twice the pace.
    m.mSpeed = 0.0f;
    b.update(1.0f);
    EXPECT_FLOAT_EQ(b.mCooldown, 7.5f);
    m.mSpeed = 2.0f;
    for (int i = 0; i < 10; ++i)
        b.update(0.25f);
    EXPECT_FLOAT_EQ(b.mCooldown, 2.5f);
    painter.calls.clear();
    b.draw(painter);
    EXPECT_EQ(painter.of(L"text")[0].name, L"3");
}

TEST_F(SpellButton, ReadyAgainWithOneGlow)
{
    begin();
    HUDSpellButton& b = button(0);
    b.startCooldown();
    size_t glows = particles.count(L"blik_6");
    b.update(9.99f);
    EXPECT_EQ(b.mUsed, 1);
    b.update(0.02f);
    EXPECT_EQ(b.mUsed, 0);
    EXPECT_EQ(b.mCooldown, 0.0f);
    ASSERT_NE(b.mGlow, nullptr);
    EXPECT_EQ(particles.count(L"blik_6"), glows + 1);
    auto* glow = static_cast<FakeEmitter*>(b.mGlow.get());
    EXPECT_EQ(glow->x, b.mCentreX);
    EXPECT_EQ(glow->st, 1);
    RecordingUiPainter painter;
    b.draw(painter);
    EXPECT_EQ(painter.of(L"emitter").size(), 1u);
    EXPECT_EQ(painter.of(L"spell").size(), 1u);
    b.update(2.0f); // the glow played out
    EXPECT_EQ(b.mGlow, nullptr);
}

TEST_F(SpellButton, TheTowerSpellWaitsForATower)
{
    TDMap& m = begin();
    HUDSpellButton& b = button(2);
    ASSERT_EQ(b.mSpellId, 4);
    i32 x = static_cast<i32>(b.mCentreX), y = static_cast<i32>(b.mCentreY);
    EXPECT_FALSE(b.canPress(x, y));
    EXPECT_EQ(ihud.buttonAt(x, y), -2);
    RecordingUiPainter painter;
    b.draw(painter);
    const TDSpellProto* spell = m.mSpells.findById(4);
    EXPECT_EQ(painter.of(L"spell")[0].image, spell->image2Texture.get());
    ASSERT_NE(m.buildTower(0, 100), nullptr);
    EXPECT_TRUE(b.canPress(x, y));
    EXPECT_EQ(ihud.buttonAt(x, y), 2);
    painter.calls.clear();
    b.draw(painter);
    EXPECT_EQ(painter.of(L"spell")[0].image, spell->imageTexture.get());
}

TEST_F(SpellButton, PulseGrowsAtHalfTheRateItShrinks)
{
    begin();
    HUDSpellButton& b = button(0);
    b.mHover = 1;
    b.update(0.1f);
    EXPECT_FLOAT_EQ(b.mPulse, 1.05f);
    b.update(0.1f);
    EXPECT_FLOAT_EQ(b.mPulse, 1.1f);
    b.update(0.5f);
    EXPECT_FLOAT_EQ(b.mPulse, 1.1f);
    b.mHover = 0;
    b.update(0.1f);
    EXPECT_FLOAT_EQ(b.mPulse, 1.0f);
    b.update(0.1f);
    EXPECT_FLOAT_EQ(b.mPulse, 1.0f);
}

TEST_F(SpellButton, ALevelStartMakesEveryButtonReady)
{
    TDMap& m = begin();
    button(0).startCooldown();
    m.restart();
    ASSERT_FALSE(ihud.spells.empty());
    EXPECT_EQ(button(0).mUsed, 0);
    EXPECT_EQ(button(0).mCooldown, 0.0f);
    EXPECT_EQ(button(0).mGlow, nullptr);
}
} // namespace

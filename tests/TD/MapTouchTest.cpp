// The battle played by presses: a spell cast over a gem, calling a wave early, picking units,
// the control buttons' glow and a battle played twice by the same presses. The ring menu is played in BattleInGameTest.
#include "InputFixture.h"

#include "Source/TD/Units/TDIndicator.h"

using namespace tdtest;

namespace
{
using Touch = InputFixture;

TEST_F(Touch, ASpellIsCastBeforeAGemUnderItIsPicked)
{
    TDMap& m = begin();
    ASSERT_EQ(ihud.mSpellButtons.size(), 3u); // spells 0, 1 and 4 are in the sheet
    m.onPointerUp(100, 700);           // the first spell button
    EXPECT_EQ(m.mSelectedSpell, 0);
    auto* active = static_cast<FakeEmitter*>(m.mActiveEmitter.get());
    ASSERT_NE(active, nullptr);
    EXPECT_EQ(active->x, 100.0f);

    TDUnit stand(m, m.mWaves.mWaves[0]->mEntries[0]);
    auto* gem = new TDCrystallSpecial(m, stand);
    gem->mX = 400.0f;
    gem->mY = 300.0f;
    gem->mState = 1;
    m.mDrops.push_back(gem);
    i32 gems = m.mStats.mGems;
    size_t bullets = m.mBullets->items.size();
    m.onPointerUp(400, 300);
    EXPECT_EQ(m.mSelectedSpell, -1);
    EXPECT_EQ(played(L"spell0"), 1u);
    EXPECT_EQ(m.mBullets->items.size(), bullets + 1);
    EXPECT_EQ(tutorial.count(L"spell_casted"), 1u);
    EXPECT_EQ(gem->mState, 1) << "the cast leaves the gem lying";
    // The next release there picks the gem up: exactly one.
    m.onPointerUp(400, 300);
    EXPECT_EQ(gem->mState, 2);
    m.onPointerUp(400, 300); // now flying: not found again
    EXPECT_EQ(m.mStats.mGems, gems + 1);
}

TEST_F(Touch, ForcingAWaveEarlyPaysForTheTimeLeftAndPicksTheUnitUnderThePress)
{
    TDMap& m = begin();
    frames(0.1f);
    m.mWaves.skipTo(1000.0f);
    frames(0.1f);
    ASSERT_FALSE(m.mWaves.mUnits.empty());
    TDUnit* u = m.mWaves.mUnits[0];
    u->mSize[0] = u->mSize[1] = 30.0f;
    place(u, 40.0f, 320.0f);
    m.mNextWave.clear();
    m.mNextWave.buttons.push_back({20, 300, 40, 40});
    m.mNextWave.firstSpawnTime = m.mWaves.mClock + 7.6f;
    m.mNextWave.lead = 0.0f;
    EXPECT_TRUE(m.isOnNextWaveButton(21.0f, 301.0f));
    EXPECT_FALSE(m.isOnNextWaveButton(20.0f, 301.0f)); // strictly inside
    for (i32 block : {1, 2})
    {
        ihud.mUIBlock = block;
        ihud.calls.clear();
        m.onPointerDown(40, 320);
        EXPECT_EQ(tutorial.count(L"wave_forced"), 0u);
        EXPECT_EQ(ihud.calls, std::vector<std::wstring>{L"move 40,320"}) << "only the hover follows";
    }
    ihud.mUIBlock = 3; // the wave step of the tutorial
    i32 coins = m.mStats.mCoins;
    m.onPointerDown(40, 320);
    EXPECT_EQ(m.mStats.mCoins, coins + 15);
    ASSERT_FALSE(m.mIndicators.items.empty());
    EXPECT_EQ(m.mIndicators.items.back()->mText, L"+15");
    EXPECT_EQ(tutorial.count(L"wave_forced"), 1u);
    EXPECT_TRUE(m.mNextWave.buttons.empty());
    EXPECT_EQ(m.mHovered, u);
    m.onPointerDown(40, 320);
    EXPECT_EQ(tutorial.count(L"wave_forced"), 1u) << "the buttons are gone";
    m.onPointerDown(900, 700);
    EXPECT_EQ(m.mHovered, u) << "a press beside every unit keeps the pick";
}

TEST_F(Touch, ControlButtonsFollowTheSpeed)
{
    TDMap& m = begin();
    for (const wchar_t* name : {L"play_btn_ac", L"speed_btn_ac", L"pause_btn_ac"})
    {
        ihud.findButton(name)->mY = 10.0f;
        ihud.findButton(name)->mHeight = 20.0f;
    }
    ihud.findButton(L"speed_btn_ac")->mX = 900.0f;
    auto* glow = static_cast<FakeEmitter*>(m.mActiveButtonEmitter.get());
    ASSERT_NE(glow, nullptr);

    m.mSpeed = 2.0f;
    m.updateControlButtons();
    EXPECT_FLOAT_EQ(glow->x, 920.0f); // on the lit speed button
    EXPECT_FLOAT_EQ(glow->y, 20.0f);
    EXPECT_TRUE(m.mActiveButtonPlaced);

    m.mSpeed = 0.5f;
    m.updateControlButtons();
    EXPECT_FALSE(ihud.shown(L"play_btn_ac") || ihud.shown(L"speed_btn_ac") || ihud.shown(L"pause_btn_ac"));
    EXPECT_FALSE(m.mActiveButtonPlaced) << "no button to sit on: the glow hides";

    // A layout without the active button leaves the glow hidden too.
    ihud.mButtons.remove(ihud.findButton(L"play_btn_ac"));
    m.mSpeed = 1.0f;
    m.updateControlButtons();
    EXPECT_FALSE(m.mActiveButtonPlaced);
}

} // namespace

namespace
{
struct PressedBattle
{
    i32 coins = 0, kills = 0, towers = 0, units = 0;
    float health = 0.0f;
    std::vector<float> positions;
    bool operator==(const PressedBattle&) const = default;
};

// Builds on both spots through their menus, calls a wave early, upgrades, and lets it run.
PressedBattle playByPresses(InputFixture& f)
{
    math::SetRandomSeed(99);
    std::string waves = "<wave spawn=\"1\" timeout=\"5\">";
    for (int i = 0; i < 6; ++i)
        waves += "<e id=\"1\" x=\"" + std::to_string(i * 60) + "\" y=\"0\"/>";
    waves += "</wave><wave spawn=\"1\" timeout=\"30\">";
    for (int i = 0; i < 3; ++i)
        waves += "<e id=\"2\" x=\"" + std::to_string(i * 80) + "\" y=\"0\"/>";
    TDMap& m = f.begin(waves + "</wave>");
    for (i32 x : {250, 750})
    {
        f.click(x, 160);
        f.frames(0.25f);
        f.pressEntry(x == 250 ? 100 : 600);
        f.frames(0.3f);
    }
    f.frames(3.0f);
    f.click(250, 160); // the tower's menu
    f.frames(0.25f);
    if (f.entry(1))
        f.pressEntry(1);
    for (int i = 0; i < 40 && m.mScreen == 0; ++i)
        f.frames(0.5f);
    PressedBattle out;
    out.coins = m.mStats.mCoins;
    out.kills = m.mStats.mKillScore;
    out.towers = static_cast<i32>(m.mTowers.size());
    out.units = static_cast<i32>(m.mWaves.mUnits.size());
    out.health = m.mHealth;
    for (const TDUnit* u : m.mWaves.mUnits)
    {
        out.positions.push_back(u->mPos[0]);
        out.positions.push_back(u->mPos[1]);
    }
    return out;
}

TEST_F(Touch, ABattlePlayedByTheSamePressesEndsTheSame)
{
    PressedBattle first = playByPresses(*this);
    EXPECT_EQ(first.towers, 2);
    EXPECT_EQ(first.coins, 500 - 50 - 90 - 40); // two towers and an upgrade, paid by presses
    EXPECT_FALSE(first.positions.empty());
    EXPECT_EQ(map->mTowers.size() == 2 ? map->mTowers[0]->mLevel : -1, 1);
    map.reset();
    ihud.mUIBlock = 0;
    PressedBattle second = playByPresses(*this);
    EXPECT_TRUE(first == second);
}
} // namespace

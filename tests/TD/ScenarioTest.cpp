// Whole battles on the demo data and the test sheets: the same seed gives the same battle bit for
// bit. The demo levels' battles lost and won are played in BattleInGameTest.
#include "BattleFixture.h"

#include "Source/TD/Data/TDText.h"

#include <cstring>

namespace
{
struct Build
{
    float at;  // battle seconds
    i32 spot;  // spot index
    i32 tower; // prototype id
};

struct Outcome
{
    TDScreen screen = kScreenBattle;
    i32 kills = 0;
    float seconds = 0.0f;
    std::vector<u64> hashes; // battle state once per second of game time
};

// FNV-1a over the bytes of each value in turn.
template <class... T> u64 mix(u64 h, const T&... values)
{
    auto one = [&h](const auto& value)
    {
        const unsigned char* p = reinterpret_cast<const unsigned char*>(&value);
        for (size_t i = 0; i < sizeof(value); ++i)
            h = (h ^ p[i]) * 1099511628211ull;
    };
    (one(values), ...);
    return h;
}

// Every number that moves in a battle, in list order.
u64 hashBattle(const TDMap& m)
{
    u64 h = mix(1469598103934665603ull, m.mHealth, m.mTime, m.mStats.mCoins, m.mStats.mKillScore, m.mStats.mComboBonus,
                m.mStats.mGemsWon);
    for (const TDUnit* u : m.mWaves.mUnits)
        h = mix(h, u->protoId(), u->mPos[0], u->mPos[1], u->mHealth, u->mState, u->mProgress, u->mAnimTime);
    for (const TDTower* t : m.mTowers)
        h = mix(h, t->mAngle, t->mState, t->mCooldown);
    for (const TDBullet* b : m.mBullets->items)
        h = mix(h, b->mX, b->mY);
    for (const TDTowerSpecial* d : m.mDrops)
        h = mix(h, d->mX, d->mY);
    return h;
}

struct DemoBattle : tdtest::BattleFixture
{
    std::unique_ptr<TDFolderFileSource> folder;

    void SetUp() override
    {
        tdtest::BattleFixture::SetUp();
        folder = std::make_unique<TDFolderFileSource>(tdtext::utf8ToWide(QL_CONTENT_DIR));
        TDFileSource::setCurrent(folder.get());
    }

    Outcome play(i32 episode, i32 level, const std::vector<Build>& script, u32 seed, float limit = 900.0f)
    {
        math::SetRandomSeed(seed);
        map = std::make_unique<TDMap>(services, profiles);
        map->mMode = kDifficultyNormal;
        map->mEpisode = episode;
        map->mLevel = level;
        map->mCacheRoot = tdtext::utf8ToWide(QL_CONTENT_DIR);
        if (map->loadLevel() != QL_OK)
            return Outcome{};
        return run(script, limit);
    }

    // The battle of the current map from its start, towers built on time.
    Outcome run(const std::vector<Build>& script, float limit)
    {
        Outcome out;
        if (map->mScreen == kScreenUnlockMessage)
            map->mScreen = kScreenBattle; // the player closes the unlock message
        const float dt = 1.0f / 60.0f;
        size_t next = 0;
        float nextHash = 1.0f;
        i32 frames = 0;
        while (map->mScreen == kScreenBattle && out.seconds < limit)
        {
            for (; next < script.size() && script[next].at <= out.seconds; ++next)
                map->buildTower(script[next].spot, script[next].tower);
            map->update(dt);
            ++frames;
            out.seconds = static_cast<float>(frames) * dt;
            if (out.seconds >= nextHash)
            {
                out.hashes.push_back(hashBattle(*map));
                nextHash += 1.0f;
            }
        }
        out.screen = map->mScreen;
        out.kills = map->mStats.mKillScore;
        return out;
    }
};
} // namespace

TEST_F(DemoBattle, SameSeedSameBattleBitForBit)
{
    const std::vector<Build> script = {{0, 1, 10000}, {0, 4, 30000}, {40, 6, 10000}, {80, 0, 20000}};
    Outcome a = play(1, 0, script, 4242);
    Outcome b = play(1, 0, script, 4242);
    ASSERT_GT(a.hashes.size(), 100u);
    EXPECT_EQ(a.hashes, b.hashes);
    // What the run did: the towers killed, and the level was lost all the same.
    EXPECT_EQ(a.screen, kScreenLost);
    EXPECT_GT(a.kills, 0);
    Outcome c = play(1, 0, script, 4243);
    EXPECT_NE(a.hashes, c.hashes);
    // The stored result of this seed: a change here is a change of the rules.
    EXPECT_EQ(a.hashes.back(), 39450912749101201ull);
}

TEST_F(DemoBattle, ALevelRestartedMidBattleReplaysTheFreshBattleBitForBit)
{
    // Restarted 50 s into another battle (other towers, another seed: units, bullets, drops, kills
    // and a combo under way), the level starts afresh: with the same seed and towers it is the
    // fresh battle again.
    const std::vector<Build> script = {{0, 1, 10000}, {0, 4, 30000}, {20, 6, 10000}};
    const Outcome fresh = play(1, 0, script, 4242, 60.0f);
    ASSERT_EQ(fresh.hashes.size(), 60u);
    const Outcome before = play(1, 0, {{0, 0, 20000}, {0, 2, 30000}, {5, 6, 10000}}, 77, 50.0f);
    ASSERT_EQ(before.screen, kScreenBattle);
    ASSERT_GT(before.kills, 0);
    ASSERT_FALSE(map->mWaves.mUnits.empty());
    math::SetRandomSeed(4242);
    ASSERT_EQ(map->restart(), QL_OK);
    EXPECT_TRUE(map->mWaves.mUnits.empty());
    map->mTime = 0.0f; // the battle clock runs on across a restart: it only phases a glow
    const Outcome again = run(script, 60.0f);
    EXPECT_EQ(again.hashes, fresh.hashes);
    EXPECT_EQ(again.kills, fresh.kills);
}

namespace
{
// Every unit kind, tower kind and spell of the test sheets in one battle.
std::vector<u64> melee(tdtest::BattleFixture& f, u32 seed)
{
    math::SetRandomSeed(seed);
    std::string entries;
    const int kinds[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 12, 13, 14, 15, 1, 2, 5};
    for (int i = 0; i < 16; ++i)
        entries += "<e id=\"" + std::to_string(kinds[i]) + "\" x=\"" + std::to_string(i * 40) + "\" y=\"" +
                   std::to_string(-65 * (i % 3)) + "\"/>";
    std::string spots;
    for (int i = 0; i < 6; ++i)
        spots +=
            "<spot x=\"" + std::to_string(120 + i * 150) + "\" y=\"60\"><p name=\"radius_mult\" value=\"1\"/></spot>";
    TDMap& m = f.start("<wave spawn=\"1\" wipeAward=\"5\">" + entries + "</wave><wave spawn=\"1\" timeout=\"3\">" +
                           entries + "</wave>",
                       spots);
    m.mStats.mCoins = 10000;
    const i32 towers[] = {100, 200, 300, 400, 500, 600, 700, 800};
    for (i32 i = 0; i < 8; ++i)
        m.buildTower(i, towers[i]);
    std::vector<u64> hashes;
    const float dt = 1.0f / 60.0f;
    for (int frame = 1; frame <= 60 * 90 && m.mScreen == kScreenBattle; ++frame)
    {
        if (frame == 600)
            m.castSpell(0, 300.0f, 100.0f);
        if (frame == 900)
            m.castSpell(1, 500.0f, 100.0f);
        if (frame == 1200)
            m.castSpell(4, 500.0f, 100.0f);
        if (frame == 1500 && !m.mTowers.empty())
            m.mTowers.back()->upgrade(1, 10.0f);
        if (frame == 1800 && m.mTowers.size() > 3)
            m.removeTower(m.mTowers[3]);
        if (frame % 120 == 0 && !m.mDrops.empty())
            m.collectDrop(m.mDrops.front());
        m.update(dt);
        if (frame % 60 == 0)
            hashes.push_back(hashBattle(m));
    }
    return hashes;
}
} // namespace

using Melee = tdtest::BattleFixture;

TEST_F(Melee, EveryKindInOneBattleRepeatsExactly)
{
    std::vector<u64> a = melee(*this, 5);
    std::vector<u64> b = melee(*this, 5);
    ASSERT_GT(a.size(), 20u);
    EXPECT_EQ(a, b);
    EXPECT_GT(map->mStats.mKillScore, 0);
}

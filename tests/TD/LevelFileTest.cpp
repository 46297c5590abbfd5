// Level files read into a battle, restarts with their music and bonuses, and the scenery built from them.
#include "BattleFixture.h"
#include "Source/TD/Units/TDEffectTimer.h"
#include "support/TempDir.h"

#include <tinyxml2.h>

using tdtest::BattleFixture;
using tdtest::MapFixture;

namespace
{
const char* kLevel = R"(<map>
  <li>C:/art/td/data/levels/bg01/</li>
  <budget>150 coins</budget>
  <points>
    <point x="10.5" y="20"><p name="spawn" value="1"/><p name="spawn" value="0"/><p name="upper"/></point>
    <point id="1" x="100" y="100"><p name="spawn" value="1"/></point>
    <point id="2" x="300" y="100"><p name="goal" value="1"/></point>
  </points>
  <links><link sid="1" eid="2" anchor_x="200" anchor_y="150"/><link sid="5" eid="6"/></links>
  <spots>
    <spot x="200" y="200"><p name="radius_mult" value="1.5"/><p name="damage_mult" value="0.5"/><p name="income_mult" value="1"/></spot>
    <spot x="400" y="200"><p name="radius_mult" value="1"/><p name="damage_mult" value="1"/><p name="income_mult" value="1"/>
      <p name="cost_gold" value="40"/><p name="type" value="1"/><p name="tower_id" value="10000"/></spot>
    <spot x="500" y="200"><p name="radius_mult" value="1"/><p name="damage_mult" value="1"/><p name="income_mult" value="nan"/>
      <p name="tower_id" value="777"/></spot>
  </spots>
  <waves timeout="2.5">
    <wave timeout="3" spawn="1" wipeAward="10" linked="x"><e id="0" x="45" y="-65"/></wave>
    <wave spawn="-1" scale="0"><e id="0" y="-130"/><e id="0" y="0"/></wave>
    <wave spawn="1"/>
  </waves>
</map>)";

struct SizedImage : TDImage
{
    i32 width() const override { return 60; }
    i32 height() const override { return 40; }
};
} // namespace

TEST_F(MapFixture, LevelBecomesPointsLinksSpotsAndWavesAndEpisodeAndHardcoreRulesUseStars)
{
    TDMap& m = make();
    ASSERT_EQ(m.parseLevelText(kLevel, L"test.xml"), QL_OK);
    ASSERT_EQ(m.mPoints.size(), 3u);
    EXPECT_EQ(std::pair(m.mPoints[0]->id, m.mPoints[0]->x), std::pair(0, 10.5f));
    EXPECT_EQ(m.mPoints[0]->properties.getFloat("spawn"), 0.0f); // the later property wins
    EXPECT_EQ(m.mPoints[0]->properties.getString("upper"), "0.000000");
    ASSERT_EQ(m.mLinks.size(), 2u);
    EXPECT_EQ(m.mLinks[0]->anchorY, 150.0f);
    EXPECT_EQ(std::pair(m.mBudget, m.mStats.mCoins), std::pair(150, 150));
    ASSERT_EQ(m.mSpots.size(), 3u);
    EXPECT_FALSE(m.mSpots[1]->open);
    ASSERT_EQ(m.mWaves.mWaves.size(), 2u); // the wave without entries is dropped
    EXPECT_EQ(std::pair(m.mWaves.mWaves[0]->mTimeout, m.mWaves.mWaves[0]->mLinked), std::pair(5, 0));
    EXPECT_EQ(m.mWaves.mWaves[1]->mScale, 1.0f);
    EXPECT_EQ(m.mWaves.countWaves(), 1);
    EXPECT_EQ(m.mScenery->folder, "td/data/levels/bg01");
    EXPECT_EQ(m.mPrebuiltTowers, (std::vector<std::pair<i32, i32>>{{1, 10000}}));

    // Missing elements count as empty.
    ASSERT_EQ(m.parseLevelText("<map><li>plain/bg02/</li></map>", L"x.xml"), QL_OK);
    EXPECT_TRUE(m.mPoints.empty() && m.mWaves.mWaves.empty());
    EXPECT_EQ(m.mBudget, 0);
    EXPECT_EQ(m.mScenery->folder, "td/data/bg02");

    // Episodes and hardcore open by stars.
    EXPECT_TRUE(m.isEpisodeUnlocked(0));
    EXPECT_FALSE(m.isEpisodeUnlocked(1));
    EXPECT_FALSE(m.isEpisodeUnlocked(5));
    EXPECT_FALSE(m.isHardcoreUnlocked(0));
    EXPECT_FALSE(m.isHardcoreUnlocked(5));
    TDLevelResult three;
    three.stars = 3;
    for (i32 level = 0; level < 2; ++level)
        m.mProgress->saveLevelResult(0, level, kDifficultyNormal, three);
    EXPECT_TRUE(m.isEpisodeUnlocked(1));
    EXPECT_FALSE(m.isHardcoreUnlocked(0));
    m.mProgress->saveLevelResult(0, 2, kDifficultyNormal, three);
    EXPECT_TRUE(m.isHardcoreUnlocked(0));
}

TEST_F(MapFixture, ALevelStartsWithItsBonusesABrokenOneStartsNoBattleAndItsPathCacheIsUsedUnlessDamaged)
{
    TDMap& m = make();
    files.put(L"td/levels_normal/level_01_01.xml", kLevel);
    m.mLevel = 0;
    m.mProgress->setUpgradeLevel(1, 0);
    ASSERT_EQ(m.loadLevel(), QL_OK);
    // The bought bonuses apply.
    EXPECT_EQ(std::pair(m.mHealth, m.mStats.mCoins), std::pair(30.0f, 165));
    // The level's tower on a spot still to be bought is refused, and its credit goes back.
    EXPECT_TRUE(m.mTowers.empty());
    EXPECT_EQ(m.mStats.mCoinsSpent, 0);
    EXPECT_EQ(m.mScreen, kScreenUnlockMessage); // the level opens with its unlock message
    EXPECT_EQ(m.mSpeed, 1.0f);
    EXPECT_TRUE(m.isLevelLoaded());
    EXPECT_FALSE(m.mPaths.records().empty());

    files.put(L"td/levels_normal/level_01_02.xml", "<map><points><point x=\"1\"");
    m.mLevel = 1;
    EXPECT_EQ(m.loadLevel(), QL_FAIL);
    EXPECT_NE(m.mScreen, kScreenBattle);
    EXPECT_EQ(m.mSpeed, 0.0f);
    EXPECT_TRUE(m.mPoints.empty() && m.mWaves.mWaves.empty() && m.mPaths.records().empty());
    EXPECT_FALSE(m.isLevelLoaded());
    EXPECT_EQ(hud.calls.back(), L"message");

    m.mLevel = 2; // no file at all
    EXPECT_EQ(m.loadLevel(), QL_FAIL);
    EXPECT_EQ(m.parseLevelText("<notmap/>", L"y"), QL_FAIL);
    EXPECT_EQ(tutorial.events, (std::vector<std::wstring>{L"level_1_1_start"}));

    m.mLevel = 0;
    m.mMode = kDifficultyHardcore; // as the level list enters hardcore: the stored mode is left alone
    files.put(L"td/levels_hardcore/level_01_01.xml", kLevel);
    ASSERT_EQ(m.loadLevel(), QL_OK);
    EXPECT_EQ(std::pair(m.mHealth, m.mStats.mCoins), std::pair(1.0f, 150));

    // The path cache beside the level is used unless damaged.
    testsupport::TempDir dir;
    m.mMode = kDifficultyNormal;
    m.mCacheRoot = dir.WPath();
    EXPECT_EQ(m.getPathCacheName(), dir.WPath() + L"td/levels_normal/level_01_01.cache");

    std::filesystem::create_directories(dir.Path() / "td/levels_normal");
    dir.Write("td/levels_normal/level_01_01.cache", std::string("\x03\x00\x00\x00\x09", 5));
    ASSERT_EQ(m.loadLevel(), QL_OK);
    EXPECT_FALSE(m.mPaths.records().empty()); // damaged: built instead

    dir.Write("td/levels_normal/level_01_01.cache", std::string(4, '\0'));
    ASSERT_EQ(m.loadLevel(), QL_OK);
    EXPECT_TRUE(m.mPaths.records().empty()); // an empty cache is honoured
}

TEST_F(MapFixture, ALevelsOwnTowerCostsTheLevelNothingUnderABoughtPriceCutOnEveryStartAndWithout)
{
    // A cut of the tower's price bought in the shop: 70 becomes 63 (and 77 with a rise).
    files.put(L"td/upgrades.xml", R"(<upgrades>
        <upgrade id="2" icon="i"><targets><target id="10000"/></targets>
          <steps><step><attributes><a name="cost" value="-10"/></attributes></step>
            <step><attributes><a name="cost" value="10"/></attributes></step></steps></upgrade></upgrades>)");
    files.put(L"td/levels_normal/level_01_01.xml", R"(<map><li>x/td/data/levels/bg01/</li><budget>150</budget>
        <points><point id="1" x="0" y="100"><p name="spawn" value="1"/></point>
          <point id="2" x="600" y="100"><p name="goal" value="1"/></point></points>
        <links><link sid="1" eid="2" anchor_x="300" anchor_y="100"/></links>
        <spots><spot x="300" y="200"><p name="radius_mult" value="1"/><p name="damage_mult" value="1"/>
          <p name="income_mult" value="1"/><p name="tower_id" value="10000"/></spot></spots>
        <waves><wave spawn="1"><e id="0"/></wave></waves></map>)");
    TDMap& m = make();
    m.mLevel = 0;
    for (auto [bought, price] : {std::pair{0, 63}, {1, 77}, {-1, 70}})
    {
        SCOPED_TRACE("step " + std::to_string(bought));
        m.mProgress->setUpgradeLevel(2, bought);
        ASSERT_EQ(m.loadLevel(), QL_OK);
        ASSERT_EQ(m.buildPrice(*m.findPrototype(10000)), static_cast<float>(price));
        for (int start = 0; start < 2; ++start) // the level's start, then its replay
        {
            if (start == 1)
            {
                ASSERT_EQ(m.restart(), QL_OK);
            }
            ASSERT_EQ(m.mTowers.size(), 1u);
            EXPECT_EQ(m.mStats.mCoinsSpent, price) << "built at the price a build charges";
            EXPECT_EQ(std::pair(m.mStats.mCoins, m.mStats.mStartCoins), std::pair(150, 150)) << "the budget, no more";
        }
    }
}

TEST_F(MapFixture, ALevelStartShowsItsUnlocksOrTheBannerAndNothingOnceEverythingIsOpen)
{
    TDMap& m = make();
    m.mUnlocks.readText("0;0;10000\n0;1;\n0;2;-1\n");
    m.mLevel = 0;
    m.showLevelStart();
    EXPECT_EQ(m.mScreen, kScreenUnlockMessage);
    m.mLevel = 1;
    m.showLevelStart();
    m.mLevel = 2;
    m.showLevelStart();
    EXPECT_EQ(hud.calls, (std::vector<std::wstring>{L"unlock", L"levelName"}));
}

TEST_F(BattleFixture, RestartPlaysTheEpisodesMusic)
{
    TDMap& m = start("<wave spawn=\"1\"><e id=\"1\"/></wave>");
    for (auto [episode, track] : {std::pair{6, L"td/data/music/ingame7.ogg"},
                                  {7, L"td/data/music/ingame1.ogg"},
                                  {-1, L"td/data/music/ingame1.ogg"}})
    {
        m.mEpisode = episode;
        ASSERT_EQ(m.restart(), QL_OK);
        EXPECT_EQ(sounds.music.back(), track) << episode;
    }
}

TEST_F(MapFixture, ShopAvailabilityAtTheLevelOrByProgress)
{
    files.put(L"td/upgrades.xml", R"(<upgrades><upgrade id="7" icon="i"><targets><target id="30000"/></targets>
        <steps><step/></steps></upgrade></upgrades>)");
    files.put(L"td/unlocks.csv", "0;0;10000\n0;1;30000\n");
    TDMap& m = make();
    const TDUpgrade& upgrade = *m.mUpgrades.upgrades.front();
    EXPECT_FALSE(m.isUpgradeAvailable(upgrade, false));
    EXPECT_FALSE(m.isUpgradeAvailable(upgrade, true));
    TDLevelResult won;
    won.stars = 2;
    m.mProgress->saveLevelResult(0, 1, m.mMode, won);
    EXPECT_TRUE(m.isUpgradeAvailable(upgrade, true)); // the furthest level reached is 0/1
    m.mLevel = 1;
    EXPECT_TRUE(m.isUpgradeAvailable(upgrade, false));
}

TEST_F(MapFixture, SceneryLayersEffectsSpotFramesAndBoostIcons)
{
    struct Images : TDNullImageLoader
    {
        SizedImage size;
        std::wstring asked;
        const TDImage* findImage(const std::wstring& sheet, const std::wstring&) override
        {
            return sheet == L"td/spots" ? &size : nullptr;
        }
        std::vector<TDLayerEntry> backgroundLayers(const std::wstring& folder) override
        {
            asked = folder;
            return {{L"trees", 0, 300, 200, 100, 2},
                    {L"fx/01", 40, 50, 10, 10, 5},
                    {L"ground", 0, 0, 1024, 768, 0},
                    {L"fx/02", 70, 80, 10, 10, 1}};
        }
    } images;
    TDBattleServices services;
    services.images = &images;
    map = std::make_unique<TDMap>(services, profiles);
    map->mEpisode = 1;
    map->mProgress->addOwnedSpot("#1", 1, 0);
    ASSERT_EQ(map->parseLevelText(kLevel, L"test.xml"), QL_OK);
    // Layers sort by their order; "fx" layers are places for ambient effects.
    EXPECT_EQ(images.asked, L"td/data/levels/bg01");
    const auto& layers = map->mScenery->layers;
    ASSERT_EQ(layers.size(), 4u);
    EXPECT_EQ(layers[0].name, L"ground");
    EXPECT_EQ(layers[1].name, L"fx/02");
    EXPECT_EQ(layers[3].name, L"fx/01");
    EXPECT_EQ(layers[2].depth, 400.0f);
    ASSERT_EQ(map->mEffectTimers.size(), 2u);
    EXPECT_EQ(map->mEffectTimers[0]->name, L"bird");
    EXPECT_EQ(map->mEffectTimers[0]->x, 40.0f);

    const auto& frames = map->mScenery->spotFrames;
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[0].name, "#0");
    EXPECT_EQ(std::pair(frames[0].x, frames[0].y), std::pair(170, 180));
    ASSERT_EQ(frames[0].boosts.size(), 2u);
    EXPECT_EQ(frames[0].boosts[0].image, L"ui/radius_boost");
    EXPECT_EQ(frames[0].boosts[1].image, L"ui/power_unboost");
    EXPECT_EQ(frames[0].boosts[0].x, 183); // trunc(200 - 16.5)
    EXPECT_TRUE(frames[1].boosts.empty());
    EXPECT_EQ(frames[1].imageIndex, 0); // owned: picture 0 whatever the type
    EXPECT_TRUE(map->mSpots[1]->open);
    ASSERT_EQ(frames[2].boosts.size(), 1u); // a NaN income shows the income picture
    EXPECT_EQ(frames[2].boosts[0].image, L"td/data/context/small_icons/income");

    map->mEpisode = 4; // later episodes have places but no named effect
    ASSERT_EQ(map->parseLevelText(kLevel, L"test.xml"), QL_OK);
    ASSERT_EQ(map->mEffectTimers.size(), 2u);
    EXPECT_TRUE(map->mEffectTimers[0]->name.empty());
}
